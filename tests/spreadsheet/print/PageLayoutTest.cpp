// Page layout of a printed sheet: page order, widths, scale, headings,
// centring and hidden columns, on the recording destination.

#include "SheetPrintFixture.h"

#include <DialogHost.h>
#include <DialogResourceIds.h>

#include <cctype>
#include <tuple>
#include <utility>

namespace spreadsheet::testing {
namespace {

// The first column letter and the first row number of each page.
std::vector<std::pair<std::string, std::string>> PageCorners(const std::vector<std::string>& recording)
{
    std::vector<std::pair<std::string, std::string>> corners;
    for (const std::string& line : recording) {
        if (line.starts_with("StartPage")) {
            corners.emplace_back();
            continue;
        }
        const std::size_t at = line.find("text=\"");
        if (!line.starts_with("ExtTextOut") || at == std::string::npos || corners.empty())
            continue;
        const std::string text = line.substr(at + 6, line.size() - at - 7);
        auto& [letter, number] = corners.back();
        if (letter.empty())
            letter = text;
        else if (number.empty() && !text.empty() && std::isdigit(static_cast<unsigned char>(text[0])))
            number = text;
    }
    return corners;
}

TEST_F(SheetPrintTest, PagesRunAcrossThenDown)
{
    // 20 columns of 330 units: 11 fit beside the row headings; 200 rows of
    // 106 units: 50 fit below the column headings.
    WorkbookDescription workbook = MonoWorkbook({ Number(199, 19, 1) });
    workbook.Sheets[0].DefaultColWidth = 1556;
    ASSERT_EQ(Print(workbook), 1);
    const std::vector<std::pair<std::string, std::string>> expected { { "A", "1" }, { "L", "1" }, { "A", "51" },
        { "L", "51" }, { "A", "101" }, { "L", "101" }, { "A", "151" }, { "L", "151" } };
    EXPECT_EQ(PageCorners(Recording()), expected);
    EXPECT_EQ(printengine::Job().FinalStatus, 0);
}

TEST_F(SheetPrintTest, FitToPageScalesFrom250To25PercentAndPages)
{
    core::Settings().SheetSizing = 1;
    // A small range grows to 250 %; a huge one shrinks to 25 %, 21,600
    // unscaled units a page: 202 rows below the headings.
    const std::tuple<std::uint16_t, const char*, int> rows[] = { { 1, "height=-207", 1 }, { 2999, "height=-20", 15 } };
    for (const auto& [lastRow, height, pages] : rows) {
        ASSERT_EQ(Print(MonoWorkbook({ Text(0, 0, u"a"), Number(lastRow, 1, 2) })), 1);
        const std::vector<std::string> fonts = Lines({ "SelectFont" });
        ASSERT_FALSE(fonts.empty());
        EXPECT_EQ(fonts[0],
            std::string("SelectFont \"Liberation Mono\" ") + height
                + " weight=400 italic=0 underline=0 strike=0 charset=0");
        EXPECT_EQ(Pages(), pages);
    }
}

TEST_F(SheetPrintTest, Custom100PercentPrintsAsNormal)
{
    const WorkbookDescription workbook = MonoWorkbook({ Text(0, 0, u"a long text that overflows"), Number(3, 2, 1.5) });
    ASSERT_EQ(Print(workbook), 1);
    const std::vector<std::string> normal = Recording();
    core::Settings().SheetSizing = 2;
    core::Settings().SheetCustomPercent = 100;
    ASSERT_EQ(Print(workbook), 1);
    EXPECT_EQ(Recording(), normal);
    EXPECT_FALSE(normal.empty());
}

TEST_F(SheetPrintTest, RowHeadingsWidenForRow1000)
{
    ASSERT_EQ(Print(MonoWorkbook({ Text(0, 0, u"x"), Number(1000, 0, 1) })), 1);
    // Five average characters and 4: the data starts at 600 + 254.
    EXPECT_EQ(
        Lines({ "ExtTextOut x=864" }), std::vector<std::string> { BoxedText(864, 708, 0, 864, 698, 1370, 804, "x") });
}

TEST_F(SheetPrintTest, CentringNeverLeftOfTheMarginAndAWideColumnOnAPageOfItsOwn)
{
    core::Settings().SheetCenter = 1;
    WorkbookDescription workbook = MonoWorkbook({ Text(0, 0, u"a"), Text(1, 1, u"b") });
    ASSERT_EQ(Print(workbook), 1);
    // 1,256 by 310 units in 3,900 by 5,400.
    EXPECT_EQ(Lines({ "Rectangle" })[0], "Rectangle 1922 3145 3182 3459 pen=solid,4,0x00000000 brush=null");

    // A column wider than the page gets a page of its own, cut to the page's
    // width, 3,900 units from 804; its block starts at the margin.
    workbook.Sheets[0].Columns = { ColumnDescription { 1, 1, 30000 } };
    workbook.Sheets[0].Cells.push_back(Text(0, 2, u"c"));
    ASSERT_EQ(Print(workbook), 1);
    const std::vector<std::pair<std::string, std::string>> corners { { "A", "1" }, { "B", "1" }, { "C", "1" } };
    EXPECT_EQ(PageCorners(Recording()), corners);
    const std::vector<std::string> rectangles = Lines({ "Rectangle" });
    ASSERT_EQ(rectangles.size(), 3u);
    EXPECT_EQ(rectangles[1], "Rectangle 600 3145 4708 3459 pen=solid,4,0x00000000 brush=null");
}

TEST_F(SheetPrintTest, HiddenColumnHasNoHeadingNoSeparatorAndNoCells)
{
    WorkbookDescription workbook = MonoWorkbook({ Text(0, 0, u"a1"), Text(0, 1, u"b1"), Text(0, 2, u"c1") });
    workbook.Sheets[0].Columns = { ColumnDescription { 1, 1, 2560, 0, true } };
    ASSERT_EQ(Print(workbook), 1);
    const std::vector<std::string> expected {
        BoxedText(1042, 600, 0, 804, 600, 1330, 694, "A"),
        BoxedText(1568, 600, 0, 1330, 600, 1856, 694, "C"),
        BoxedText(675, 703, 0, 600, 698, 800, 804, "1"),
        BoxedText(814, 708, 0, 814, 698, 1320, 804, "a1"),
        BoxedText(1340, 708, 0, 1340, 698, 1846, 804, "c1"),
    };
    EXPECT_EQ(Texts(), expected);
    // One heading separator, after A; the gridlines of A and of the hidden B
    // fall on one another.
    EXPECT_EQ(Lines({ "Polyline 2 (1330,600)" }).size(), 1u);
    EXPECT_EQ(Lines({ "Polyline 2 (1330,698) (1330,804) pen=solid,1" }).size(), 2u);
}

TEST_F(SheetPrintTest, BooleansErrorsAndFormulaResultsPrintTheirTexts)
{
    core::Settings().SheetHeadings = 0;
    core::Settings().SheetGridlines = 0;
    WorkbookDescription workbook = MonoWorkbook();
    // One cell of each kind down column A.
    std::vector<CellDescription>& cells = workbook.Sheets[0].Cells;
    for (CellKind kind :
        { CellKind::Error, CellKind::Boolean, CellKind::Boolean, CellKind::FormulaText, CellKind::FormulaText,
            CellKind::FormulaBoolean, CellKind::FormulaError, CellKind::FormulaNumber, CellKind::FormulaEmpty }) {
        cells.push_back(Blank(static_cast<std::uint16_t>(cells.size()), 0));
        cells.back().Kind = kind;
    }
    cells[0].ErrorCode = 7;
    cells[1].Flag = true;
    cells[3].Text = u"formula";
    cells[7].Number = 12.5;
    ASSERT_EQ(Print(workbook), 1);
    std::vector<std::string> shown;
    for (const std::string& line : Texts())
        shown.push_back(line.substr(line.find("text=")));
    const std::vector<std::string> expected { "text=\"ERR7\"", "text=\"TRUE\"", "text=\"FALSE\"", "text=\"formula\"",
        "text=\"FALSE\"", "text=\"#REF!\"", "text=\"12.5\"" };
    EXPECT_EQ(shown, expected);
}

TEST_F(SheetPrintTest, DialogRunsUnlessSkippedAndItsChoicesApply)
{
    WorkbookDescription workbook = MonoWorkbook({ Text(0, 0, u"first") });
    workbook.Sheets.push_back(workbook.Sheets[0]);
    workbook.Sheets[1].Name = u"Second";
    workbook.Sheets[1].Cells = { Text(0, 0, u"second") };
    platform::ScriptedDialogHost cancel({ platform::DialogAction::Press(platform::kCancelCommand) });
    platform::SetDialogHost(&cancel);
    ASSERT_EQ(Print(workbook), 1);
    EXPECT_EQ(cancel.Runs(), 0);
    EXPECT_EQ(Pages(), 1);

    core::Options().SkipSheetDialog = 0;
    ASSERT_EQ(Print(workbook), 1);
    EXPECT_EQ(cancel.Runs(), 1);
    EXPECT_EQ(Pages(), 0);
    EXPECT_EQ(printengine::Job().FinalStatus, 1);

    platform::ScriptedDialogHost choose({ platform::DialogAction::Check(platform::kSheetHeadingsCheck, 0),
        platform::DialogAction::Check(platform::kSheetGridlinesCheck, 0),
        platform::DialogAction::Select(platform::kSheetListCombo, 1), platform::DialogAction::Press(1) });
    platform::SetDialogHost(&choose);
    ASSERT_EQ(Print(workbook), 1);
    EXPECT_EQ(Texts(), std::vector<std::string> { BoxedText(610, 610, 0, 610, 600, 1116, 706, "second") });
    platform::SetDialogHost(nullptr);
}

// Damaged workbooks print what they hold or give their message; none
// crashes or reads outside the file (the sanitizer build checks).

WorkbookDescription SmallWorkbook()
{
    WorkbookDescription workbook = MonoWorkbook();
    workbook.CellFormats = { CellFormatDescription {}, { .Layout = kAlignCenterAcross | kBorderTop, .Background = 3 } };
    workbook.NumberFormats = { u"0.0#" };
    workbook.Sheets[0].Columns = { ColumnDescription { 1, 2, 3000, 1 } };
    workbook.Sheets[0].Rows = { RowDescription { 1, 300, false, 1 } };
    workbook.Sheets[0].Cells = { Text(0, 0, u"a long heading", 1), Blank(0, 1, 1), Number(1, 1, 2.5),
        { .Row = 2, .Kind = CellKind::FormulaText, .Text = u"f" } };
    return workbook;
}

TEST_F(SheetPrintTest, ReferencesPastTheListsPrintWithTheNeutralFormat)
{
    WorkbookDescription workbook = SmallWorkbook();
    workbook.Sheets[0].Cells.push_back(Text(3, 0, u"format 300", 300));
    workbook.Sheets[0].Columns.push_back(ColumnDescription { 4, 4, 2560, 999 });
    workbook.CellFormats.push_back({ .Font = 12 });
    workbook.CellFormats.push_back({ .NumberFormat = 240, .Layout = 7 });
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
    WorkbookDescription workbook = MonoWorkbook({ Text(0, 0, u"a") });
    workbook.Sheets[0].Selection = SelectionDescription { 0, 0, 40000, 0 };
    ASSERT_EQ(Print(workbook), 1);
    // 50 rows of 106 units a page.
    EXPECT_EQ(Pages(), 328);
}

} // namespace
} // namespace spreadsheet::testing
