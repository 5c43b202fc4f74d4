#include "PxlRecords.h"
#include "ReaderTestSupport.h"

#include <array>
#include <cstdint>
#include <gtest/gtest.h>
#include <tuple>
#include <vector>

namespace spreadsheet {
namespace {

WorkbookDescription EveryRecordWorkbook()
{
    WorkbookDescription book;
    book.WithSkippedRecords = true;
    book.Fonts = { FontDescription {},
        FontDescription { .Height = 280,
            .Italic = true,
            .Color = 2,
            .Weight = 700,
            .Underline = true,
            .Family = 0x20,
            .Name = u"Tahoma" } };
    book.CellFormats = { CellFormatDescription {}, CellFormatDescription { .Font = 1, .NumberFormat = 234 },
        CellFormatDescription { .NumberFormat = 3, .Layout = kAlignCenter | kBorderTop, .Background = 5 } };
    book.NumberFormats = { u"0.0", u"[Red]0.00", u"yyyy" };
    book.ActiveSheet = 1;
    SheetDescription first;
    first.Name = u"Costs";
    first.DefaultColWidth = 2304;
    first.DefaultRowHeight = 300;
    first.Selection = SelectionDescription { 1, 2, 7, 4 };
    first.Columns = { ColumnDescription { .FirstColumn = 0, .LastColumn = 0, .Width = 31 },
        ColumnDescription { .FirstColumn = 1, .LastColumn = 3, .Width = 32, .Format = 2 },
        ColumnDescription { .FirstColumn = 4, .LastColumn = 4, .Width = 4000, .Hidden = true } };
    first.Rows
        = { RowDescription { .Row = 2, .Height = 400 }, RowDescription { .Row = 3, .Height = 400, .Hidden = true } };
    CellDescription flag = Blank(5, 6);
    flag.Kind = CellKind::Boolean;
    flag.Flag = true;
    CellDescription formulaFlag = flag;
    formulaFlag.Kind = CellKind::FormulaBoolean;
    formulaFlag.Row = 4;
    first.Cells = { Text(3, 2, u"Rent"), Number(4, 5, 12.5, 1), flag, formulaFlag,
        { .Row = 9, .Column = 1, .Kind = CellKind::FormulaText, .Text = u"sum" }, Blank(20, 30) };
    SheetDescription second;
    second.Name = u"Blank only";
    second.Cells = { Blank(1, 1), Blank(7, 9) };
    book.Sheets = { first, second };
    return book;
}

TEST_F(ReaderTest, BuildsTheModelOfEveryRecordType)
{
    ASSERT_EQ(Read(EveryRecordWorkbook()), 1);
    EXPECT_TRUE(Messages.empty());
    const PxlWorkbook& book = Workbook();
    ASSERT_EQ(book.Sheets.size(), 2u);

    const SheetInfo& costs = book.Sheets[0];
    EXPECT_EQ(costs.SheetName, u"Costs");
    EXPECT_EQ((std::array { costs.MinCol, costs.MaxCol, costs.MinRow, costs.MaxRow }),
        (std::array<std::uint16_t, 4> { 1, 6, 3, 9 }));
    EXPECT_EQ((std::array { costs.SelFirstRow, costs.SelFirstCol, costs.SelLastRow, costs.SelLastCol }),
        (std::array<std::uint16_t, 4> { 1, 2, 7, 4 }));
    EXPECT_EQ((std::array<int, 2> { costs.DefaultColWidth, costs.DefaultRowHeight }), (std::array { 2304, 300 }));
    ASSERT_EQ(costs.Columns.size(), 3u);
    EXPECT_EQ(costs.Columns[0].Width, 0) << "a width of 31 hides the column";
    const ColumnInfo& wide = costs.Columns[1];
    EXPECT_EQ((std::array<int, 4> { wide.FirstColumn, wide.LastColumn, wide.Width, wide.FormatIndex }),
        (std::array { 1, 3, 32, 2 }));
    EXPECT_EQ(costs.Columns[2].Width, 0) << "hidden";
    ASSERT_EQ(costs.Rows.size(), 2u);
    EXPECT_EQ(costs.Rows[0].Row, 2);
    EXPECT_EQ(costs.Rows[0].Height, 400);
    EXPECT_EQ(costs.Rows[1].Height, 0) << "hidden";

    const SheetInfo& blanks = book.Sheets[1];
    EXPECT_EQ(blanks.SheetName, u"Blank only");
    EXPECT_EQ((std::array { blanks.MinCol, blanks.MaxCol, blanks.MinRow, blanks.MaxRow }),
        (std::array<std::uint16_t, 4> { 0xFFFF, 0, 0xFFFF, 0 }))
        << "blank cells do not widen the range";

    for (const SheetInfo& sheet : book.Sheets) {
        ASSERT_NE(sheet.StartRecord, SheetInfo::kNoRecord);
        std::span<const std::uint8_t> record = RecordAt(sheet.StartRecord);
        ASSERT_FALSE(record.empty());
        EXPECT_EQ(record[0], 9);
        EXPECT_EQ(FieldU16(record, 3), 16);
    }
    EXPECT_NE(book.Sheets[0].StartRecord, book.Sheets[1].StartRecord);

    ASSERT_EQ(book.Fonts.size(), 2u);
    std::span<const std::uint8_t> tahoma = FontAt(1);
    EXPECT_EQ(RecordText(tahoma, field::kFontName, tahoma[field::kFontNameLength]), u"Tahoma");
    EXPECT_EQ(FieldU16(tahoma, field::kFontWeight), 700);

    EXPECT_EQ(book.CellFormatCount, 3u);
    ASSERT_NE(book.FirstCellFormat, nullptr);
    EXPECT_EQ(CellFormatAt(0).data(), book.FirstCellFormat);
    EXPECT_EQ(CellFormatAt(2).data(), book.FirstCellFormat + 2 * kCellFormatLength);
    EXPECT_EQ(FieldU16(CellFormatAt(1), field::kCellFormatNumberFormat), 234);
    EXPECT_EQ(FieldU16(CellFormatAt(2), field::kCellFormatBackground), 5);

    EXPECT_EQ(book.NumberFormatCount, 3);
    EXPECT_EQ(NumberFormatAt(233).data(), book.FirstNumberFormat);
    EXPECT_EQ(NumberFormatText(233), u"0.0");
    EXPECT_EQ(NumberFormatText(235), u"yyyy");
    EXPECT_EQ(NumberFormatText(236), u"");
    EXPECT_EQ(NumberFormatText(232), u"");

    EXPECT_EQ(core::Options().SheetIndex, 1) << "the window record's active sheet";
}

// Cells are read a row at a time; the range and the row index must come out
// as if each cell were read alone, whatever breaks a row's run of cells.
TEST_F(ReaderTest, RunsOfCellsGiveTheRangeAndTheRowIndex)
{
    CellDescription formula = Number(1, 3, 2);
    formula.Kind = CellKind::FormulaNumber;
    // cells in file order; MinCol, MaxCol, MinRow, MaxRow; the rows indexed,
    // none when the rows are out of order
    const std::tuple<std::vector<CellDescription>, std::array<std::uint16_t, 4>, std::vector<std::uint16_t>> rows[] = {
        { { Blank(0, 9), Number(0, 4, 1), Blank(1, 0), Text(1, 7, u"x"), Blank(2, 1) }, { 4, 7, 0, 1 }, { 0, 1, 2 } },
        { { Number(3, 2, 1), Blank(4, 0), Blank(4, 9), Number(5, 1, 1) }, { 1, 2, 3, 5 }, { 3, 4, 5 } },
        { { Number(1, 1, 1), formula, Number(1, 2, 1), Number(2, 0, 1) }, { 0, 3, 1, 2 }, { 1, 2 } },
        { { Number(2, 0, 1), Number(1, 5, 1) }, { 0, 5, 1, 2 }, {} },
        { { Number(1, 1, 1), Number(2, 2, 1), Number(2, 3, 1), Number(3, 0, 1), Number(2, 9, 1) }, { 0, 9, 1, 3 }, {} },
        { { Blank(7, 3) }, { 0xFFFF, 0, 0xFFFF, 0 }, { 7 } },
    };
    for (const auto& [cells, range, indexed] : rows) {
        SCOPED_TRACE(testing::PrintToString(range));
        WorkbookDescription book;
        book.Sheets[0].Cells = cells;
        ASSERT_EQ(Read(book), 1);
        const SheetInfo& sheet = *SheetAt(0);
        EXPECT_EQ((std::array { sheet.MinCol, sheet.MaxCol, sheet.MinRow, sheet.MaxRow }), range);
        EXPECT_EQ(sheet.CellsInRowOrder, !indexed.empty());
        std::vector<std::uint16_t> starts;
        for (const auto& [row, offset] : sheet.RowStarts) {
            starts.push_back(row);
            EXPECT_EQ(FieldU16(RecordAt(offset), field::kCellRow), row);
        }
        EXPECT_EQ(starts, indexed);
        if (!indexed.empty()) {
            EXPECT_EQ(sheet.RowStarts.front().second, sheet.FirstCellRecord);
        }
        ReleaseWorkbook();
    }
}

TEST_F(ReaderTest, LookupsOutsideTheirListsStayInside)
{
    ASSERT_EQ(Read(WorkbookDescription {}), 1);
    std::span<const std::uint8_t> neutral = CellFormatAt(5);
    ASSERT_EQ(neutral.size(), kCellFormatLength);
    EXPECT_EQ(neutral[field::kCellFormatBackground], 255);
    EXPECT_EQ(FieldU16(neutral, field::kCellFormatNumberFormat), 0);
    std::span<const std::uint8_t> font = FontAt(9);
    EXPECT_EQ(RecordText(font, field::kFontName, font[field::kFontNameLength]), u"Arial");
    EXPECT_EQ(RecordLength(font).Total(), font.size());
    EXPECT_EQ(FontEntryAt(9), nullptr);
    EXPECT_EQ(SheetAt(1), nullptr);
    EXPECT_TRUE(NumberFormatAt(233).empty());
}

TEST_F(ReaderTest, ActiveSheetAndTheCommandLine)
{
    // What the row shows, whether the command line set the options, its sheet, the
    // window record's active sheet and the sheet chosen.
    const std::tuple<const char*, bool, std::uint16_t, std::optional<std::int16_t>, std::uint16_t> rows[] = {
        { "no window record: first sheet", false, 0xFFFF, std::nullopt, 0 },
        { "window record chooses", false, 0xFFFF, 1, 1 },
        { "command line without a sheet: window record", true, 0xFFFF, 1, 1 },
        { "command line sheet wins", true, 2, 1, 2 },
        { "command line sheet kept without window record", true, 3, std::nullopt, 3 },
    };
    for (const auto& [name, fromCommandLine, commandLineSheet, active, expected] : rows) {
        SCOPED_TRACE(name);
        core::ResetRunOptions();
        core::Options().SheetOptionsFromCommandLine = fromCommandLine;
        core::Options().SheetIndex = commandLineSheet;
        WorkbookDescription book;
        book.Sheets.resize(2);
        book.ActiveSheet = active;
        ASSERT_EQ(Read(book), 1);
        EXPECT_EQ(core::Options().SheetIndex, expected);
        ReleaseWorkbook();
    }
}

// Sheet-bound records before the first sheet end have no sheet and are
// ignored; sub-streams past the list's end bind again from the first sheet.
TEST_F(ReaderTest, SheetRecordsWithoutACurrentSheetAreIgnored)
{
    PxlRecordWriter out;
    out.SheetBegin(271, PxlRecordWriter::kWorksheetKind);
    out.SheetEntry(u"A");
    out.Cell(Number(3, 3, 1));
    out.ColumnInfo(ColumnDescription {});
    out.RowInfo(RowDescription {});
    out.Selection(SelectionDescription { 1, 1, 2, 2 });
    out.DefaultColWidth(0, 100);
    out.DefaultRowHeight(0, 100);
    out.SheetEnd();
    ASSERT_EQ(Read(out.Bytes()), 1);
    EXPECT_EQ(Workbook().Sheets[0].StartRecord, SheetInfo::kNoRecord);
    EXPECT_EQ(Workbook().Sheets[0].MinRow, 0xFFFF);
    EXPECT_TRUE(Workbook().Sheets[0].Columns.empty());
    EXPECT_TRUE(Workbook().Sheets[0].Rows.empty());
    EXPECT_EQ(Workbook().Sheets[0].DefaultColWidth, 0);

    for (std::uint16_t row : { 1, 4 }) { // the second: no current sheet after the list's end
        out.SheetBegin(271, PxlRecordWriter::kWorksheetKind);
        out.Cell(Number(row, row, 1));
        out.SheetEnd();
    }
    const std::size_t again = out.Bytes().size();
    out.SheetBegin(271, PxlRecordWriter::kWorksheetKind);
    out.Cell(Number(9, 9, 1));
    out.SheetEnd();
    ASSERT_EQ(Read(out.Bytes()), 1);
    EXPECT_EQ(Workbook().Sheets[0].StartRecord, again);
    EXPECT_EQ(Workbook().Sheets[0].MaxRow, 9);
    EXPECT_EQ(Workbook().Sheets[0].MinRow, 1);
}

int drawingReleases = 0;

TEST_F(ReaderTest, ReleaseForgetsEverything)
{
    ASSERT_EQ(Read(EveryRecordWorkbook()), 1);
    SetDrawingRelease([] { ++drawingReleases; });
    ReleaseWorkbook();
    const PxlWorkbook& book = Workbook();
    EXPECT_TRUE(book.View.empty() && book.Sheets.empty() && book.Fonts.empty());
    EXPECT_EQ(book.FirstCellFormat, nullptr);
    EXPECT_EQ(book.NumberFormatCount, 0);
    EXPECT_EQ(drawingReleases, 1) << "the cell drawing frees its pen and brush first";
    SetDrawingRelease(nullptr);
    ReleaseWorkbook();
    EXPECT_EQ(drawingReleases, 1);
}

std::vector<std::uint8_t> Padded(std::vector<std::uint8_t> head, std::size_t size)
{
    head.resize(size, 0);
    return head;
}

TEST(RecordLengthTest, FixedLengthAndPayloadByKindAndFieldsInside)
{
    // What the row shows, the record, whether it is valid and its fixed and payload lengths.
    const std::tuple<const char*, std::vector<std::uint8_t>, bool, std::uint32_t, std::uint32_t> rows[] = {
        { "blank cell", Padded({ 1 }, 6), true, 6, 0 },
        { "number cell", Padded({ 3 }, 14), true, 14, 0 },
        { "text cell of 5 characters skips 10 bytes", Padded({ 4, 0, 0, 0, 0, 0, 5, 0 }, 18), true, 8, 10 },
        { "text cell of length 0", Padded({ 4 }, 8), true, 8, 0 },
        { "text cell count kept to 16 bits", Padded({ 4, 0, 0, 0, 0, 0, 0x01, 0x80 }, 10), true, 8, 2 },
        { "formula cell counts bytes", Padded({ 6, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 3, 0 }, 20), true, 17, 3 },
        { "formula string uses its low length byte", Padded({ 7, 2, 1 }, 7), true, 3, 4 },
        { "font name length at 15", Padded({ 49, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2 }, 20), true, 16, 4 },
        { "sheet entry name length at 2", Padded({ 133, 0, 3 }, 9), true, 3, 6 },
        { "number format", Padded({ 30, 4 }, 10), true, 2, 8 },
        { "kind 5 counts sixes", Padded({ 27, 2, 0 }, 15), true, 3, 12 },
        { "kind 7 adds characters and bytes", Padded({ 24, 0, 0, 2, 3, 0, 0, 0 }, 15), true, 8, 7 },
        { "cell format", Padded({ 224 }, 23), true, 23, 0 },
        { "sheet end", { 10 }, true, 1, 0 },
        { "skipped 161", Padded({ 161 }, 35), true, 35, 0 },
        { "unknown type", Padded({ 2 }, 20), false, 0, 0 },
        { "type 255", Padded({ 255 }, 20), false, 0, 0 },
        { "fixed part cut short", Padded({ 3 }, 13), false, 14, 0 },
        { "payload cut short", Padded({ 4, 0, 0, 0, 0, 0, 5, 0 }, 17), false, 8, 10 },
        { "count byte missing", { 30 }, false, 0, 0 },
        { "empty", {}, false, 0, 0 },
    };
    for (const auto& [name, record, valid, fixed, payload] : rows) {
        SCOPED_TRACE(name);
        RecordSize size = RecordLength(record);
        EXPECT_EQ(size.Valid, valid);
        if (valid) {
            EXPECT_EQ(size.Fixed, fixed);
            EXPECT_EQ(size.Payload, payload);
        }
    }
    // Fields stop at the record's end.
    const std::vector<std::uint8_t> record = { 7, 3, 0, 'a', 0, 'b', 0, 'c' };
    EXPECT_EQ(RecordText(record, 3, 2), u"ab");
    EXPECT_EQ(RecordText(record, 3, 300), u"ab");
    EXPECT_EQ(RecordText(record, 30, 3), u"");
    const std::vector<std::uint8_t> number = { 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xF8, 0x3F };
    EXPECT_EQ(FieldF64(number, 6), 1.5);
    EXPECT_EQ(FieldF64(number, 7), 0.0);
}

} // namespace
} // namespace spreadsheet
