#pragma once

// The layout of the sheet being printed: column and row sizes of the print
// range, the print scale and the place of the current page. Lengths are
// printer device units of the unscaled layout; the drawing primitives
// apply the scale.

#include <cstdint>
#include <vector>

namespace spreadsheet {

struct SheetLayout {
    // Column and row ranges of the print, inclusive.
    std::uint16_t FirstCol = 0;
    std::uint16_t LastCol = 0;
    std::uint16_t FirstRow = 0;
    std::uint16_t LastRow = 0;
    std::vector<std::int32_t> ColumnWidths; // from FirstCol; 0 = hidden
    std::vector<std::int32_t> RowHeights; // from FirstRow; 0 = hidden
    std::int32_t CellPadding = 0;
    std::int32_t RowHeadingWidth = 0;
    std::int32_t ColHeadingHeight = 0;
    std::int32_t PrintScale = 100;
    bool IsScaled = false;
    double PageWidth = 0;
    double PageHeight = 0;
    std::int32_t PageLeftMargin = 0;
    std::int32_t PageTopMargin = 0;
    std::uint16_t PageFirstCol = 0;
    std::uint16_t PageLastCol = 0;
    std::uint16_t PageFirstRow = 0;
    std::uint16_t PageLastRow = 0;
    std::int32_t PageLeft = 0;
    std::int32_t PageTop = 0;
    std::int32_t DataLeft = 0;
    std::int32_t DataRight = 0;
    std::int32_t DataTop = 0;
    std::int32_t DataBottom = 0;
    // Left edge of each page column from DataLeft, and top edge of each page
    // row from DataTop, with one more entry for the far edge.
    std::vector<std::int32_t> PageColumnEdges;
    std::vector<std::int32_t> PageRowEdges;
};

SheetLayout& Layout();

// Width of a column of the range, 0 outside it.
std::int32_t ColumnWidthAt(std::uint16_t column);
std::int32_t RowHeightAt(std::uint16_t row);

// A length of the layout divided by the print scale: value × 100 / scale.
std::int32_t DivideByScale(std::int32_t value);

// Fills PageColumnEdges and PageRowEdges for the page's columns and rows.
void ComputePageEdges();

} // namespace spreadsheet
