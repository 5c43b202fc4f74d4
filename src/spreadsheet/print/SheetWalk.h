#pragma once

// Drawing the cells of one page by walking the sheet's records. The full
// walk visits every record of the sheet, in file order. When the sheet's
// cells stand in row order and no column or row record follows the first
// cell, an index from row to the first record of that row, built once per
// print, lets a page visit only the records of its own rows; what it draws
// is the same. Otherwise every page takes the full walk.
//
// The column and row records before the first cell fill bands on the pages
// they cross and, on every page, leave their cell format applied. A page
// draws the bands that cross it and, for each run of records between them,
// applies only the formats that decide what the run leaves behind.

#include <PxlWorkbook.h>

#include <cstddef>
#include <cstdint>
#include <span>
#include <utility>
#include <vector>

namespace spreadsheet {

enum class SheetWalkMode { Indexed, Full };

// A column or row record before the first cell.
struct BandRecord {
    std::size_t Offset = 0;
    std::int32_t Format = 0;
    bool IsColumn = false;
    std::int32_t First = 0; // first column, or the row
    std::int32_t Last = 0; // last column, or the row
};

struct SheetWalkIndex {
    std::size_t Start = 0; // the sheet's SheetBegin record
    std::size_t End = 0; // its SheetEnd record, or the end of the view
    bool Usable = false; // the cells are in row order with no band after them
    std::size_t FirstCell = 0; // the first cell record, or End
    // The first record of each row: the reading's own index, which lives
    // as long as the workbook.
    std::span<const std::pair<std::uint16_t, std::size_t>> RowStarts;
    std::vector<BandRecord> Bands; // file order
    // For each band: the last band at or before it whose format differs from
    // its own, and the last one whose format places text (horizontal
    // alignment other than 5 and 7); -1 for none.
    std::vector<std::int64_t> PreviousOtherFormat;
    std::vector<std::int64_t> LastPlacing;
    std::vector<std::size_t> ColumnBands; // indices of the column bands
    std::vector<std::pair<std::int32_t, std::size_t>> RowBands; // (row, index), by row then index
};

// Reads the sheet's records once; `sheet` must have a StartRecord.
SheetWalkIndex BuildSheetWalkIndex(const SheetInfo& sheet);

// Draws the cells of the current page.
void DrawPageCells(const SheetWalkIndex& index, SheetWalkMode mode);

// The walk every page takes; the indexed one unless a test asks otherwise.
SheetWalkMode& PreferredSheetWalk();

} // namespace spreadsheet
