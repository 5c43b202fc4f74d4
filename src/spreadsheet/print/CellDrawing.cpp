#include "CellDrawing.h"

#include "ByteCursor.h"
#include "SheetLayout.h"

#include <AppSettings.h>
#include <PrintJob.h>
#include <PrintingLibrary.h>
#include <PxlRecords.h>
#include <PxlWorkbook.h>
#include <Units.h>

#include <algorithm>
#include <array>
#include <limits>
#include <string>

namespace spreadsheet {
namespace {

constexpr std::array<std::uint32_t, kPaletteSize> kPalette = { 0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF,
    0xFFFF00, 0xFF00FF, 0x00FFFF, 0x800000, 0x008000, 0x000080, 0x808000, 0x800080, 0x008080, 0xC0C0C0, 0x808080,
    0x9999FF, 0x993366, 0xFFFFCC, 0xCCFFFF, 0x660066, 0xFF8080, 0x0066CC, 0xCCCCFF, 0x000080, 0xFF00FF, 0xFFFF00,
    0x00FFFF, 0x800080, 0x800000, 0x008080, 0x0000FF, 0x00CCFF, 0xCCFFFF, 0xCCFFCC, 0xFFFF99, 0x99CCFF, 0xFF99CC,
    0xCC99FF, 0xFFCC99, 0x3366FF, 0x33CCCC, 0x99CC00, 0xFFCC00, 0xFF9900, 0xFF6600, 0x666699, 0x969696, 0x003366,
    0x339966, 0x003300, 0x333300, 0x993300, 0x993366, 0x333399, 0x333333, 0x000000 };

constexpr std::uint16_t kHorizontalMask = 0x07;
constexpr std::uint16_t kWrapBit = 0x08;
constexpr int kVerticalShift = 4;
constexpr std::uint16_t kVerticalMask = 0x07;
constexpr std::uint8_t kItalicBit = 0x02;
constexpr std::uint8_t kSingleUnderline = 1;
constexpr std::uint8_t kPitchFlagAdded = 4;
constexpr std::int32_t kBorderPenWidth = 4;
constexpr std::int32_t kWhiteIndex = 1;
constexpr std::int32_t kWidestMeasure = 32767;
constexpr std::size_t kFaceNameLimit = LF_FACESIZE - 1;

struct BorderEdge {
    std::uint16_t Bit;
    std::size_t ColorField;
};
constexpr std::array<BorderEdge, 4> kBorderEdges { {
    { 0x100, field::kCellFormatTopBorderColor },
    { 0x200, field::kCellFormatLeftBorderColor },
    { 0x400, field::kCellFormatBottomBorderColor },
    { 0x800, field::kCellFormatRightBorderColor },
} };

CellDrawingState state;
// The font of references outside the workbook's font list.
FontEntry neutralFont;
std::size_t cellRecord = 0;
std::size_t cellSheetEnd = 0;

HDC Dc()
{
    return printengine::Job().PrinterDc;
}

std::int32_t Scale(std::int32_t value)
{
    const SheetLayout& layout = Layout();
    if (!layout.IsScaled)
        return value;
    const std::int64_t scaled = static_cast<std::int64_t>(value) * layout.PrintScale / 100;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        scaled, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

RECT ScaleRect(const RECT& rect)
{
    return RECT { Scale(rect.left), Scale(rect.top), Scale(rect.right), Scale(rect.bottom) };
}

std::uint16_t LayoutBits(std::span<const std::uint8_t> format)
{
    return ByteCursor(format).U16At(field::kCellFormatLayout).value_or(0);
}

bool IsCenterAcross(std::uint16_t horizontal)
{
    return horizontal == 4 || horizontal == 6;
}

LOGFONTW FontDescription(std::span<const std::uint8_t> record)
{
    ByteCursor in(record);
    LOGFONTW font {};
    font.lfHeight = -printengine::TwipsToDevice(in.I16At(field::kFontHeight).value_or(0), printengine::Job().Dpi);
    font.lfWeight = in.U16At(field::kFontWeight).value_or(FW_NORMAL);
    font.lfItalic = (in.U8At(field::kFontAttributes).value_or(0) & kItalicBit) ? 1 : 0;
    font.lfUnderline = in.U8At(field::kFontUnderline).value_or(0) == kSingleUnderline ? 1 : 0;
    font.lfCharSet = in.U8At(field::kFontCharset).value_or(0);
    font.lfPitchAndFamily = static_cast<std::uint8_t>(in.U8At(field::kFontFamily).value_or(0) | kPitchFlagAdded);
    const std::u16string name = RecordText(record, field::kFontName, in.U8At(field::kFontNameLength).value_or(0));
    std::copy_n(name.begin(), std::min(name.size(), kFaceNameLimit), font.lfFaceName);
    return font;
}

void DeleteFonts(FontEntry& entry)
{
    if (entry.Font)
        ::DeleteObject(entry.Font);
    if (entry.Font && entry.ScaledFont)
        ::DeleteObject(entry.ScaledFont);
    entry = FontEntry {};
}

} // namespace

CellDrawingState& Drawing()
{
    return state;
}

COLORREF PaletteColor(std::size_t index)
{
    const std::uint32_t rgb = kPalette[index < kPaletteSize ? index : 0];
    return PLW_RGB(rgb >> 16, rgb >> 8, rgb);
}

void SetCellRecord(std::size_t record, std::size_t sheetEnd)
{
    cellRecord = record;
    cellSheetEnd = sheetEnd;
}

void SelectCellFont(std::size_t index)
{
    FontEntry* entry = FontEntryAt(index);
    if (!entry)
        entry = &neutralFont;
    const std::span<const std::uint8_t> record = FontAt(index);
    const SheetLayout& layout = Layout();
    if (!(entry->Font && (!layout.IsScaled || entry->ScaledFont))) {
        LOGFONTW font = FontDescription(record);
        if (!entry->Font)
            entry->Font = ::CreateFontIndirectW(&font);
        if (layout.IsScaled) {
            font.lfHeight
                = static_cast<std::int32_t>(static_cast<std::int64_t>(font.lfHeight) * layout.PrintScale / 100);
            entry->ScaledFont = ::CreateFontIndirectW(&font);
        }
        HFONT chosen = entry->ScaledFont ? entry->ScaledFont : entry->Font;
        if (chosen)
            PLW_SelectObject(Dc(), chosen);
        TEXTMETRICW metrics {};
        PLW_GetTextMetrics(Dc(), &metrics);
        int fit = 0;
        SIZE size {};
        PLW_GetTextExtentExPoint(Dc(), u"0", 1, kWidestMeasure, &fit, nullptr, &size);
        entry->TextHeight = DivideByScale(metrics.tmHeight);
        entry->AverageWidth = DivideByScale(size.cx);
    } else {
        PLW_SelectObject(Dc(), entry->ScaledFont ? entry->ScaledFont : entry->Font);
    }
    state.ScaledFontCurrent = entry->ScaledFont != nullptr;
    state.AverageWidth = entry->AverageWidth;
    state.FontHeight = entry->TextHeight;
    state.TextColor = PaletteColor(ByteCursor(record).U16At(field::kFontColor).value_or(0));
    PLW_SetTextColor(Dc(), state.TextColor);
}

int SelectCellPen(std::int32_t width, std::int32_t color)
{
    if (state.Pen && state.PenWidth == width && state.PenColor == color)
        return 1;
    LOGPEN description {};
    description.lopnStyle = width != 0 ? PS_SOLID : PS_NULL;
    description.lopnWidth.x = width;
    description.lopnColor = PaletteColor(static_cast<std::size_t>(std::max(color, 0)));
    HPEN pen = ::CreatePenIndirect(&description);
    if (!pen)
        return 0;
    PLW_SelectObject(Dc(), pen);
    if (state.Pen)
        ::DeleteObject(state.Pen);
    state.Pen = pen;
    state.PenWidth = width;
    state.PenColor = color;
    return 1;
}

void ApplyCellFormat(std::int32_t format, ValueKind kind)
{
    const SheetLayout& layout = Layout();
    if (!(format == state.CachedFormat && (!layout.IsScaled || state.ScaledFontCurrent))) {
        state.CachedFormat = format;
        state.CurrentFormatRecord
            = CellFormatAt(format < 0 ? std::numeric_limits<std::size_t>::max() : static_cast<std::size_t>(format));
        ByteCursor in(state.CurrentFormatRecord);
        const std::int16_t font = in.I16At(field::kCellFormatFont).value_or(0);
        SelectCellFont(font < 0 ? std::numeric_limits<std::size_t>::max() : static_cast<std::size_t>(font));
        state.NumberFormatNumber = in.U16At(field::kCellFormatNumberFormat).value_or(0);
        std::int32_t brushColor = kWhiteIndex;
        if (core::Settings().SheetBackgroundColors) {
            state.BackgroundIndex = in.U16At(field::kCellFormatBackground).value_or(kNoBackgroundIndex);
            if (state.BackgroundIndex != kNoBackgroundIndex)
                brushColor = state.BackgroundIndex;
        } else {
            state.BackgroundIndex = kNoBackgroundIndex;
        }
        const COLORREF color = PaletteColor(static_cast<std::size_t>(brushColor));
        PLW_SetBkColor(Dc(), color);
        HBRUSH brush = ::CreateSolidBrush(color);
        if (brush)
            PLW_SelectObject(Dc(), brush);
        if (state.Brush)
            ::DeleteObject(state.Brush);
        state.Brush = brush;
        SelectCellPen(1, state.BackgroundIndex);
        state.WrapText = (LayoutBits(state.CurrentFormatRecord) & kWrapBit) != 0;
    }
    const std::uint16_t bits = LayoutBits(state.CurrentFormatRecord);
    state.CenterAcross = false;
    switch (bits & kHorizontalMask) {
    case 0:
        state.HAlign = kind == ValueKind::Text ? kAlignLeftFlag : kAlignRightFlag;
        break;
    case 1:
        state.HAlign = kAlignLeftFlag;
        break;
    case 2:
        state.HAlign = kAlignCenterFlag;
        break;
    case 3:
        state.HAlign = kAlignRightFlag;
        break;
    case 4:
    case 6:
        state.HAlign = kAlignCenterFlag;
        state.CenterAcross = true;
        break;
    default:
        // Values 5 and 7 have no placement: the one in force stays.
        break;
    }
    switch ((bits >> kVerticalShift) & kVerticalMask) {
    case 1:
        state.VAlign = kAlignTopFlag;
        break;
    case 2:
        state.VAlign = kAlignMiddleFlag;
        break;
    default:
        state.VAlign = kAlignBottomFlag;
        break;
    }
}

void ForgetCachedFormat()
{
    state.CachedFormat = kNoCachedFormat;
}

void DrawLine(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2)
{
    const POINT points[2] = { { Scale(x1), Scale(y1) }, { Scale(x2), Scale(y2) } };
    PLW_Polyline(Dc(), points, 2);
}

void DrawRect(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom)
{
    PLW_Rectangle(Dc(), Scale(left), Scale(top), Scale(right), Scale(bottom));
}

void MeasureText(const char16_t* text, int count, std::int32_t maxWidth, int& fit, SIZE& size)
{
    fit = 0;
    size = SIZE {};
    if (count <= 0)
        return;
    std::int32_t fitted = 0;
    if (!PLW_GetTextExtentExPoint(Dc(), text, count, Scale(maxWidth), &fitted, nullptr, &size)) {
        size = SIZE {};
        return;
    }
    fit = std::clamp(fitted, 0, count);
    size.cx = DivideByScale(size.cx);
    size.cy = DivideByScale(size.cy);
}

void DrawText(std::int32_t x, std::int32_t y, std::uint32_t options, const RECT* rect, const char16_t* text, int count)
{
    RECT scaled {};
    if (rect)
        scaled = ScaleRect(*rect);
    PLW_ExtTextOut(Dc(), Scale(x), Scale(y), options, rect ? &scaled : nullptr, text,
        static_cast<std::uint32_t>(std::max(count, 0)), nullptr);
}

void DrawTextInRect(const char16_t* text, int count, int flags, const RECT& box, std::uint32_t options)
{
    if (count < 0)
        count = static_cast<int>(std::char_traits<char16_t>::length(text));
    int fit = 0;
    SIZE size {};
    MeasureText(text, count, box.right - box.left, fit, size);
    std::int32_t x = box.left;
    if (flags & kAlignRightFlag)
        x = box.right - size.cx;
    else if (flags & kAlignCenterFlag)
        x = box.left + (box.right - box.left - size.cx) / 2;
    std::int32_t y = box.top;
    if (flags & kAlignBottomFlag)
        y = box.bottom - size.cy - 1;
    else if (flags & kAlignMiddleFlag)
        y = box.top + (box.bottom - box.top - size.cy - 1) / 2;
    DrawText(x, y, options, &box, text, count);
}

void DrawBorders(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom, BorderFill fill)
{
    if (fill == BorderFill::FillToo && state.BackgroundIndex != kNoBackgroundIndex)
        DrawRect(left, top, right + 1, bottom + 1);
    ByteCursor in(state.CurrentFormatRecord);
    const std::uint16_t bits = in.U16At(field::kCellFormatLayout).value_or(0);
    for (const BorderEdge& edge : kBorderEdges) {
        const std::uint8_t color = in.U8At(edge.ColorField).value_or(0);
        if (!(bits & edge.Bit) || color >= kPaletteSize)
            continue;
        const std::int32_t previousWidth = state.PenWidth;
        const std::int32_t previousColor = state.PenColor;
        SelectCellPen(kBorderPenWidth, color);
        switch (edge.Bit) {
        case 0x100:
            DrawLine(left, top, right, top);
            break;
        case 0x200:
            DrawLine(left, top, left, bottom);
            break;
        case 0x400:
            DrawLine(left, bottom, right, bottom);
            break;
        default:
            DrawLine(right, top, right, bottom);
            break;
        }
        SelectCellPen(previousWidth, previousColor);
    }
}

int DrawCellBox(RECT& textRect, std::uint16_t column, std::uint16_t row, std::int32_t format, ValueKind kind)
{
    const SheetLayout& layout = Layout();
    if (column < layout.PageFirstCol || column > layout.PageLastCol || row < layout.PageFirstRow
        || row > layout.PageLastRow)
        return 0;
    const std::int32_t width = ColumnWidthAt(column);
    const std::int32_t height = RowHeightAt(row);
    if (width == 0 || height == 0)
        return 0;
    const std::int32_t left = layout.PageColumnEdges[column - layout.PageFirstCol];
    std::int32_t right = left + width;
    const std::int32_t top = layout.PageRowEdges[row - layout.PageFirstRow];
    const std::int32_t bottom = top + height;
    ApplyCellFormat(format, kind);
    if (state.CenterAcross) {
        std::uint16_t lastTaken = column;
        std::size_t next = cellRecord + RecordLength(RecordAt(cellRecord)).Total();
        while (next < cellSheetEnd) {
            const std::span<const std::uint8_t> record = RecordAt(next);
            const RecordSize size = RecordLength(record);
            if (!size.Valid || record[0] != static_cast<std::uint8_t>(PxlRecordType::BlankCell))
                break;
            ByteCursor in(record);
            const std::uint16_t blankRow = in.U16At(field::kCellRow).value_or(0);
            const std::uint16_t blankColumn = in.U8At(field::kCellColumn).value_or(0);
            if (blankRow != row || blankColumn > lastTaken + 1 || lastTaken >= layout.PageLastCol)
                break;
            ++lastTaken;
            right += ColumnWidthAt(lastTaken);
            if (right > layout.DataRight) {
                right = layout.DataRight;
                break;
            }
            const std::uint16_t blankFormat = in.U16At(field::kCellFormatIndex).value_or(0);
            if (!IsCenterAcross(LayoutBits(CellFormatAt(blankFormat)) & kHorizontalMask))
                break;
            next += size.Total();
        }
    }
    DrawBorders(left, top, right, bottom, BorderFill::FillToo);
    textRect = RECT { left + layout.CellPadding, top, right - layout.CellPadding, bottom };
    return 1;
}

void FillBand(std::uint16_t firstCol, std::uint16_t firstRow, std::uint16_t lastCol, std::uint16_t lastRow)
{
    if (!core::Settings().SheetBackgroundColors)
        return;
    const SheetLayout& layout = Layout();
    if (firstCol < layout.PageFirstCol || lastCol > layout.PageLastCol || firstRow < layout.PageFirstRow
        || lastRow > layout.PageLastRow || firstCol > lastCol || firstRow > lastRow)
        return;
    const std::int32_t x1 = layout.PageColumnEdges[firstCol - layout.PageFirstCol];
    const std::int32_t x2 = layout.PageColumnEdges[lastCol - layout.PageFirstCol + 1];
    const std::int32_t y1 = layout.PageRowEdges[firstRow - layout.PageFirstRow];
    const std::int32_t y2 = layout.PageRowEdges[lastRow - layout.PageFirstRow + 1];
    if (x2 > x1 && y2 > y1)
        DrawBorders(x1, y1, x2, y2, BorderFill::FillToo);
}

void SelectNullBrush()
{
    PLW_SelectObject(Dc(), ::GetStockObject(NULL_BRUSH));
}

void SelectProgramBrush()
{
    if (state.Brush)
        PLW_SelectObject(Dc(), state.Brush);
}

void DropProgramBrush()
{
    SelectNullBrush();
    if (state.Brush)
        ::DeleteObject(state.Brush);
    state.Brush = nullptr;
}

void ReleaseCellDrawing()
{
    if (!platform::PrintingLibraryBound()) {
        ResetCellDrawing();
        return;
    }
    if (Dc()) {
        PLW_SelectObject(Dc(), ::GetStockObject(BLACK_PEN));
        PLW_SelectObject(Dc(), ::GetStockObject(BLACK_BRUSH));
        PLW_SelectObject(Dc(), ::GetStockObject(SYSTEM_FONT));
    }
    if (state.Pen)
        ::DeleteObject(state.Pen);
    if (state.Brush)
        ::DeleteObject(state.Brush);
    DeleteFonts(neutralFont);
    state = CellDrawingState {};
}

void ResetCellDrawing()
{
    state = CellDrawingState {};
    neutralFont = FontEntry {};
    cellRecord = 0;
    cellSheetEnd = 0;
}

} // namespace spreadsheet
