#include "SheetLayout.h"

namespace spreadsheet {
namespace {

SheetLayout layout;

} // namespace

SheetLayout& Layout()
{
    return layout;
}

std::int32_t ColumnWidthAt(std::uint16_t column)
{
    if (column < layout.FirstCol || column > layout.LastCol)
        return 0;
    const std::size_t at = column - layout.FirstCol;
    return at < layout.ColumnWidths.size() ? layout.ColumnWidths[at] : 0;
}

std::int32_t RowHeightAt(std::uint16_t row)
{
    if (row < layout.FirstRow || row > layout.LastRow)
        return 0;
    const std::size_t at = row - layout.FirstRow;
    return at < layout.RowHeights.size() ? layout.RowHeights[at] : 0;
}

std::int32_t DivideByScale(std::int32_t value)
{
    if (!layout.IsScaled || layout.PrintScale <= 0)
        return value;
    return static_cast<std::int32_t>(static_cast<std::int64_t>(value) * 100 / layout.PrintScale);
}

void ComputePageEdges()
{
    layout.PageColumnEdges.clear();
    std::int32_t x = layout.DataLeft;
    for (unsigned c = layout.PageFirstCol; c <= layout.PageLastCol; ++c) {
        layout.PageColumnEdges.push_back(x);
        x += ColumnWidthAt(static_cast<std::uint16_t>(c));
    }
    layout.PageColumnEdges.push_back(x);
    layout.PageRowEdges.clear();
    std::int32_t y = layout.DataTop;
    for (unsigned r = layout.PageFirstRow; r <= layout.PageLastRow; ++r) {
        layout.PageRowEdges.push_back(y);
        y += RowHeightAt(static_cast<std::uint16_t>(r));
    }
    layout.PageRowEdges.push_back(y);
}

} // namespace spreadsheet
