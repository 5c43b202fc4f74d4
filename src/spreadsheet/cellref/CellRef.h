#pragma once

// Cell names in the "A1" style: one or two column letters (A to IV) and a
// 1-based row number (1 to 16384). Columns and rows in memory are 0-based.

#include <cstddef>
#include <cstdint>

namespace spreadsheet {

inline constexpr std::uint16_t kMaxColumn = 255; // IV
inline constexpr std::uint32_t kMaxRowNumber = 16384; // as written, 1-based

// Two letters, five digits and the terminator.
inline constexpr std::size_t kCellNameUnits = 8;

// Reads a reference at the start of the zero-terminated text: a letter, an
// optional second letter, at most one space, then the row digits; whatever
// follows the digits is ignored. Returns 1 and sets column and row when the
// text starts with a valid reference; returns 0 and leaves both untouched
// otherwise (no letter, a column beyond IV, no digits, row 0 or beyond 16384).
int ParseCellRef(const char16_t* text, std::uint16_t& column, std::uint16_t& row);

// Writes the zero-terminated name of a cell into output, which must hold
// kCellNameUnits units. A column of 0xFFFF counts as A and one beyond IV as
// IV; a row of 0xFFFF counts as the first, one beyond the last as 16385.
void CellName(char16_t* output, std::uint16_t column, std::uint16_t row);

} // namespace spreadsheet
