#include "PrintWorkbook.h"

#include "CellDrawing.h"
#include "SheetLayout.h"
#include "SheetWalk.h"
#include "TextCells.h"

#include <AppSettings.h>
#include <CellValueFormat.h>
#include <Messages.h>
#include <PrintJob.h>
#include <PrintingLibrary.h>
#include <SettingsStore.h>
#include <SheetOptionsDialog.h>
#include <Units.h>
#include <WorkbookReader.h>

#include <algorithm>
#include <string>

namespace spreadsheet {
namespace {

constexpr std::int32_t kCellPaddingTwips = 24; // 1/60 inch
constexpr std::int32_t kCancelledStatus = 1;
constexpr std::uint16_t kUnsetCell = 0xFFFF;
constexpr std::uint16_t kLastColumn = 255;
constexpr std::uint16_t kLastRow = 16383;
constexpr std::int32_t kWideColumn = 255; // 1/256 units from which padding is added
constexpr std::int32_t kNarrowestColumn = 11;
constexpr std::int32_t kHeadingMargin = 4;
constexpr std::int32_t kHeadingPen = 4;
constexpr std::int32_t kGridPen = 1;
constexpr std::int32_t kBlack = 0;
constexpr int kHeadingTextFlags = kAlignCenterFlag | kAlignMiddleFlag;
constexpr std::int32_t kSmallestScale = 25;
constexpr std::int32_t kLargestScale = 250;
constexpr std::int32_t kFullScale = 100;
constexpr std::int32_t kRangeSelected = 1;
constexpr std::int32_t kRangePopulated = 2;
constexpr std::int32_t kRangeCustom = 3;
constexpr std::uint8_t kSizingFitToPage = 1;
constexpr std::uint8_t kSizingCustom = 2;

HDC Dc()
{
    return printengine::Job().PrinterDc;
}

int FitCellText(const char16_t* text, int count, int maxWidth)
{
    int fit = 0;
    SIZE size {};
    MeasureText(text, count, maxWidth, fit, size);
    return fit;
}

// The sheet `SheetIndex` names, counted from the first; the first sheet when
// the index is negative or past the end.
SheetInfo* ChosenSheet()
{
    const auto index = static_cast<std::int16_t>(core::Options().SheetIndex);
    if (index > 0 && static_cast<std::size_t>(index) < Workbook().Sheets.size())
        return SheetAt(static_cast<std::size_t>(index));
    return SheetAt(0);
}

struct PrintRange {
    std::uint16_t FirstCol = 0;
    std::uint16_t FirstRow = 0;
    std::uint16_t LastCol = 1;
    std::uint16_t LastRow = 1;
};

PrintRange ChooseRange(const SheetInfo* sheet)
{
    core::RunOptions& options = core::Options();
    PrintRange range;
    if (options.SheetRange == kRangeCustom) {
        range = { options.SheetRangeFrom.Column, options.SheetRangeFrom.Row, options.SheetRangeTo.Column,
            options.SheetRangeTo.Row };
    } else if (!sheet) {
        range = { 0, 0, 1, 1 };
    } else if (options.SheetRange == kRangePopulated) {
        range = { sheet->MinCol, sheet->MinRow, sheet->MaxCol, sheet->MaxRow };
    } else if (options.SheetRange == kRangeSelected) {
        range = { sheet->SelFirstCol, sheet->SelFirstRow, sheet->SelLastCol, sheet->SelLastRow };
    } else {
        range = { 0, 0, sheet->MaxCol, sheet->MaxRow };
    }
    for (std::uint16_t* value : { &range.FirstCol, &range.FirstRow, &range.LastCol, &range.LastRow }) {
        if (*value == kUnsetCell)
            *value = 0;
    }
    if (options.SheetRange != kRangeCustom) {
        options.SheetRangeFrom = { range.FirstCol, range.FirstRow };
        options.SheetRangeTo = { range.LastCol, range.LastRow };
    }
    // A sheet has 256 columns and 16,384 rows, and a range runs from its
    // first cell to its last whatever order a damaged selection gives them.
    range.FirstCol = std::min(range.FirstCol, kLastColumn);
    range.LastCol = std::min(range.LastCol, kLastColumn);
    range.FirstRow = std::min(range.FirstRow, kLastRow);
    range.LastRow = std::min(range.LastRow, kLastRow);
    if (range.FirstCol > range.LastCol)
        std::swap(range.FirstCol, range.LastCol);
    if (range.FirstRow > range.LastRow)
        std::swap(range.FirstRow, range.LastRow);
    return range;
}

void MeasureColumns(SheetInfo& sheet)
{
    SheetLayout& layout = Layout();
    const std::int32_t defaultWidth = ColumnWidthToUnits(sheet.DefaultColWidth);
    layout.ColumnWidths.assign(layout.LastCol - layout.FirstCol + 1u, defaultWidth);
    for (const ColumnInfo& run : sheet.Columns) {
        const std::int32_t from = std::max<std::int32_t>(run.FirstColumn, layout.FirstCol);
        const std::int32_t to = std::min<std::int32_t>(run.LastColumn, layout.LastCol);
        if (from > to)
            continue;
        std::int32_t width = 0;
        if (run.Width >= 1) {
            ApplyCellFormat(run.FormatIndex, ValueKind::Text);
            width = ColumnWidthToUnits(run.Width);
        }
        for (std::int32_t c = from; c <= to; ++c)
            layout.ColumnWidths[static_cast<std::size_t>(c - layout.FirstCol)] = width;
    }
    sheet.Columns.clear();
}

void MeasureRows(SheetInfo& sheet)
{
    SheetLayout& layout = Layout();
    const std::int32_t dpi = printengine::Job().Dpi;
    layout.RowHeights.assign(
        layout.LastRow - layout.FirstRow + 1u, printengine::TwipsToDevice(sheet.DefaultRowHeight, dpi));
    for (const RowInfo& row : sheet.Rows) {
        if (row.Row < layout.FirstRow || row.Row > layout.LastRow)
            continue;
        layout.RowHeights[static_cast<std::size_t>(row.Row - layout.FirstRow)]
            = row.Height >= 1 ? printengine::TwipsToDevice(row.Height, dpi) : 0;
    }
    sheet.Rows.clear();
}

void MeasureHeadings()
{
    SheetLayout& layout = Layout();
    if (!core::Settings().SheetHeadings) {
        layout.RowHeadingWidth = 0;
        layout.ColHeadingHeight = 0;
        return;
    }
    ApplyCellFormat(0, ValueKind::Text);
    const std::int32_t digits = layout.LastRow <= 999 ? 4 : layout.LastRow <= 9999 ? 5 : 6;
    layout.RowHeadingWidth = Drawing().AverageWidth * digits + kHeadingMargin;
    layout.ColHeadingHeight = Drawing().FontHeight + kHeadingMargin;
}

std::int32_t FitToPageScale()
{
    const SheetLayout& layout = Layout();
    const printengine::PrintJob& job = printengine::Job();
    std::int64_t totalWidth = layout.RowHeadingWidth;
    for (std::int32_t width : layout.ColumnWidths)
        totalWidth += width;
    std::int64_t totalHeight = layout.ColHeadingHeight;
    for (std::int32_t height : layout.RowHeights)
        totalHeight += height;
    // An axis with nothing to show sets no limit; a range with nothing at
    // all prints at full size.
    std::int64_t scale = -1;
    if (totalWidth > 0)
        scale = static_cast<std::int64_t>(job.TextWidth) * 100 / totalWidth;
    if (totalHeight > 0) {
        const std::int64_t byHeight = static_cast<std::int64_t>(job.TextHeight) * 100 / totalHeight;
        scale = scale < 0 ? byHeight : std::min(scale, byHeight);
    }
    if (scale < 0)
        return kFullScale;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(scale, kSmallestScale, kLargestScale));
}

void ChooseScale()
{
    SheetLayout& layout = Layout();
    const core::AppSettings& settings = core::Settings();
    const printengine::PrintJob& job = printengine::Job();
    layout.PrintScale = kFullScale;
    if (settings.SheetSizing == kSizingFitToPage) {
        layout.PrintScale = FitToPageScale();
    } else if (settings.SheetSizing == kSizingCustom) {
        // A stored percentage outside its range (a damaged settings value
        // with the dialog skipped) prints at full size, as the dialog shows it.
        const std::int32_t percent = settings.SheetCustomPercent;
        layout.PrintScale = percent >= kSmallestScale && percent <= kLargestScale ? percent : kFullScale;
    }
    layout.IsScaled = layout.PrintScale != kFullScale;
    layout.PageWidth = DivideByScale(job.TextWidth);
    layout.PageHeight = DivideByScale(job.TextHeight);
    layout.PageLeftMargin = DivideByScale(job.OriginX);
    layout.PageTopMargin = DivideByScale(job.OriginY);
}

// Places the page's columns and rows and the printed block on the paper.
void PlacePage()
{
    SheetLayout& layout = Layout();
    std::int32_t x = layout.RowHeadingWidth + ColumnWidthAt(layout.PageFirstCol);
    layout.PageLastCol = layout.PageFirstCol;
    while (layout.PageLastCol < layout.LastCol) {
        const std::int32_t width = ColumnWidthAt(static_cast<std::uint16_t>(layout.PageLastCol + 1));
        if (x + width > layout.PageWidth)
            break;
        ++layout.PageLastCol;
        x += width;
    }
    std::int32_t y = layout.ColHeadingHeight + RowHeightAt(layout.PageFirstRow);
    layout.PageLastRow = layout.PageFirstRow;
    while (layout.PageLastRow < layout.LastRow) {
        const std::int32_t height = RowHeightAt(static_cast<std::uint16_t>(layout.PageLastRow + 1));
        if (y + height > layout.PageHeight)
            break;
        ++layout.PageLastRow;
        y += height;
    }
    const bool center = core::Settings().SheetCenter != 0;
    const std::int32_t extraX = center ? std::max(0, (static_cast<std::int32_t>(layout.PageWidth) - x) / 2) : 0;
    const std::int32_t extraY = center ? std::max(0, (static_cast<std::int32_t>(layout.PageHeight) - y) / 2) : 0;
    layout.PageLeft = layout.PageLeftMargin + extraX;
    layout.DataLeft = layout.PageLeft + layout.RowHeadingWidth;
    layout.DataRight = layout.PageLeftMargin + extraX + x;
    layout.PageTop = layout.PageTopMargin + extraY;
    layout.DataTop = layout.PageTop + layout.ColHeadingHeight;
    layout.DataBottom = layout.PageTopMargin + extraY + y;
    ComputePageEdges();
}

std::u16string ColumnLetters(unsigned index)
{
    std::u16string letters;
    if (index < 26) {
        letters.push_back(static_cast<char16_t>(u'A' + index));
    } else {
        letters.push_back(static_cast<char16_t>(u'A' - 1 + index / 26));
        letters.push_back(static_cast<char16_t>(u'A' + index % 26));
    }
    return letters;
}

void DrawHeadings()
{
    const SheetLayout& layout = Layout();
    SelectCellPen(kHeadingPen, kBlack);
    DrawRect(layout.PageLeft, layout.PageTop, layout.DataRight + 4, layout.DataBottom + 4);
    DrawLine(layout.DataLeft - 3, layout.PageTop, layout.DataLeft - 3, layout.DataBottom + 4);
    DrawLine(layout.PageLeft, layout.DataTop - 1, layout.DataRight + 4, layout.DataTop - 1);
    for (unsigned c = layout.PageFirstCol; c <= layout.PageLastCol; ++c) {
        const std::int32_t left = layout.PageColumnEdges[c - layout.PageFirstCol];
        const std::int32_t width = ColumnWidthAt(static_cast<std::uint16_t>(c));
        if (width <= 0)
            continue;
        const std::u16string letters = ColumnLetters(c);
        const RECT box { left, layout.PageTop, left + width, layout.DataTop - 4 };
        DrawTextInRect(letters.c_str(), -1, kHeadingTextFlags, box, 0);
        if (c != layout.PageLastCol)
            DrawLine(left + width, layout.PageTop, left + width, layout.DataTop - 3);
    }
    for (unsigned r = layout.PageFirstRow; r <= layout.PageLastRow; ++r) {
        const std::int32_t top = layout.PageRowEdges[r - layout.PageFirstRow];
        const std::int32_t height = RowHeightAt(static_cast<std::uint16_t>(r));
        if (height <= 0)
            continue;
        const std::string digits = std::to_string(r + 1);
        const std::u16string number(digits.begin(), digits.end());
        const RECT box { layout.PageLeft, top, layout.DataLeft - 4, top + height };
        DrawTextInRect(number.c_str(), -1, kHeadingTextFlags, box, 0);
        if (r != layout.PageLastRow)
            DrawLine(layout.PageLeft, top + height, layout.DataLeft - 3, top + height);
    }
}

void DrawGridlines()
{
    const SheetLayout& layout = Layout();
    if (!core::Settings().SheetHeadings) {
        SelectCellPen(kHeadingPen, kBlack);
        DrawRect(layout.PageLeft, layout.PageTop, layout.DataRight, layout.DataBottom);
    }
    SelectCellPen(kGridPen, kBlack);
    for (unsigned c = layout.PageFirstCol; c < layout.PageLastCol; ++c) {
        const std::int32_t x = layout.PageColumnEdges[c - layout.PageFirstCol + 1];
        DrawLine(x, layout.DataTop, x, layout.DataBottom);
    }
    for (unsigned r = layout.PageFirstRow; r < layout.PageLastRow; ++r) {
        const std::int32_t y = layout.PageRowEdges[r - layout.PageFirstRow + 1];
        DrawLine(layout.DataLeft, y, layout.DataRight, y);
    }
}

void PrintPages(const SheetWalkIndex& index)
{
    SheetLayout& layout = Layout();
    layout.PageFirstCol = layout.FirstCol;
    layout.PageFirstRow = layout.FirstRow;
    for (;;) {
        ApplyCellFormat(0, ValueKind::Text);
        PlacePage();
        DropProgramBrush();
        ForgetCachedFormat();
        if (core::Settings().SheetHeadings)
            DrawHeadings();
        if (core::Settings().SheetGridlines)
            DrawGridlines();
        StartOverflowPage(layout.PageLastCol - layout.PageFirstCol + 1u);
        DrawPageCells(index, PreferredSheetWalk());
        ResolveOverflow(kNoCell, kNoCell, Occupancy::Empty);
        printengine::NextPage();
        ForgetCachedFormat();
        ClearOverflow();
        if (layout.PageLastCol < layout.LastCol) {
            layout.PageFirstCol = static_cast<std::uint16_t>(layout.PageLastCol + 1);
            continue;
        }
        if (layout.PageLastRow >= layout.LastRow)
            break;
        layout.PageFirstRow = static_cast<std::uint16_t>(layout.PageLastRow + 1);
        layout.PageFirstCol = layout.FirstCol;
    }
}

// Steps from the chosen sheet to the last page; false when the user
// cancelled the options dialog.
bool PrintSheet(platform::WindowHandle window)
{
    SheetInfo* sheet = ChosenSheet();
    if (!core::Options().SkipSheetDialog) {
        if (!RunSheetOptionsDialog(window))
            return false;
        core::SaveSettings();
        sheet = ChosenSheet();
    }
    const PrintRange range = ChooseRange(sheet);
    // A workbook without a worksheet to walk has nothing to print.
    if (!sheet || sheet->StartRecord == SheetInfo::kNoRecord)
        return true;
    if (printengine::StartPrintJob() != printengine::kPrintJobStarted)
        return true;
    PLW_SetBkMode(Dc(), OPAQUE);

    SheetLayout& layout = Layout();
    layout.FirstCol = range.FirstCol;
    layout.LastCol = range.LastCol;
    layout.FirstRow = range.FirstRow;
    layout.LastRow = range.LastRow;
    layout.CellPadding = printengine::TwipsToDevice(kCellPaddingTwips, printengine::Job().Dpi);
    ApplyCellFormat(0, ValueKind::Text);
    layout.PageWidth = printengine::Job().TextWidth;
    layout.PageHeight = printengine::Job().TextHeight;
    MeasureColumns(*sheet);
    MeasureRows(*sheet);
    MeasureHeadings();
    ChooseScale();
    PrintPages(BuildSheetWalkIndex(*sheet));
    return true;
}

} // namespace

