#pragma once

// Drawing the cells of one page by walking the sheet's records. The full
// walk visits every record of the sheet, in file order. When the sheet's
// cells stand in row order and no column or row record follows the first
// cell, an index from row to the first record of that row, built once per
// print, lets a page visit only the records of its own rows; what it draws
// is the same. Otherwise every page takes the full walk.

#include <PxlWorkbook.h>

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace spreadsheet
{

enum class SheetWalkMode { Indexed, Full };

struct SheetWalkIndex {
    std::size_t Start = 0; // the sheet's SheetBegin record
    std::size_t End = 0; // its SheetEnd record, or the end of the view
    bool Usable = false; // the cells are in row order with no band after them
    std::size_t FirstCell = 0; // the first cell record, or End
    std::vector<std::pair<std::uint16_t, std::size_t>> RowStarts; // first record of each row
};

// Reads the sheet's records once; `sheet` must have a StartRecord.
SheetWalkIndex BuildSheetWalkIndex(const SheetInfo& sheet);

// Draws the cells of the current page.
void DrawPageCells(const SheetWalkIndex& index, SheetWalkMode mode);

// The walk every page takes; the indexed one unless a test asks otherwise.
SheetWalkMode& PreferredSheetWalk();

} // namespace spreadsheet
