#pragma once

// A page of the display list as PostScript: the operators of the prolog's
// procedures (kPostScriptProcedures) in device units with the origin at the
// top left of the printable area, as the display list has them; one
// transformation at the page's start maps that onto the paper in points.

#include "Destination.h"
#include "PsFonts.h"

#include <string>
#include <string_view>

namespace plotwise {

// The page's drawing, written into buffer (whose room it reuses).
std::string PsPageContent(const Page& page, const PageGeometry& geometry, PsFontSet& fonts, std::string buffer = {});

// Appends bytes in ASCII85, in lines, with the "~>" that ends them.
void AppendAscii85(std::string& out, std::string_view bytes);

} // namespace plotwise
