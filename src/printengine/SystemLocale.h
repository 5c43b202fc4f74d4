#pragma once

// What the engine asks of the system locale.

#include <cstdint>

namespace printengine {

// True when the system locale measures in U.S. units (LOCALE_IMEASURE "1").
bool LocaleMeasuresInUsUnits();

// The system's ANSI code page (GetACP).
std::uint16_t SystemAnsiCodePage();

} // namespace printengine
