#pragma once

// A glyph's outline as path operators, for a face whose glyphs cannot be
// embedded as a font: "x y m", "x y l" and "x1 y1 x2 y2 x y c" lines in a
// space of device units whose y grows downwards, as both the PDF and the
// PostScript page write them.

#include "Fonts.h"

#include <string>

namespace plotwise {

// Appends the path of glyph standing at x on baseline at an em of em device
// units, leaning by slant of its height; false, with nothing appended, when
// the glyph has no outline.
bool AppendGlyphOutline(std::string& out, const FontFace& face, unsigned glyph, double x, double baseline,
    double em, double slant);

} // namespace plotwise
