// Cell drawing: alignment, overflow into empty neighbours, wrapping,
// centring across, borders, colours and the print scale.

#include "SheetPrintFixture.h"

namespace spreadsheet::testing {
namespace {

// Formats: 0 general, 1 right, 2 centre, 3 wrap, 4 centre across.
WorkbookDescription AlignedWorkbook(std::vector<CellDescription> cells)
{
    WorkbookDescription workbook = MonoWorkbook(std::move(cells));
    workbook.CellFormats = { CellFormatDescription {}, CellFormatDescription { .Layout = kAlignRight },
        CellFormatDescription { .Layout = kAlignCenter }, CellFormatDescription { .Layout = kWrapText },
        CellFormatDescription { .Layout = kAlignCenterAcross } };
    return workbook;
}

constexpr std::string_view kLong = "ABCDEFGHIJKLMNOPQRSTU"; // 21 characters, 1,050 units
constexpr std::string_view kFifteen = "ABCDEFGHIJKLMNO"; // 750 units

std::u16string Utf16(std::string_view text)
{
    return std::u16string(text.begin(), text.end());
}

// General alignment puts texts left and numbers right; a text centred
// across is centred over the blank cells of its format that follow it.
TEST_F(SheetPrintTest, GeneralAlignmentAndCentringAcrossTheBlankCellsThatFollow)
{
    ASSERT_EQ(Print(AlignedWorkbook({ Text(0, 0, u"Hello"), Number(1, 1, 42), Text(2, 0, u"Title", 4), Blank(2, 1, 4),
                  Blank(2, 2, 4), Text(3, 3, u"d") })),
        1);
    const std::vector<std::string> expected {
        BoxedText(814, 708, 0, 814, 698, 1320, 804, "Hello"),
        BoxedText(1746, 815, 0, 1340, 804, 1846, 910, "42"),
        BoxedText(1468, 920, 0, 814, 910, 2372, 1016, "Title"),
    };
    EXPECT_EQ(Lines({ "ExtTextOut x=814 y=708", "ExtTextOut x=1746", "ExtTextOut x=1468" }), expected);
}

TEST_F(SheetPrintTest, TextOverflowsIntoEmptyCellsUpToTheFirstWithContentOrTheDataRight)
{
    WorkbookDescription workbook = AlignedWorkbook({ Text(0, 0, Utf16(kLong)), Text(0, 2, u"x") });
    ASSERT_EQ(Print(workbook), 1);
    // The clip covers A and B and stops at C; opaque, so gridlines under the
    // text disappear.
    EXPECT_EQ(Texts().back(), BoxedText(814, 708, 6, 814, 699, 1846, 803, kLong));

    // Right-aligned text overflows to the left, centred text both ways.
    workbook.Sheets[0].Cells = { Text(0, 2, Utf16(kFifteen), 1), Text(1, 1, Utf16(kFifteen), 2), Blank(1, 2) };
    ASSERT_EQ(Print(workbook), 1);
    const std::vector<std::string> expected {
        BoxedText(1622, 708, 6, 1340, 699, 2372, 803, kFifteen),
        BoxedText(1218, 814, 6, 814, 805, 2372, 909, kFifteen),
    };
    EXPECT_EQ(Lines({ "ExtTextOut x=1622", "ExtTextOut x=1218" }), expected);

    workbook.Sheets[0].Cells = { Text(0, 0, Utf16(kFifteen)) };
    ASSERT_EQ(Print(workbook), 1);
    EXPECT_EQ(Texts().back(), BoxedText(814, 708, 6, 814, 699, 1320, 803, "ABCDEFGHIJ"));
}

TEST_F(SheetPrintTest, WrappedTextShowsTheLinesThatFitAndBreaksAfterAHyphen)
{
    WorkbookDescription workbook
        = AlignedWorkbook({ Text(0, 0, u"alpha beta gamma delta", 3), Text(1, 0, u"self-contained", 3) });
    workbook.Sheets[0].Rows = { RowDescription { 0, 479 }, RowDescription { 1, 479 } };
    ASSERT_EQ(Print(workbook), 1);
    const std::vector<std::string> texts = Texts();
    // Rows of 200 units hold two lines of 94 at a pitch of 99.
    const std::vector<std::string> expected { Drawn(814, 698, "alpha beta"), Drawn(814, 797, "gamma"),
        Drawn(814, 898, "self-"), Drawn(814, 997, "contained") };
    EXPECT_EQ(std::vector<std::string>(texts.end() - 4, texts.end()), expected);
}

TEST_F(SheetPrintTest, BorderAndFontColoursPastThePaletteDrawNothingAndBlack)
{
    core::Settings().SheetHeadings = 0;
    core::Settings().SheetGridlines = 0;
    WorkbookDescription workbook = MonoWorkbook({ Text(0, 0, u"plain", 1), Text(1, 0, u"red", 2) });
    workbook.Fonts = { MonoFont(60), MonoFont(2) };
    workbook.CellFormats = { CellFormatDescription {},
        { .Layout = kBorderTop | kBorderBottom, .TopBorderColor = 60, .BottomBorderColor = 2 }, { .Font = 1 } };
    ASSERT_EQ(Print(workbook), 1);
    EXPECT_EQ(
        Lines({ "Polyline" }), std::vector<std::string> { "Polyline 2 (600,706) (1126,706) pen=solid,4,0x000000FF" });
    EXPECT_EQ(Lines({ "SetTextColor" }), std::vector<std::string> { "SetTextColor 0x000000FF" });
}

TEST_F(SheetPrintTest, BackgroundsFillCellsAndBands)
{
    core::Settings().SheetHeadings = 0;
    core::Settings().SheetGridlines = 0;
    WorkbookDescription workbook = MonoWorkbook({ Text(0, 0, u"a", 1), Number(2, 1, 1) });
    workbook.CellFormats = { CellFormatDescription {}, CellFormatDescription { .Background = 5 } };
    workbook.Sheets[0].Rows = { RowDescription { 1, 255, false, 1 } };
    ASSERT_EQ(Print(workbook), 1);
    const std::vector<std::string> expected {
        "Rectangle 600 706 1653 813 pen=solid,1,0x0000FFFF brush=0x0000FFFF",
        "Rectangle 600 600 1127 707 pen=solid,1,0x0000FFFF brush=0x0000FFFF",
    };
    EXPECT_EQ(Lines({ "Rectangle" }), expected);

    core::Settings().SheetBackgroundColors = 0;
    ASSERT_EQ(Print(workbook), 1);
    EXPECT_TRUE(Lines({ "Rectangle" }).empty());
}

TEST_F(SheetPrintTest, HalfScaleHalvesBoxesButNotPens)
{
    core::Settings().SheetHeadings = 0;
    core::Settings().SheetGridlines = 0;
    core::Settings().SheetSizing = 2;
    core::Settings().SheetCustomPercent = 50;
    WorkbookDescription workbook = MonoWorkbook({ Blank(0, 0, 1) });
    workbook.CellFormats = { CellFormatDescription {}, { .Layout = kBorderLeft, .Background = 5 } };
    ASSERT_EQ(Print(workbook), 1);
    // The margin of 600 is 1,200 unscaled units; the column 526 wide and the
    // row 106 high are drawn 263 and 53 wide.
    const std::vector<std::string> expected {
        "Rectangle 600 600 863 653 pen=solid,1,0x0000FFFF brush=0x0000FFFF",
    };
    EXPECT_EQ(Lines({ "Rectangle" }), expected);
    EXPECT_EQ(
        Lines({ "Polyline" }), std::vector<std::string> { "Polyline 2 (600,600) (600,653) pen=solid,4,0x00000000" });
}

} // namespace
} // namespace spreadsheet::testing
