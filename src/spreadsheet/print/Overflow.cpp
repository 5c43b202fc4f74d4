#include "CellDrawing.h"
#include "SheetLayout.h"
#include "TextCells.h"

#include <algorithm>
#include <deque>
#include <vector>

namespace spreadsheet {
namespace {

struct OverflowEntry {
    std::int32_t X = 0;
    std::int32_t Y = 0;
    RECT Clip {};
    std::int32_t Format = 0;
    std::uint16_t Column = 0;
    std::u16string Text;
};

std::uint16_t overflowRow = 0;
std::vector<bool> occupied;
std::deque<OverflowEntry> pendingOverflow;

bool OnPage(std::uint16_t column)
{
    const SheetLayout& layout = Layout();
    return column >= layout.PageFirstCol && column <= layout.PageLastCol
        && static_cast<std::size_t>(column - layout.PageFirstCol) < occupied.size();
}

bool Occupied(std::uint16_t column)
{
    return OnPage(column) && occupied[column - Layout().PageFirstCol];
}

void DrawPending(const OverflowEntry& entry)
{
    const SheetLayout& layout = Layout();
    ApplyCellFormat(entry.Format, ValueKind::Text);
    const int hAlign = Drawing().HAlign;
    std::int32_t left = layout.PageColumnEdges[entry.Column - layout.PageFirstCol];
    if (hAlign == kAlignRightFlag || hAlign == kAlignCenterFlag) {
        for (int c = entry.Column - 1; c >= layout.PageFirstCol; --c) {
            const auto column = static_cast<std::uint16_t>(c);
            if (Occupied(column))
                break;
            left -= ColumnWidthAt(column);
            if (left < entry.Clip.left)
                break;
        }
    }
    unsigned next = entry.Column + 1u;
    if (hAlign == kAlignLeftFlag || hAlign == kAlignCenterFlag) {
        while (next <= layout.PageLastCol && !Occupied(static_cast<std::uint16_t>(next)))
            ++next;
    }
    std::int32_t right = layout.DataLeft;
    for (unsigned c = layout.PageFirstCol; c < next; ++c) {
        right += ColumnWidthAt(static_cast<std::uint16_t>(c));
        if (right >= entry.Clip.right)
            break;
    }
    const RECT clip { left + layout.CellPadding, entry.Clip.top + 1, right - layout.CellPadding,
        entry.Clip.bottom - 1 };
    DrawText(entry.X, entry.Y, ETO_OPAQUE | ETO_CLIPPED, &clip, entry.Text.data(), static_cast<int>(entry.Text.size()));
    DrawBorders(left, entry.Clip.top + 1, right, entry.Clip.bottom - 1, BorderFill::BordersOnly);
}

} // namespace

void QueueOverflow(
    std::int32_t x, std::int32_t y, const RECT& clip, std::int32_t format, std::uint16_t column, std::u16string text)
{
    pendingOverflow.push_back(OverflowEntry { x, y, clip, format, column, std::move(text) });
}

void ResolveOverflow(std::uint16_t column, std::uint16_t row, Occupancy occupancy)
{
    const bool cellGiven = !(column == kNoCell && row == kNoCell);
    if (cellGiven && row == overflowRow) {
        if (occupancy == Occupancy::Occupying && OnPage(column))
            occupied[column - Layout().PageFirstCol] = true;
        return;
    }
    while (!pendingOverflow.empty()) {
        DrawPending(pendingOverflow.front());
        pendingOverflow.pop_front();
    }
    overflowRow = row;
    std::fill(occupied.begin(), occupied.end(), false);
    if (cellGiven && occupancy == Occupancy::Occupying && OnPage(column))
        occupied[column - Layout().PageFirstCol] = true;
}

void StartOverflowPage(std::size_t pageColumns)
{
    pendingOverflow.clear();
    overflowRow = 0;
    occupied.assign(pageColumns, false);
}

void ClearOverflow()
{
    pendingOverflow.clear();
    occupied.clear();
    overflowRow = 0;
}

} // namespace spreadsheet
