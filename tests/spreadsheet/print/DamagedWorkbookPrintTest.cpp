// Damaged workbooks print what they hold or give their message; none
// crashes or reads outside the file (the sanitizer build checks).

#include "SheetPrintFixture.h"

namespace spreadsheet::testing {
namespace {

WorkbookDescription SmallWorkbook()
{
    WorkbookDescription workbook = MonoWorkbook();
    CellFormatDescription centred;
    centred.Layout = kAlignCenterAcross | kBorderTop;
    centred.Background = 3;
    workbook.CellFormats = { CellFormatDescription {}, centred };
    workbook.NumberFormats = { u"0.0#" };
    workbook.Sheets[0].Columns = { ColumnDescription { 1, 2, 3000, 1 } };
    workbook.Sheets[0].Rows = { RowDescription { 1, 300, false, 1 } };
    CellDescription formula;
    formula.Kind = CellKind::FormulaText;
    formula.Row = 2;
    formula.Text = u"f";
    workbook.Sheets[0].Cells = { Text(0, 0, u"a long heading", 1), Blank(0, 1, 1), Number(1, 1, 2.5), formula };
    return workbook;
}

TEST_F(SheetPrintTest, ReferencesPastTheListsPrintWithTheNeutralFormat)
{
    WorkbookDescription workbook = SmallWorkbook();
    workbook.Sheets[0].Cells.push_back(Text(3, 0, u"format 300", 300));
    workbook.Sheets[0].Columns.push_back(ColumnDescription { 4, 4, 2560, 999 });
    CellFormatDescription noFont;
    noFont.Font = 12;
    CellFormatDescription odd;
    odd.Layout = 7;
    odd.NumberFormat = 240;
    workbook.CellFormats.push_back(noFont);
    workbook.CellFormats.push_back(odd);
    workbook.Sheets[0].Cells.push_back(Text(4, 0, u"no such font", 2));
    workbook.Sheets[0].Cells.push_back(Number(5, 0, 3.25, 3));
    workbook.Sheets[0].Selection = SelectionDescription { 9, 5, 2, 1 };
    ASSERT_EQ(Print(workbook), 1);
    EXPECT_TRUE(messages.empty());
    const std::vector<std::string> texts = Texts();
    EXPECT_NE(std::find_if(texts.begin(), texts.end(),
                  [](const std::string& line) { return line.ends_with("text=\"format 300\""); }),
        texts.end());
    // A selection whose ends are swapped prints its cells in order.
    core::Options().SheetRange = 1;
    ASSERT_EQ(Print(workbook), 1);
    EXPECT_GE(Pages(), 1);
}

TEST_F(SheetPrintTest, WorkbookWithoutSheetsPrintsNothingAndAnUnreadableOneSaysWhy)
{
    WorkbookDescription workbook = MonoWorkbook();
    workbook.Sheets.clear();
    EXPECT_EQ(Print(workbook), 1);
    EXPECT_EQ(Pages(), 0);
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(Print(std::vector<std::uint8_t> { 1, 2, 3 }), 0);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].starts_with(u"Invalid PXL file : "));
}

TEST_F(SheetPrintTest, SelectionPastTheLastRowStopsAtRow16384)
{
    core::Settings().SheetHeadings = 0;
    core::Options().SheetRange = 1;
    WorkbookDescription workbook = MonoWorkbook();
    workbook.Sheets[0].Cells = { Text(0, 0, u"a") };
    workbook.Sheets[0].Selection = SelectionDescription { 0, 0, 40000, 0 };
    ASSERT_EQ(Print(workbook), 1);
    // 50 rows of 106 units a page.
    EXPECT_EQ(Pages(), 328);
}

} // namespace
} // namespace spreadsheet::testing
