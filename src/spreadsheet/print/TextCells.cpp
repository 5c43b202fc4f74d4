#include "TextCells.h"

#include "CellDrawing.h"
#include "SheetLayout.h"

#include <CellValueFormat.h>
#include <PrintJob.h>
#include <PrintingLibrary.h>

#include <algorithm>
#include <vector>

namespace spreadsheet {
namespace {

constexpr std::int32_t kWidestMeasure = 32767;
constexpr char16_t kLineFeed = 10;

bool EndsWrappedLine(char16_t ch)
{
    return ch == u' ' || ch == u'!' || ch == u'-' || ch == u')' || ch == u']';
}

std::int32_t LineX(const RECT& rect, std::int32_t width)
{
    switch (Drawing().HAlign) {
    case kAlignRightFlag:
        return rect.right - width;
    case kAlignCenterFlag:
        return rect.left + (rect.right - rect.left - width) / 2;
    default:
        return rect.left;
    }
}

struct Line {
    std::size_t Start;
    std::size_t Length;
};

// Breaks the text into lines of the box width: at a line feed, after the
// spaces that follow the last character that fits, else just after the last
// space, "!", "-", ")" or "]" that fits, else after the characters that fit.
std::vector<Line> BreakLines(std::u16string& text, std::int32_t width)
{
    std::vector<Line> lines;
    std::size_t position = 0;
    while (position < text.size() && lines.size() < static_cast<std::size_t>(kMostWrappedLines)) {
        const std::size_t rest = text.size() - position;
        int fitted = 0;
        SIZE size {};
        MeasureText(text.data() + position, static_cast<int>(rest), width, fitted, size);
        std::size_t fit = static_cast<std::size_t>(fitted);
        for (std::size_t i = 0; i < fit; ++i) {
            if (text[position + i] == kLineFeed) {
                text[position + i] = u' ';
                fit = i;
                break;
            }
        }
        std::size_t end = position + fit;
        if (rest > fit) {
            if (text[position + fit] == u' ') {
                while (end < text.size() && text[end] == u' ')
                    ++end;
            } else {
                for (std::size_t k = fit; k > 0; --k) {
                    if (EndsWrappedLine(text[position + k - 1])) {
                        end = position + k;
                        break;
                    }
                }
            }
        }
        if (end <= position)
            end = position + 1;
        lines.push_back(Line { position, end - position });
        position = end;
    }
    return lines;
}

void DrawWrapped(std::u16string& text, const RECT& rect, std::int32_t lineHeight)
{
    const std::int32_t innerTop = rect.top + 1;
    const std::int32_t innerHeight = (rect.bottom - 1) - (rect.top + 1);
    const std::vector<Line> lines = BreakLines(text, rect.right - rect.left);
    const std::int32_t room = std::max(1, innerHeight / lineHeight);
    const std::int32_t shown = std::min(static_cast<std::int32_t>(lines.size()), room);
    const std::int32_t pitch = innerHeight / room;
    std::int32_t y = innerTop + (innerHeight - pitch * room) / 2;
    if (Drawing().VAlign == kAlignBottomFlag)
        y += (innerHeight - pitch * shown) - 1;
    else if (Drawing().VAlign == kAlignMiddleFlag)
        y += (innerHeight - pitch * shown - 1) / 2;
    for (std::int32_t i = 0; i < shown; ++i) {
        const Line& line = lines[static_cast<std::size_t>(i)];
        std::size_t length = line.Length;
        while (length > 0 && text[line.Start + length - 1] == u' ')
            --length;
        int fit = 0;
        SIZE size {};
        MeasureText(text.data() + line.Start, static_cast<int>(length), kWidestMeasure, fit, size);
        DrawText(LineX(rect, size.cx), y, 0, nullptr, text.data() + line.Start, static_cast<int>(length));
        y += pitch;
    }
}

// A text wider than its cell: cut at the data area's edges and queued.
void QueueTooWide(std::u16string text, std::int32_t x, std::int32_t y, std::int32_t width, const RECT& rect,
    std::int32_t format, std::uint16_t column)
{
    const SheetLayout& layout = Layout();
    RECT clip { std::max(x, layout.DataLeft), rect.top, x + width, rect.bottom };
    int fit = 0;
    SIZE size {};
    if (x + width > layout.DataRight) {
        MeasureText(text.data(), static_cast<int>(text.size()), layout.DataRight - x, fit, size);
        text.resize(static_cast<std::size_t>(fit));
        clip.right = layout.DataRight;
    }
    if (x < layout.DataLeft) {
        MeasureText(text.data(), static_cast<int>(text.size()), layout.DataLeft - x, fit, size);
        SIZE dropped {};
        int all = 0;
        MeasureText(text.data(), fit, kWidestMeasure, all, dropped);
        x += dropped.cx;
        text.erase(0, static_cast<std::size_t>(fit));
    }
    QueueOverflow(x, y, clip, format, column, std::move(text));
}

} // namespace

void DrawTextCell(const char16_t* text, std::int32_t format, std::uint16_t column, std::uint16_t row, int length)
{
    if (length < 1)
        return;
    ResolveOverflow(column, row, Occupancy::Occupying);
    RECT rect {};
    if (!DrawCellBox(rect, column, row, format, ValueKind::Text))
        return;
    std::u16string kept(text, static_cast<std::size_t>(length));
    while (!kept.empty() && kept.back() == u' ')
        kept.pop_back();
    if (kept.empty())
        return;
    SelectNullBrush();
    int fit = 0;
    SIZE size {};
    MeasureText(kept.data(), static_cast<int>(kept.size()), kWidestMeasure, fit, size);
    if (size.cx != 0 && size.cy != 0) {
        const std::int32_t boxWidth = rect.right - rect.left;
        if (!Drawing().WrapText) {
            const std::int32_t x = LineX(rect, size.cx);
            const std::int32_t innerTop = rect.top + 1;
            const std::int32_t innerHeight = (rect.bottom - 1) - (rect.top + 1);
            std::int32_t y = innerTop;
            if (Drawing().VAlign == kAlignBottomFlag)
                y = (rect.bottom - 1) - size.cy - 1;
            else if (Drawing().VAlign == kAlignMiddleFlag)
                y = innerTop + (innerHeight - size.cy - 1) / 2;
            if (size.cx <= boxWidth)
                DrawText(x, y, 0, &rect, kept.data(), static_cast<int>(kept.size()));
            else
                QueueTooWide(std::move(kept), x, y, size.cx, rect, format, column);
        } else {
            DrawWrapped(kept, rect, size.cy);
        }
    }
    SelectProgramBrush();
}

void DrawNumberCell(std::int32_t format, std::uint16_t column, std::uint16_t row, double value)
{
    ResolveOverflow(column, row, Occupancy::Occupying);
    RECT rect {};
    if (!DrawCellBox(rect, column, row, format, ValueKind::Number))
        return;
    CellText text;
    const CellRect cell { rect.left, rect.top, rect.right, rect.bottom };
    FormatNumberCell(value, Drawing().NumberFormatNumber, cell, text);
    if (text.Length() == 0)
        return;
    SelectNullBrush();
    const int override = ColorOverride();
    if (override > 0)
        PLW_SetTextColor(printengine::Job().PrinterDc, PaletteColor(static_cast<std::size_t>(override)));
    DrawTextInRect(text.Data(), -1, Drawing().HAlign + Drawing().VAlign, rect, 0);
    if (override > 0) {
        PLW_SetTextColor(printengine::Job().PrinterDc, Drawing().TextColor);
        ColorOverride() = 0;
    }
    SelectProgramBrush();
}

} // namespace spreadsheet
