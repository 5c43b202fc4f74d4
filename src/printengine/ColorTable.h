#pragma once

// The colour table of the document being printed: colour number n (from 1)
// is entry n − 1; number 0 is the default colour, which has no entry. The
// RTF reader fills it, the layout reads it, EndPrintJob frees it.

#include <plotwise/plotwise_types.h>

#include <cstdint>
#include <vector>

namespace printengine {

// Colour number 0 draws text black on white.
inline constexpr COLORREF kDefaultTextColor = PLW_RGB(0, 0, 0);
inline constexpr COLORREF kDefaultBackColor = PLW_RGB(255, 255, 255);

std::vector<COLORREF>& ColorTable();

void FreeColorTable();

} // namespace printengine
