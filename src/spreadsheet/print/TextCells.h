#pragma once

// Text and number cells: alignment, wrapping, and texts too long for their
// cell, which wait in a queue until their row is complete and are then drawn
// across the empty cells beside them.

#include <cstddef>
#include <cstdint>
#include <string>

#include <plotwise/plotwise_types.h>

namespace spreadsheet {

inline constexpr std::uint16_t kNoCell = 0xFFFF;
inline constexpr int kMostWrappedLines = 50;

enum class Occupancy : bool { Empty = false, Occupying = true };

// Draws a text cell of `length` units; texts longer than the cell overflow.
void DrawTextCell(const char16_t* text, std::int32_t format, std::uint16_t column, std::uint16_t row, int length);
void DrawNumberCell(std::int32_t format, std::uint16_t column, std::uint16_t row, double value);

// Tells the overflow queue about a cell of `row`; a cell of another row
// first draws the texts waiting. Column and row kNoCell draw them all.
void ResolveOverflow(std::uint16_t column, std::uint16_t row, Occupancy occupancy);

// Puts a text that does not fit its cell in the queue: it starts at x, y
// and may cover at most `clip` (left, right) within the cell's top and bottom.
void QueueOverflow(
    std::int32_t x, std::int32_t y, const RECT& clip, std::int32_t format, std::uint16_t column, std::u16string text);

// The overflow state of a page: no text waiting, row 0, no column occupied.
void StartOverflowPage(std::size_t pageColumns);
// Drops what waits without drawing it (tests, and the end of a print).
void ClearOverflow();

} // namespace spreadsheet
