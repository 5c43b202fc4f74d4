// The indexed page walk prints exactly what the walk of every record
// prints, and falls back to that walk where the index cannot promise it.

#include "SheetPrintFixture.h"

#include <WorkbookReader.h>

#include <algorithm>
#include <functional>
#include <random>

namespace spreadsheet::testing {
namespace {

// A sheet of 40 rows and 30 columns over several pages, with overflowing
// texts, numbers, blanks, centring across and coloured rows and columns.
WorkbookDescription BusyWorkbook()
{
    WorkbookDescription workbook = MonoWorkbook();
    // 0 general, 1 right, 2 shaded, 3 centred across, 4 an alignment of 5.
    workbook.CellFormats = { CellFormatDescription {}, { .Layout = kAlignRight }, { .Background = 22 },
        { .Layout = kAlignCenterAcross }, { .Layout = 5 } };
    SheetDescription& sheet = workbook.Sheets[0];
    sheet.Columns = { ColumnDescription { 3, 4, 2560, 2 }, ColumnDescription { 9, 9, 800 } };
    sheet.Rows = { RowDescription { 5, 400, false, 2 }, RowDescription { 31, 255, false, 1 } };
    for (std::uint16_t row = 0; row < 120; ++row) {
        for (std::uint8_t column = 0; column < 30; ++column) {
            const int kind = (row * 7 + column * 3) % 9;
            if (kind == 0)
                sheet.Cells.push_back(Text(row, column, u"a text far too long for one cell", column % 2));
            else if (kind == 1)
                sheet.Cells.push_back(Number(row, column, row * 100.25 - column));
            else if (kind == 2)
                sheet.Cells.push_back(Blank(row, column, 2));
            else if (kind == 3 && column < 28) {
                sheet.Cells.push_back(Text(row, column, u"across", 3));
                sheet.Cells.push_back(Blank(row, static_cast<std::uint8_t>(column + 1), 3));
                ++column;
            } else if (kind == 4)
                sheet.Cells.push_back(Text(row, column, u"odd", 4));
        }
    }
    return workbook;
}

// The workbook with its sheet's records written in the order `order` gives,
// and optionally a record added after the cells.
std::vector<std::uint8_t> Written(const WorkbookDescription& workbook,
    const std::function<void(std::vector<CellDescription>&)>& order,
    const std::function<void(PxlRecordWriter&)>& after = {})
{
    PxlRecordWriter out;
    out.SheetBegin(workbook.Version, PxlRecordWriter::kGlobalsKind);
    for (const FontDescription& font : workbook.Fonts)
        out.Font(font);
    for (const CellFormatDescription& format : workbook.CellFormats)
        out.CellFormat(format);
    for (const SheetDescription& sheet : workbook.Sheets)
        out.SheetEntry(sheet.Name);
    out.SheetEnd();
    const SheetDescription& sheet = workbook.Sheets[0];
    out.SheetBegin(workbook.Version, PxlRecordWriter::kWorksheetKind);
    out.DefaultColWidth(0, *sheet.DefaultColWidth);
    out.DefaultRowHeight(0, *sheet.DefaultRowHeight);
    for (const ColumnDescription& column : sheet.Columns)
        out.ColumnInfo(column);
    for (const RowDescription& row : sheet.Rows)
        out.RowInfo(row);
    std::vector<CellDescription> cells = sheet.Cells;
    order(cells);
    for (const CellDescription& cell : cells)
        out.Cell(cell);
    if (after)
        after(out);
    out.SheetEnd();
    return out.Bytes();
}

// Formula texts in row order beside numbers, over several pages.
WorkbookDescription FormulaWorkbook()
{
    WorkbookDescription workbook = MonoWorkbook();
    for (std::uint16_t row = 0; row < 150; ++row) {
        workbook.Sheets[0].Cells.push_back({ .Row = row,
            .Column = static_cast<std::uint8_t>(row % 4),
            .Kind = CellKind::FormulaText,
            .Text = u"result of a formula in a row" });
        workbook.Sheets[0].Cells.push_back(Number(row, 5, row));
    }
    return workbook;
}

TEST_F(SheetPrintTest, IndexedWalkPrintsAsTheFullWalk)
{
    WorkbookDescription banded = BusyWorkbook();
    for (std::int16_t row = 0; row < 120; row += 3)
        banded.Sheets[0].Rows.push_back(RowDescription { row, 300, false, static_cast<std::uint16_t>(row % 5) });
    const auto inOrder = [](std::vector<CellDescription>&) {};
    const struct {
        const char* Name;
        std::vector<std::uint8_t> Bytes;
        bool IndexUsable;
    } rows[] = {
        { "cells in row order", Written(BusyWorkbook(), inOrder), true },
        { "cells out of row order",
            Written(BusyWorkbook(),
                [](std::vector<CellDescription>& cells) {
                    std::mt19937 random(5);
                    std::shuffle(cells.begin(), cells.end(), random);
                }),
            false },
        { "bands after the cells",
            Written(BusyWorkbook(), inOrder,
                [](PxlRecordWriter& out) {
                    out.RowInfo(RowDescription { 60, 255, false, 2 });
                    out.ColumnInfo(ColumnDescription { 12, 14, 2560, 2 });
                }),
            false },
        { "bands before the cells", Written(banded, inOrder), true },
        { "formula texts in row order", Written(FormulaWorkbook(), inOrder), true },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Name);
        ASSERT_EQ(ReadWorkbookFromBytes(row.Bytes, u"walk.pxl"), 1);
        EXPECT_EQ(BuildSheetWalkIndex(*SheetAt(0)).Usable, row.IndexUsable);
        ReleaseWorkbook();
        PreferredSheetWalk() = SheetWalkMode::Indexed;
        EXPECT_EQ(Print(row.Bytes), 1);
        const std::vector<std::string> indexed = Recording();
        EXPECT_GT(Pages(), 1);
        PreferredSheetWalk() = SheetWalkMode::Full;
        EXPECT_EQ(Print(row.Bytes), 1);
        EXPECT_EQ(indexed, Recording());
    }
}

} // namespace
} // namespace spreadsheet::testing
