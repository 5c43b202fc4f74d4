#include "EngineFixture.h"

#include <ColorTable.h>
#include <Units.h>

namespace printengine::testing {
namespace {

// Every character is 10 dots wide; font 0 at 12 points gives lines 50 dots
// high with the ascent at 40, so line n (from 1) is drawn at y = 50 n − 40.
using LineLayoutTest = EngineTest;

struct BreakRow {
    const char* Name;
    std::int32_t ColumnWidth;
    std::uint8_t Alignment;
    const char16_t* Text;
    std::vector<Placed> Expected;
};

TEST_F(LineLayoutTest, BreaksAndAlignsOneRun)
{
    const BreakRow rows[] = {
        { "exact fit", 110, kAlignLeft, u"hello world", { { 0, 10, "hello world" } } },
        { "space after the second word not drawn", 140, kAlignLeft, u"aaaaa bbbbb ccccc",
            { { 0, 10, "aaaaa bbbbb" }, { 0, 60, "ccccc" } } },
        { "word longer than the line", 40, kAlignLeft, u"abcdefghij",
            { { 0, 10, "abcd" }, { 0, 60, "efgh" }, { 0, 110, "ij" } } },
        { "hyphen stays on the first line", 70, kAlignLeft, u"aaaa-bbbb cc",
            { { 0, 10, "aaaa-" }, { 0, 60, "bbbb cc" } } },
        { "spaces at the break vanish", 100, kAlignLeft, u"aaaa   bbbbbbbb",
            { { 0, 10, "aaaa" }, { 0, 60, "bbbbbbbb" } } },
        { "a word ending at the edge goes down", 110, kAlignLeft, u"aaaaa bbbbb ccc",
            { { 0, 10, "aaaaa" }, { 0, 60, "bbbbb ccc" } } },
        { "right", 100, kAlignRight, u"abc", { { 70, 10, "abc" } } },
        { "centre", 100, kAlignCentre, u"abc", { { 35, 10, "abc" } } },
        { "centre on every line", 100, kAlignCentre, u"aaaa bbbbbb", { { 30, 10, "aaaa" }, { 20, 60, "bbbbbb" } } },
        { "justified last line is left aligned", 100, kAlignJustify, u"a b", { { 0, 10, "a b" } } },
        { "empty paragraph", 100, kAlignLeft, u"", {} },
    };
    for (const BreakRow& row : rows) {
        ResetPrintEngine();
        InstallFakePrinter();
        StartJobWithFont(row.ColumnWidth);
        CurrentParaFormat().Alignment = row.Alignment;
        Feed(row.Text);
        PutFlowChar(0);
        EXPECT_EQ(Drawn(), row.Expected) << row.Name;
        EXPECT_EQ(Flow().FirstRun, nullptr) << row.Name;
        EndPrintJob();
    }
}

TEST_F(LineLayoutTest, OneMeasureForEachRunAndOneAtTheBreak)
{
    StartJobWithFont(140);
    Feed(u"aaaaa bbbbb ccccc");
    PutFlowChar(0);
    EXPECT_EQ(FakeLog().ExtentCalls, 3);
    EndPrintJob();
}

TEST_F(LineLayoutTest, BreakInsideTheSecondRun)
{
    StartJobWithFont(90); // room for 9 characters
    Feed(u"hello ");
    CurrentCharFormat().Bold = 1;
    Feed(u"world");
    PutFlowChar(0);
    EXPECT_EQ(Drawn(), (std::vector<Placed> { { 0, 10, "hello " }, { 60, 10, "wor" }, { 0, 60, "ld" } }));
    EndPrintJob();
}

TEST_F(LineLayoutTest, SecondRunMovesWholeToTheNextLine)
{
    StartJobWithFont(60); // room for the first run only
    Feed(u"hello ");
    CurrentCharFormat().Bold = 1;
    Feed(u"world");
    PutFlowChar(0);
    EXPECT_EQ(Drawn(), (std::vector<Placed> { { 0, 10, "hello" }, { 0, 60, "world" } }));
    EndPrintJob();
}

TEST_F(LineLayoutTest, IndentsMoveAndNarrowTheLines)
{
    StartJobWithFont(200);
    CurrentParaFormat().LeftIndent = 144; // 30 dots
    CurrentParaFormat().FirstIndent = 144; // 30 more on the first line
    CurrentParaFormat().RightIndent = 48; // 10 dots
    Feed(u"aaaa bbbb cccc dddd"); // first line room 130, then 160
    PutFlowChar(0);
    EXPECT_EQ(Drawn(), (std::vector<Placed> { { 60, 10, "aaaa bbbb" }, { 30, 60, "cccc dddd" } }));
    EndPrintJob();
}

TEST_F(LineLayoutTest, JustifiedGapsShareTheShortfall)
{
    struct Row {
        const char* Name;
        std::int32_t ColumnWidth;
        const char16_t* Text;
        std::vector<Placed> Expected;
    };
    // 4 dots a character: "ab cd ef" is 32 wide with its following space
    // fitting in 37 (shortfall 5 over 2 spaces: extra 2, fraction 50).
    const Row rows[] = {
        { "5 over 2", 37, u"ab cd ef gh", { { 0, 10, "ab " }, { 14, 10, "cd " }, { 29, 10, "ef" }, { 0, 60, "gh" } } },
        { "7 over 3", 51, u"ab cd ef gh ij",
            { { 0, 10, "ab " }, { 14, 10, "cd " }, { 28, 10, "ef " }, { 42, 10, "gh" }, { 0, 60, "ij" } } },
        { "no space", 16, u"abcdefgh", { { 0, 10, "abcd" }, { 0, 60, "efgh" } } },
    };
    for (const Row& row : rows) {
        ResetPrintEngine();
        FakePrinterSetup setup;
        setup.CharWidth = 4;
        InstallFakePrinter(setup);
        StartJobWithFont(row.ColumnWidth);
        CurrentParaFormat().Alignment = kAlignJustify;
        Feed(row.Text);
        PutFlowChar(0);
        EXPECT_EQ(Drawn(), row.Expected) << row.Name;
        EndPrintJob();
    }
}

TEST_F(LineLayoutTest, DefaultTabsAdvanceToTheNextMultiple)
{
    StartJobWithFont(2550);
    Job().DefaultTab = 150;
    struct Row {
        std::int32_t X, Count, Limit, Expected;
    };
    const Row rows[] = {
        { 0, 1, 2550, 150 },
        { 150, 1, 2550, 300 },
        { 151, 1, 2550, 300 },
        { 0, 3, 2550, 450 },
        { 0, 2, 299, kTabsPastLimit },
        { 0, 2, 300, 300 },
        { 0, 0, 2550, 0 },
    };
    for (const Row& row : rows) {
        TextRun run;
        run.TabKind = kTabKindTab;
        run.TabCount = row.Count;
        EXPECT_EQ(AdvanceTabs(row.X, row.Limit, run, TabClear::Clear), row.Expected) << row.X << " " << row.Count;
        const bool cleared = row.Expected != kTabsPastLimit;
        EXPECT_EQ(run.TabKind, cleared ? kTabKindNone : kTabKindTab);
    }
    TextRun plain;
    EXPECT_EQ(AdvanceTabs(42, 0, plain, TabClear::Clear), 42);
    EndPrintJob();
}

TEST_F(LineLayoutTest, TabStopsComeBeforeDefaultTabs)
{
    StartJobWithFont(2550);
    AddTabStop(1440); // 300
    AddTabStop(720); // 150
    AddTabStop(720); // not twice
    AddTabStop(0); // ignored
    AddTabStop(-5);
    EXPECT_EQ(TabStops(), (std::vector<std::int32_t> { 150, 300 }));
    Job().DefaultTab = 100;
    struct Row {
        std::int32_t X, Count, Limit, Expected;
    };
    const Row rows[] = {
        { 0, 1, 2550, 150 },
        { 0, 2, 2550, 300 },
        { 0, 3, 2550, 400 }, // past the stops: default tabs
        { 150, 1, 2550, 150 }, // a stop at x counts
        { 200, 2, 2550, 400 },
        { 0, 2, 10, 300 }, // a stop is never compared with the limit
        { 0, 3, 350, kTabsPastLimit },
    };
    for (const Row& row : rows) {
        TextRun run;
        run.TabKind = kTabKindTab;
        run.TabCount = row.Count;
        EXPECT_EQ(AdvanceTabs(row.X, row.Limit, run, TabClear::Keep), row.Expected) << row.X << " " << row.Count;
        EXPECT_EQ(run.TabCount, row.Count);
    }
    EndPrintJob();
}

TEST_F(LineLayoutTest, TabsPlaceTheTextThatFollows)
{
    struct Row {
        const char* Name;
        std::int32_t PlainTextMode;
        std::int32_t TabSize;
        std::vector<std::int32_t> StopsTwips;
        const char16_t* Text;
        std::vector<Placed> Expected;
    };
    const Row rows[] = {
        { "half an inch", 0, 4, {}, u"a\tb\t\tc", { { 0, 10, "a" }, { 150, 10, "b" }, { 450, 10, "c" } } },
        { "plain text: average width times tab size", 1, 4, {}, u"a\tb\t\tc",
            { { 0, 10, "a" }, { 40, 10, "b" }, { 120, 10, "c" } } },
        { "plain text tab size 8", 1, 8, {}, u"\tx", { { 80, 10, "x" } } },
        { "tab stop", 0, 4, { 288 }, u"ab\tc\td", { { 0, 10, "ab" }, { 60, 10, "c" }, { 150, 10, "d" } } },
        { "tab stop already passed", 0, 4, { 48 }, u"abc\td", { { 0, 10, "abc" }, { 150, 10, "d" } } },
        { "tabs at the end are dropped", 0, 4, {}, u"a\t\t", { { 0, 10, "a" } } },
    };
    for (const Row& row : rows) {
        ResetPrintEngine();
        InstallFakePrinter();
        core::Settings().TextTabSize = row.TabSize;
        StartJobWithFont(2550);
        Job().PlainTextMode = row.PlainTextMode;
        for (std::int32_t stop : row.StopsTwips)
            AddTabStop(stop);
        Feed(row.Text);
        PutFlowChar(0);
        EXPECT_EQ(Drawn(), row.Expected) << row.Name;
        EndPrintJob();
    }
}

TEST_F(LineLayoutTest, ARunBeforeTabsBreaksAtItsEnd)
{
    // The first run fits whole; the tab after it would land at 300, past
    // the column, so the line ends at the tab and not at the last space.
    StartJobWithFont(250);
    Feed(u"aaaa bbbbbbbbbbbbbbb\tcc");
    PutFlowChar(0);
    EXPECT_EQ(Drawn(), (std::vector<Placed> { { 0, 10, "aaaa bbbbbbbbbbbbbbb" }, { 150, 60, "cc" } }));
    EndPrintJob();
}

TEST_F(LineLayoutTest, TabsPastTheLineLoseTheirRunOnly)
{
    StartJobWithFont(100); // the default tab of 150 is beyond the column
    Feed(u"\tabc");
    CurrentCharFormat().Bold = 1;
    Feed(u"def");
    PutFlowChar(0);
    EXPECT_EQ(Drawn(), (std::vector<Placed> { { 0, 10, "def" } }));
    EXPECT_EQ(Flow().FirstRun, nullptr);
    EndPrintJob();
}

TEST_F(LineLayoutTest, BaselineOnTheColumnHeightStartsANewPage)
{
    StartJobWithFont(2550);
    Job().ColumnHeight = 150;
    Feed(u"one\rtwo\rthree\rfour\r");
    EXPECT_EQ(Drawn(),
        (std::vector<Placed> {
            { 0, 10, "one", 0 }, { 0, 60, "two", 0 }, { 0, 10, "three", 1 }, { 0, 60, "four", 1 } }));
    EXPECT_EQ(CallCount("EndPage"), 1);
    EndPrintJob();
}

TEST_F(LineLayoutTest, TextAreaOriginOffsetsEveryLine)
{
    FakePrinterSetup setup;
    setup.Margins = RECT { 1000, 500, 1000, 500 }; // 300 and 150 dots
    InstallFakePrinter(setup);
    StartJobWithFont(2550);
    Feed(u"abc");
    PutFlowChar(0);
    EXPECT_EQ(Drawn(), (std::vector<Placed> { { 300, 160, "abc" } }));
    EndPrintJob();
}

TEST_F(LineLayoutTest, ColoursAreSentOnlyWhenTheyChange)
{
    StartJobWithFont(2550);
    ColorTable() = { PLW_RGB(255, 0, 0), PLW_RGB(0, 0, 255) };
    struct Step {
        std::int32_t Fore, Back;
    };
    const Step steps[] = { { 0, 0 }, { 1, 0 }, { 1, 1 }, { 2, 1 }, { 2, 2 }, { 3, 2 }, { 0, 0 }, { -4, -1 } };
    char16_t letter = u'a';
    for (const Step& step : steps) {
        CurrentCharFormat().ForeColor = step.Fore;
        CurrentCharFormat().BackColor = step.Back;
        PutFlowChar(letter++);
    }
    PutFlowChar(0);
    EXPECT_EQ(Drawn().size(), 8u);
    // Index 3 is beyond the table, and the background takes only indices
    // below the table's size; negative indices name nothing.
    EXPECT_EQ(
        FakeLog().TextColors, (std::vector<COLORREF> { PLW_RGB(255, 0, 0), PLW_RGB(0, 0, 255), kDefaultTextColor }));
    EXPECT_EQ(FakeLog().BackColors, (std::vector<COLORREF> { PLW_RGB(255, 0, 0), kDefaultBackColor }));
    EndPrintJob();
    EXPECT_TRUE(ColorTable().empty());
}

TEST_F(LineLayoutTest, LineWithoutRoomForOneCharacterPlacesOnePerLine)
{
    struct Row {
        const char* Name;
        std::int32_t ColumnWidth;
        std::int32_t LeftIndent;
        std::vector<Placed> Expected;
    };
    const Row rows[] = {
        { "character wider than the column", 5, 0, { { 0, 10, "a" }, { 0, 60, "b" }, { 0, 110, "c" } } },
        { "indent wider than the column", 100, 1440, { { 300, 10, "a" }, { 300, 60, "b" }, { 300, 110, "c" } } },
    };
    for (const Row& row : rows) {
        ResetPrintEngine();
        InstallFakePrinter();
        StartJobWithFont(row.ColumnWidth);
        CurrentParaFormat().LeftIndent = row.LeftIndent;
        Feed(u"abc");
        PutFlowChar(0);
        EXPECT_EQ(Drawn(), row.Expected) << row.Name;
        EXPECT_EQ(Flow().FirstRun, nullptr) << row.Name;
        EndPrintJob();
    }
}

TEST_F(LineLayoutTest, RunWithoutFontStopsTheLayout)
{
    StartJobWithFont(2550);
    Feed(u"shown\r");
    CurrentCharFormat().FontNumber = 5;
    Feed(u"lost\r");
    CurrentCharFormat().FontNumber = 0;
    Feed(u"after\r");
    EXPECT_EQ(Drawn(), (std::vector<Placed> { { 0, 10, "shown" } }));
    ASSERT_NE(Flow().FirstRun, nullptr);
    EXPECT_EQ(Flow().FirstRun->Format.FontNumber, 5);
    EndPrintJob();
    EXPECT_EQ(Flow().FirstRun, nullptr);
    EXPECT_EQ(Drawn().size(), 1u);
}

TEST_F(LineLayoutTest, FontMissingWhenTheRunIsMadeIsRealisedWhenMeasured)
{
    StartJobWithFont(2550);
    CurrentCharFormat().FontNumber = 1; // not defined yet
    Feed(u"ab");
    CurrentCharFormat().FontNumber = 0;
    Feed(u"c");
    ASSERT_NE(Flow().FirstRun, nullptr);
    EXPECT_EQ(Flow().FirstRun->Font, nullptr);
    SetFaceName(u"Liberation Sans"); // becomes font 1, the second entry
    AddFontTableEntry();
    PutFlowChar(0);
    EXPECT_EQ(Drawn(), (std::vector<Placed> { { 0, 10, "ab" }, { 20, 10, "c" } }));
    EndPrintJob();
}

TEST_F(LineLayoutTest, DefaultTabWidth)
{
    StartJobWithFont(2550);
    EXPECT_EQ(DefaultTabWidth(), 150); // half an inch at 300 dpi
    core::Settings().ScaleNum = 3;
    core::Settings().ScaleDen = 2;
    EXPECT_EQ(DefaultTabWidth(), 225);
    EXPECT_EQ(Job().DefaultTab, 225);
    // Plain text without a realised first run still uses half an inch.
    Job().PlainTextMode = 1;
    EXPECT_EQ(DefaultTabWidth(), 225);
    EndPrintJob();
}

} // namespace
} // namespace printengine::testing
