#include "EngineFixture.h"

#include <ColorTable.h>
#include <Units.h>

namespace printengine::testing {
namespace {

// Every character is 10 dots wide; font 0 at 12 points gives lines 50 dots
// high with the ascent at 40, so line n (from 1) is drawn at y = 50 n − 40.
using LineLayoutTest = EngineTest;

// One paragraph on the double: the text ("|" switches bold, so a new run
// starts), then the end of the flow.
struct LayoutRow {
    const char* Name;
    std::int32_t ColumnWidth;
    const char16_t* Text;
    std::vector<Placed> Expected;
    ParaFormat Format {};
    std::int32_t PlainTextMode = 0;
    std::int32_t TabSize = 4;
    std::vector<std::int32_t> StopsTwips {};
    std::int32_t CharWidth = 10;
    std::int32_t ColumnHeight = 0; // 0: the page's
    RECT Margins {};
    std::int32_t PenY = -1; // after the paragraph; -1: not checked
    std::int32_t Measures = -1; // one for each run and one at the break; -1: not checked
};

TEST_F(LineLayoutTest, LaysOutTheParagraph)
{
    constexpr ParaFormat kRight { 0, 0, 0, kAlignRight };
    constexpr ParaFormat kCentre { 0, 0, 0, kAlignCentre };
    constexpr ParaFormat kJustify { 0, 0, 0, kAlignJustify };
    const LayoutRow rows[] = {
        { "exact fit", 110, u"hello world", { { 0, 10, "hello world" } } },
        { "space after the second word not drawn", 140, u"aaaaa bbbbb ccccc",
            { { 0, 10, "aaaaa bbbbb" }, { 0, 60, "ccccc" } }, {}, 0, 4, {}, 10, 0, {}, -1, 3 },
        { "word longer than the line", 40, u"abcdefghij", { { 0, 10, "abcd" }, { 0, 60, "efgh" }, { 0, 110, "ij" } } },
        { "hyphen stays on the first line", 70, u"aaaa-bbbb cc", { { 0, 10, "aaaa-" }, { 0, 60, "bbbb cc" } } },
        { "spaces at the break vanish", 100, u"aaaa   bbbbbbbb", { { 0, 10, "aaaa" }, { 0, 60, "bbbbbbbb" } } },
        { "a word ending at the edge goes down", 110, u"aaaaa bbbbb ccc",
            { { 0, 10, "aaaaa" }, { 0, 60, "bbbbb ccc" } } },
        // A word is not cut where a space before it on the line can break,
        // whether it is a run of its own or carries on the run before.
        { "a word that half fits moves whole", 90, u"hello |world", { { 0, 10, "hello" }, { 0, 60, "world" } } },
        { "a run carrying on a word moves with it", 80, u"hi wor|ld!",
            { { 0, 10, "hi" }, { 0, 60, "wor" }, { 30, 60, "ld!" } } },
        { "second run moves whole to the next line", 60, u"hello |world", { { 0, 10, "hello" }, { 0, 60, "world" } } },
        { "right", 100, u"abc", { { 70, 10, "abc" } }, kRight },
        { "centre on every line", 100, u"aaaa bbbbbb", { { 30, 10, "aaaa" }, { 20, 60, "bbbbbb" } }, kCentre },
        { "justified last line is left aligned", 100, u"a b", { { 0, 10, "a b" } }, kJustify },
        // 4 dots a character: "ab cd ef" is 32 wide with its following space
        // fitting in 37 (shortfall 5 over 2 spaces: extra 2, fraction 50).
        { "justified 5 over 2", 37, u"ab cd ef gh",
            { { 0, 10, "ab " }, { 14, 10, "cd " }, { 29, 10, "ef" }, { 0, 60, "gh" } }, kJustify, 0, 4, {}, 4 },
        { "justified 7 over 3", 51, u"ab cd ef gh ij",
            { { 0, 10, "ab " }, { 14, 10, "cd " }, { 28, 10, "ef " }, { 42, 10, "gh" }, { 0, 60, "ij" } }, kJustify, 0,
            4, {}, 4 },
        { "justified without a space", 16, u"abcdefgh", { { 0, 10, "abcd" }, { 0, 60, "efgh" } }, kJustify, 0, 4, {},
            4 },
        // First line room 130, then 160.
        { "indents", 200, u"aaaa bbbb cccc dddd", { { 60, 10, "aaaa bbbb" }, { 30, 60, "cccc dddd" } },
            { 144, 48, 144, kAlignLeft } },
        { "character wider than the column", 5, u"abc", { { 0, 10, "a" }, { 0, 60, "b" }, { 0, 110, "c" } } },
        { "indent wider than the column", 100, u"abc", { { 300, 10, "a" }, { 300, 60, "b" }, { 300, 110, "c" } },
            { 1440, 0, 0, kAlignLeft } },
        { "tabs of half an inch", 2550, u"a\tb\t\tc", { { 0, 10, "a" }, { 150, 10, "b" }, { 450, 10, "c" } } },
        { "plain text: average width times tab size", 2550, u"a\tb\t\tc",
            { { 0, 10, "a" }, { 80, 10, "b" }, { 240, 10, "c" } }, {}, 1, 8 },
        { "tab stop", 2550, u"ab\tc\td", { { 0, 10, "ab" }, { 60, 10, "c" }, { 150, 10, "d" } }, {}, 0, 4, { 288 } },
        { "tab stop already passed", 2550, u"abc\td", { { 0, 10, "abc" }, { 150, 10, "d" } }, {}, 0, 4, { 48 } },
        { "tabs at the end are dropped", 2550, u"a\t\t", { { 0, 10, "a" } } },
        // The first run fits whole; the tab after it would land at 300, past
        // the column, so the line ends at the tab and not at the last space.
        { "a run before tabs breaks at its end", 250, u"aaaa bbbbbbbbbbbbbbb\tcc",
            { { 0, 10, "aaaa bbbbbbbbbbbbbbb" }, { 150, 60, "cc" } } },
        // The default tab of 150 is beyond the column.
        { "tabs past the line lose their run only", 100, u"\tabc|def", { { 0, 10, "def" } } },
        { "baseline on the column height starts a new page", 2550, u"one\rtwo\rthree\rfour\r",
            { { 0, 10, "one", 0 }, { 0, 60, "two", 0 }, { 0, 10, "three", 1 }, { 0, 60, "four", 1 } }, {}, 0, 4, {}, 10,
            150 },
        { "text area origin offsets every line", 2550, u"abc", { { 300, 160, "abc" } }, {}, 0, 4, {}, 10, 0,
            { 1000, 500, 1000, 500 } },
        { "form feed starts a new page with the pending text", 2550, u"one\r\ntw\fo\r\nthree",
            { { 0, 10, "one", 0 }, { 0, 60, "two", 1 }, { 0, 110, "three", 1 } } },
        // Line ends: the end of the flow adds an empty paragraph.
        { "CR LF twice", 2550, u"a\r\nb\r\n", { { 0, 10, "a" }, { 0, 60, "b" } }, {}, 0, 4, {}, 10, 0, {}, 150 },
        { "a blank line", 2550, u"a\r\n\r\n", { { 0, 10, "a" } }, {}, 0, 4, {}, 10, 0, {}, 150 },
        { "LF CR is one line end", 2550, u"a\n\rb", { { 0, 10, "a" }, { 0, 60, "b" } }, {}, 0, 4, {}, 10, 0, {}, 100 },
        { "LF LF is two", 2550, u"a\n\nb", { { 0, 10, "a" }, { 0, 110, "b" } }, {}, 0, 4, {}, 10, 0, {}, 150 },
        { "CR CR is two", 2550, u"a\r\rb", { { 0, 10, "a" }, { 0, 110, "b" } }, {}, 0, 4, {}, 10, 0, {}, 150 },
        { "empty paragraph", 100, u"", {}, {}, 0, 4, {}, 10, 0, {}, 50 },
    };
    for (const LayoutRow& row : rows) {
        SCOPED_TRACE(row.Name);
        ResetPrintEngine();
        FakePrinterSetup setup;
        setup.CharWidth = row.CharWidth;
        setup.Margins = row.Margins;
        InstallFakePrinter(setup);
        core::Settings().TextTabSize = row.TabSize;
        StartJobWithFont(row.ColumnWidth);
        if (row.ColumnHeight > 0)
            Job().ColumnHeight = row.ColumnHeight;
        Job().PlainTextMode = row.PlainTextMode;
        CurrentParaFormat() = row.Format;
        for (std::int32_t stop : row.StopsTwips)
            AddTabStop(stop);
        for (const char16_t* ch = row.Text; *ch != 0; ++ch) {
            if (*ch == u'|')
                CurrentCharFormat().Bold ^= 1;
            else
                PutFlowChar(*ch);
        }
        PutFlowChar(0);
        EXPECT_EQ(Drawn(), row.Expected);
        EXPECT_EQ(Flow().FirstRun, nullptr);
        if (row.PenY >= 0) {
            EXPECT_EQ(Job().PenY, row.PenY);
        }
        if (row.Measures >= 0) {
            EXPECT_EQ(FakeLog().ExtentCalls, row.Measures);
        }
        EndPrintJob();
    }
}

TEST_F(LineLayoutTest, TabsGoToTheStopsAndThenToMultiplesOfTheDefaultTab)
{
    StartJobWithFont(2550);
    struct Row {
        bool Stops; // stops at 150 and 300 and default tabs of 100; else default tabs of 150 alone
        std::int32_t X, Count, Limit, Expected;
    };
    const Row rows[] = {
        { false, 0, 1, 2550, 150 },
        { false, 150, 1, 2550, 300 },
        { false, 151, 1, 2550, 300 },
        { false, 0, 3, 2550, 450 },
        { false, 0, 2, 299, kTabsPastLimit },
        { false, 0, 2, 300, 300 },
        { false, 0, 0, 2550, 0 },
        { true, 0, 2, 2550, 300 },
        { true, 0, 3, 2550, 400 }, // past the stops: default tabs
        { true, 150, 1, 2550, 150 }, // a stop at x counts
        { true, 200, 2, 2550, 400 },
        { true, 0, 2, 10, 300 }, // a stop is never compared with the limit
        { true, 0, 3, 350, kTabsPastLimit },
    };
    for (const Row& row : rows) {
        if (row.Stops && TabStops().empty()) {
            for (std::int32_t twips : { 1440, 720, 720, 0, -5 }) // 300, 150, not twice, ignored, ignored
                AddTabStop(twips);
            EXPECT_EQ(TabStops(), (std::vector<std::int32_t> { 150, 300 }));
        }
        Job().DefaultTab = row.Stops ? 100 : 150;
        TextRun run;
        run.TabKind = kTabKindTab;
        run.TabCount = row.Count;
        const TabClear clear = row.Stops ? TabClear::Keep : TabClear::Clear;
        EXPECT_EQ(AdvanceTabs(row.X, row.Limit, run, clear), row.Expected) << row.X << " " << row.Count;
        const bool cleared = clear == TabClear::Clear && row.Expected != kTabsPastLimit;
        EXPECT_EQ(run.TabKind, cleared ? kTabKindNone : kTabKindTab);
        if (clear == TabClear::Keep) {
            EXPECT_EQ(run.TabCount, row.Count);
        }
    }
    TextRun plain;
    EXPECT_EQ(AdvanceTabs(42, 0, plain, TabClear::Clear), 42);
    EndPrintJob();
}

TEST_F(LineLayoutTest, ColoursAreSentOnlyWhenTheyChange)
{
    StartJobWithFont(2550);
    ColorTable() = { PLW_RGB(255, 0, 0), PLW_RGB(0, 0, 255) };
    const std::pair<std::int32_t, std::int32_t> steps[]
        = { { 0, 0 }, { 1, 0 }, { 1, 1 }, { 2, 1 }, { 2, 2 }, { 3, 2 }, { 0, 0 }, { -4, -1 } };
    char16_t letter = u'a';
    for (const auto& [fore, back] : steps) {
        CurrentCharFormat().ForeColor = fore;
        CurrentCharFormat().BackColor = back;
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