std::int32_t ColumnWidthToUnits(std::int32_t width)
{
    const SheetLayout& layout = Layout();
    const std::int64_t average = Drawing().AverageWidth;
    std::int64_t units = (width * average + 255) / 256;
    if (width >= kWideColumn)
        units += 2 * layout.CellPadding + average / 8;
    else if (units < kNarrowestColumn)
        units = 0;
    return static_cast<std::int32_t>(std::min<std::int64_t>(units, static_cast<std::int64_t>(layout.PageWidth)));
}

int PrintWorkbook(platform::WindowHandle window, platform::ModuleHandle, const char16_t* path)
{
    Layout() = SheetLayout {};
    core::ShowBusyCursor();
    ForgetCachedFormat();
    SetDrawingRelease(ReleaseCellDrawing);
    SetCellTextMeasure(FitCellText);
    const int result = OpenWorkbook(path);
    bool cancelled = false;
    if (result) {
        core::HideBusyCursor();
        cancelled = !PrintSheet(window);
    }
    printengine::EndPrintJob();
    // A cancelled options dialog is a cancelled print, not a printed one.
    if (cancelled)
        printengine::Job().FinalStatus = kCancelledStatus;
    ClearOverflow();
    Layout() = SheetLayout {};
    ReleaseWorkbook();
    SetCellTextMeasure(nullptr);
    return result;
}

} // namespace spreadsheet
