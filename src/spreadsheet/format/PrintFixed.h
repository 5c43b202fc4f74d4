#pragma once

#include <string>

namespace spreadsheet {

// The value printed with the precision pattern for `places` decimals (0 to
// 15), except that an exact half rounds away from zero, as the handheld's C
// library did ("%.0f" of 2.5 gives "3"); the C library here rounds it to even.
std::string PrintFixed(double value, int places);

} // namespace spreadsheet
