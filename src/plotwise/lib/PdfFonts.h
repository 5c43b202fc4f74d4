#pragma once

// The fonts of a PDF document. Every face that draws text is embedded once,
// as a subset holding only the glyphs the document used, with a ToUnicode
// map so that the text can be searched and copied. Each size of a face is
// its own font resource sharing that program: its widths are the whole
// device units the text was measured with, so that text needs no position
// adjustments except where the layout moved a glyph (justification, tabs).
// A face that cannot be embedded that way (a font that is neither TrueType
// nor OpenType) has its glyphs drawn as outlines instead.

#include "FontSubset.h"
#include "PdfWriter.h"

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace plotwise {

class PdfFontSet {
public:
    // How a face's glyphs are named in the content streams.
    using Program = FontProgram;

    struct FaceEntry {
        const FontFace* Face = nullptr;
        Program Kind = Program::None;
        // By glyph number: the code in content streams (kUnused when the
        // glyph was never drawn) and the character it first stood for.
        std::vector<uint32_t> Codes;
        std::vector<char32_t> Characters;
        int Descriptor = 0;
        int ToUnicode = 0;
    };

    struct SizeEntry {
        FaceEntry* Owner = nullptr;
        double Em = 0; // device units
        int Object = 0; // the Type0 font
        std::string ResourceName; // "F1", "F2" ...
        // By glyph number: the width in thousandths of the em as declared,
        // a negative value for a glyph this size never drew.
        std::vector<double> Widths;
    };

    static constexpr uint32_t kUnused = kUnusedGlyph;

    explicit PdfFontSet(PdfFile& pdf);

    // The face as a font program, created at its first use.
    FaceEntry& UseFace(const FontFace& face);
    // The font resource of a face at the size of font; null when the face
    // cannot be embedded.
    SizeEntry* Use(const FontFace& face, const Font& font);
    // Records that a glyph drew a character at a size. Returns the glyph's
    // code; width is its declared width in thousandths of the em.
    uint32_t UseGlyph(SizeEntry& size, const Font& font, unsigned glyph, char32_t character, double& width);
    // Whether UseGlyph has already fixed the glyph's code and width at this
    // size, so that FixedGlyph may read them.
    static bool Fixed(const SizeEntry& size, unsigned glyph)
    {
        const size_t at = glyph < size.Widths.size() ? glyph : 0;
        return size.Owner->Codes[at] != kUnused && size.Widths[at] >= 0;
    }
    // What UseGlyph returned for a glyph it has fixed, without changing the
    // set: another thread may read it while more glyphs are fixed.
    static uint32_t FixedGlyph(const SizeEntry& size, unsigned glyph, double& width)
    {
        const size_t at = glyph < size.Widths.size() ? glyph : 0;
        width = size.Widths[at];
        return size.Owner->Codes[at];
    }

    // Appends "/F1 n 0 R ..." for every font resource.
    void AppendResources(std::string& out) const;
    // Writes every font. False when the file could not be written.
    bool WriteAll();

private:
    bool WriteFace(FaceEntry& face, std::string& name, std::string& cidToGid);
    bool WriteSize(const SizeEntry& size, const std::string& name, const std::string& cidToGid);

    PdfFile& pdf_;
    std::vector<std::unique_ptr<FaceEntry>> faces_;
    std::vector<std::unique_ptr<SizeEntry>> sizes_;
    std::map<const FontFace*, FaceEntry*> byFace_;
    std::map<std::pair<const FontFace*, double>, SizeEntry*> bySize_;
};

} // namespace plotwise
