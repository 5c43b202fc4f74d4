#pragma once

// Fonts of the library: a LOGFONTW is matched with fontconfig to one face,
// whose advances are read with FreeType in font units and scaled to whole
// device units. Measuring and drawing both take their positions from
// Font::Glyph, so text lands exactly where it was measured.

#include "plotwise/plotwise_types.h"

#include <cairo.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <array>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace plotwise {

// One font file, opened once for the life of the library.
struct FontFace {
    std::string File;
    int Index = 0;
    std::string Family;
    FT_Face Face = nullptr;
    // Made when a page drawn with cairo first uses the face.
    mutable cairo_font_face_t* CairoFace = nullptr;
    int UnitsPerEm = 1000;
    int WinAscent = 0; // font units, positive up
    int WinDescent = 0; // font units, positive down
    int LineGap = 0;
    int AverageWidth = 0;
    int UnderlinePosition = 0; // font units, negative below the baseline
    int UnderlineThickness = 0;
    int StrikeoutPosition = 0;
    int StrikeoutThickness = 0;
    bool SymbolCmap = false;
    uint8_t CharSet = ANSI_CHARSET;
    bool FixedPitch = false;

    // The glyph for a character, 0 when the face has none.
    unsigned GlyphIndex(char32_t character) const;
    // The advance of a glyph in font units.
    int Advance(unsigned glyph) const;
};

// A face opened from a file, shared by every font that uses it; null when
// the file cannot be opened.
std::shared_ptr<FontFace> OpenFontFace(const std::string& file, int index);

struct PlacedGlyph {
    const FontFace* Face = nullptr;
    unsigned Index = 0;
    int32_t Advance = 0; // device units
};

// A realised LOGFONTW.
class Font {
public:
    // Null when nothing at all matches (no fonts installed).
    static std::shared_ptr<Font> Create(const LOGFONTW& request);

    const LOGFONTW& Request() const { return request_; }
    const FontFace& Primary() const { return *primary_; }
    // The family of the face that was matched, as GetTextFaceW reports it.
    const std::u16string& FaceName() const { return faceName_; }
    double EmSize() const { return em_; }
    int32_t Ascent() const { return ascent_; }
    int32_t Descent() const { return descent_; }
    int32_t Height() const { return ascent_ + descent_; }
    bool SyntheticBold() const { return syntheticBold_; }
    bool SyntheticItalic() const { return syntheticItalic_; }

    // The glyph that draws a character: from the matched face, else from a
    // fallback face that has it, else the matched face's missing-glyph box.
    PlacedGlyph Glyph(char32_t character)
    {
        if (character < kCommonCharacters && commonGlyphs_[character].Face)
            return commonGlyphs_[character];
        return FindGlyph(character);
    }
    // The glyph of a character below 256 that Glyph has already found, null
    // when it has not, without looking any further.
    const PlacedGlyph* FoundGlyph(char16_t unit) const
    {
        return unit < kCommonCharacters && commonGlyphs_[unit].Face ? &commonGlyphs_[unit] : nullptr;
    }
    // Font units of face scaled to device units at this font's size.
    int32_t Scale(const FontFace& face, int fontUnits) const;

    void FillTextMetrics(TEXTMETRICW& metrics, int32_t dpi) const;

private:
    Font() = default;
    std::shared_ptr<FontFace> FallbackFor(char32_t character);
    // The glyph of a character the table does not hold: from the map, or
    // looked up in the faces and kept in the table or the map.
    PlacedGlyph FindGlyph(char32_t character);
    // The glyph from the faces themselves.
    PlacedGlyph LookUpGlyph(char32_t character);

    // Texts ask for the same few characters over and over: those below
    // kCommonCharacters are kept in a table indexed by the character (an
    // entry without a face is not looked up yet), the rest in a map.
    static constexpr char32_t kCommonCharacters = 0x100;

    LOGFONTW request_ {};
    std::shared_ptr<FontFace> primary_;
    std::u16string faceName_;
    double em_ = 0;
    int32_t ascent_ = 0;
    int32_t descent_ = 0;
    int weight_ = FW_NORMAL;
    bool syntheticBold_ = false;
    bool syntheticItalic_ = false;
    std::array<PlacedGlyph, kCommonCharacters> commonGlyphs_ {};
    std::unordered_map<char32_t, PlacedGlyph> otherGlyphs_;
    std::vector<std::shared_ptr<FontFace>> fallbacks_;
};

// One installed family, for EnumFontsW.
struct FamilyInfo {
    std::string Family;
    uint8_t CharSet = ANSI_CHARSET;
    bool FixedPitch = false;
    bool Scalable = true;
};

// The faces matched so far come from a cache of fontconfig's answers
// (FontMatchCache); these let tests start it afresh, after changing where it
// lives, and count the requests that went to fontconfig.
void ResetFontMatches();
int FontConfigLookups();

// Every installed family, sorted by name, each once.
std::vector<FamilyInfo> InstalledFamilies();

// The families a font list offers: every installed family, and the faces
// documents and settings from the handheld name (Courier New, Tahoma ...)
// where they are not installed, since the library prints them with the
// family fontconfig puts in their place. Sorted by name, each once.
std::vector<FamilyInfo> EnumerableFamilies();

std::string Utf16ToUtf8(std::u16string_view text);
// Writes one character in UTF-8 (at most kMostUtf8Bytes) at out and returns
// the end; the caller has replaced lone surrogates.
inline constexpr size_t kMostUtf8Bytes = 4;
char* WriteUtf8(char* out, char32_t character);
std::u16string Utf8ToUtf16(std::string_view text);

// The next character of UTF-16 text at position; a lone surrogate stands for
// itself. Moves position past the character.
inline char32_t NextCharacter(const PLW_WCHAR* text, size_t count, size_t& position)
{
    char32_t unit = text[position++];
    if (unit >= 0xD800 && unit < 0xDC00 && position < count) {
        char32_t low = text[position];
        if (low >= 0xDC00 && low < 0xE000) {
            ++position;
            return 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
        }
    }
    return unit;
}

} // namespace plotwise
