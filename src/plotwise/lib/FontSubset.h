#pragma once

// What the PDF and PostScript writers share of the faces they embed: the
// kind of font program a face is, its PostScript name, and the subset that
// holds only the glyphs a document drew with it. Both writers embed the
// same subsets.

#include "Fonts.h"

#include <cstdint>
#include <string>
#include <vector>

namespace plotwise {

enum class FontProgram {
    TrueType, // shown by glyph number, mapped to the subset's own
    CidKeyedCff, // shown by the font's CIDs, which the subset keeps
    NameKeyedCff, // shown by glyph number, which the subset keeps
    None, // not embeddable: glyphs are drawn as outlines
};

// By glyph number, the mark of a glyph never drawn.
inline constexpr uint32_t kUnusedGlyph = 0xFFFFFFFF;

FontProgram ProgramOf(const FontFace& face);

// The PostScript name of the face, reduced to the characters a PDF or
// PostScript name may hold without escapes.
std::string PostScriptName(const FontFace& face);

// Six capital letters that name a subset, the same for the same glyphs:
// codes holds kUnusedGlyph for every glyph not drawn.
std::string SubsetTag(const std::string& name, const std::vector<uint32_t>& codes);

// How a CFF subset is handed over.
enum class CffWrapping {
    OpenTypeUnlessCidKeyed, // name-keyed ones inside their OpenType tables
    Bare, // the CFF table alone
};

// The subset of a face holding the glyphs drawn with it (codes as for
// SubsetTag); empty when the face could not be read. For TrueType,
// newGlyphs receives the subset's glyph number of every drawn glyph.
std::string SubsetProgram(const FontFace& face, FontProgram kind, const std::vector<uint32_t>& codes,
    CffWrapping wrapping, std::vector<uint32_t>& newGlyphs);

} // namespace plotwise
