#pragma once

// The fonts of a PostScript document: every face that draws text is
// embedded once in the prolog, as the same subset the PDF writer makes.
// A TrueType subset becomes a CIDFont of Type 42 outlines whose CIDs are
// the face's glyph numbers, a CID-keyed CFF subset the CIDFont of a FontSet
// resource; both are shown through the Identity-H CMap. A name-keyed CFF
// subset becomes the font of a FontSet resource, shown through a composite
// font (FMapType 2) whose descendants each encode 256 of its glyphs, in the
// order they were first drawn. Each size of a face is its composite font
// scaled once, under a name the pages set ("F1 setfont"). Every glyph
// names its character (GlyphNames2Unicode), so that a PDF made from the
// document can be searched.

#include "FontSubset.h"

#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

namespace plotwise {

class PsFontSet {
public:
    struct FaceEntry {
        const FontFace* Face = nullptr;
        FontProgram Kind = FontProgram::None;
        // By glyph number: the code the pages show (kUnusedGlyph when the
        // glyph was never drawn) and the character it first stood for.
        std::vector<uint32_t> Codes;
        std::vector<char32_t> Characters;
        std::string Name; // the composite font, "T1" ...
        uint32_t NextCode = 0; // of a name-keyed CFF face, numbered as drawn
    };

    struct SizeEntry {
        FaceEntry* Owner = nullptr;
        double Em = 0; // device units
        bool Slanted = false;
        std::string Name; // "F1" ...
    };

    // The scaled font of a face at the size of font; null when the face
    // cannot be embedded and its glyphs are drawn as outlines.
    SizeEntry* Use(const FontFace& face, const Font& font);
    // Records that a glyph drew a character; returns its two-byte code.
    uint32_t UseGlyph(SizeEntry& size, unsigned glyph, char32_t character);

    // Whether any font program is written as binary data (CFF).
    bool HasBinary() const;
    // Appends the definitions of every font and size, as the prolog holds
    // them. A face whose file can no longer be read is replaced by Courier.
    void AppendDefinitions(std::string& out) const;

private:
    std::vector<std::unique_ptr<FaceEntry>> faces_;
    std::vector<std::unique_ptr<SizeEntry>> sizes_;
    std::map<const FontFace*, FaceEntry*> byFace_;
    std::map<std::tuple<const FontFace*, double, bool>, SizeEntry*> bySize_;
};

// PostScript procedures the pages and fonts use, defined in the prolog.
extern const char kPostScriptProcedures[];

} // namespace plotwise
