#include "EngineFixture.h"

#include <algorithm>

namespace printengine::testing {
namespace {

using TextFlowTest = EngineTest;

std::vector<std::int32_t> RunLengths()
{
    std::vector<std::int32_t> lengths;
    for (const TextRun* run = Flow().FirstRun; run != nullptr; run = run->Next)
        lengths.push_back(run->Length);
    return lengths;
}

TEST_F(TextFlowTest, AHugeParagraphIsEndedBeforeItsRunsFillMemory)
{
    StartJobWithFont(2550);
    // A text of one endless line: the runs held at any time stay within one
    // paragraph's bound, and no character is lost at the cut.
    std::int64_t held = 0;
    std::int64_t most = 0;
    for (std::int64_t i = 0; i < 3 * kMaxParagraphLength; ++i) {
        PutFlowChar(i % 7 == 6 ? u' ' : u'x');
        if (i % 4096 == 0) {
            held = 0;
            for (std::int32_t length : RunLengths())
                held += length;
            most = std::max(most, held);
        }
    }
    EXPECT_LE(most, kMaxParagraphLength);
    EXPECT_GT(Job().PenY, 50) << "the cut paragraphs were laid out";
    EndPrintJob();
}

// Three tabs and a letter make one run; 300 characters of one format make
// runs of 256 and 44.
TEST_F(TextFlowTest, ConsecutiveTabsMakeOneRunAndRunsHoldAtMost256Characters)
{
    StartJobWithFont(2550);
    Feed(u"\t\t\tx");
    CurrentCharFormat().Bold = 1; // A format change with text pending makes a run.
    PutFlowChar(u'y');
    ASSERT_NE(Flow().FirstRun, nullptr);
    EXPECT_EQ(Flow().FirstRun->TabKind, kTabKindTab);
    EXPECT_EQ(Flow().FirstRun->TabCount, 3);
    EXPECT_EQ(Flow().FirstRun->Length, 1);
    EXPECT_EQ(Flow().TabCount, 0); // used by that run
    Feed(std::u16string(299, u'a'));
    EXPECT_EQ(RunLengths(), (std::vector<std::int32_t> { 1, 256 }));
    EXPECT_EQ(Flow().PendingLength, 44);
    CurrentCharFormat().Italic = 1;
    PutFlowChar(u'b');
    EXPECT_EQ(RunLengths(), (std::vector<std::int32_t> { 1, 256, 44 }));
    EndPrintJob();
}

TEST_F(TextFlowTest, SpecialCharacters)
{
    struct Row {
        char16_t Ch;
        std::u16string Stored;
    };
    const Row rows[] = { { 133, u"..." }, { 147, u"\"" }, { 148, u"\"" }, { 0xE9, u"\u00E9" }, { 0x2026, u"\u2026" } };
    StartJobWithFont(2550);
    for (const Row& row : rows) {
        const std::int32_t before = Flow().PendingLength;
        PutFlowChar(row.Ch);
        EXPECT_EQ(std::u16string(Flow().Pending + before, Flow().PendingLength - before), row.Stored) << int(row.Ch);
    }
    EndPrintJob();
}

TEST_F(TextFlowTest, FontTableNumbering)
{
    StartJobWithFont(2550); // entry 0
    BeginFontTable();
    struct Row {
        const char16_t* Face;
        std::int16_t DefinitionNumber;
        std::int16_t Number;
        const char16_t* Stored;
    };
    const Row rows[] = {
        { u"Liberation Sans;", 7, 0, u"Liberation Sans" },
        { u"Liberation Serif", 9, 1, u"Liberation Serif" },
        { u"DejaVu Sans;;", 4, 2, u"DejaVu Sans;" }, // one semicolon only
        { u"", 12, 12, u"" }, // an empty name keeps its number
        { u"A face name longer than thirty-one characters", 0, 4, u"A face name longer than thirty-" },
    };
    for (const Row& row : rows) {
        CurrentFontDefinition().Number = row.DefinitionNumber;
        SetFaceName(row.Face);
        AddFontTableEntry();
        const FontTableEntry& entry = Flow().FontTable.back();
        EXPECT_EQ(entry.Number, row.Number) << Ascii(row.Face);
        EXPECT_EQ(std::u16string(entry.FaceName), row.Stored) << Ascii(row.Face);
        EXPECT_EQ(CurrentFontDefinition().FaceNameLength, 0);
        EXPECT_FALSE(CurrentFontDefinition().Defining);
    }
    EXPECT_EQ(Flow().FontCount, 5);
    EXPECT_EQ(Flow().RunFormat.FontNumber, -1);
    EXPECT_EQ(Flow().RunFormat.Bold, 0xFF);
    // The first entry with a number wins: the font of the job's first table.
    EXPECT_EQ(std::u16string(FindFontTableEntry(0)->FaceName), u"Liberation Mono");
    EXPECT_EQ(FindFontTableEntry(99), nullptr);
    EndPrintJob();
}

TEST_F(TextFlowTest, FontDefinedInTheMiddleOfAParagraphKeepsThePendingText)
{
    StartJobWithFont(2550);
    Feed(u"hello ");
    BeginFontTable();
    SetFaceName(u"Liberation Sans");
    AddFontTableEntry();
    Feed(u"world");
    PutFlowChar(0);
    EXPECT_EQ(Drawn(), (std::vector<Placed> { { 0, 10, "hello " }, { 60, 10, "world" } }));
    EXPECT_EQ(Flow().FirstRun, nullptr);
    EndPrintJob();
}

// What the flow holds and the page shows after some text.
struct FlowState {
    std::vector<std::u16string> Runs; // tabs as "\t" times their count, then the text
    std::u16string Pending;
    char16_t Previous = 0;
    std::int64_t ParagraphLength = 0;
    std::vector<Placed> Shown;
    friend bool operator==(const FlowState&, const FlowState&) = default;
};

FlowState StateAfter(const std::u16string& text, bool inBlocks, std::size_t formatChangeAt)
{
    std::vector<Placed> shown;
    ResetPrintEngine();
    InstallFakePrinter();
    EXPECT_EQ(StartPrintJob(), kPrintJobStarted);
    BeginFontTable();
    SetFaceName(u"Liberation Mono");
    AddFontTableEntry();
    CurrentCharFormat() = CharFormat {};
    CurrentCharFormat().Size = 24;
    Job().ColumnWidth = 2550;
    const std::size_t cut = std::min(formatChangeAt, text.size());
    for (auto [from, to] : { std::pair { std::size_t { 0 }, cut }, std::pair { cut, text.size() } }) {
        if (inBlocks) {
            PutFlowText(text.data() + from, to - from);
        } else {
            for (std::size_t i = from; i < to; ++i)
                PutFlowChar(text[i]);
        }
        CurrentCharFormat().Bold = 1;
    }
    FlowState state;
    for (const TextRun* run = Flow().FirstRun; run != nullptr; run = run->Next)
        state.Runs.push_back(std::u16string(static_cast<std::size_t>(run->TabCount), u'\t')
            + std::u16string(run->Text, static_cast<std::size_t>(run->Length)));
    state.Pending = std::u16string(Flow().Pending, static_cast<std::size_t>(Flow().PendingLength));
    state.Previous = Flow().Previous;
    state.ParagraphLength = Flow().ParagraphLength;
    for (const DrawnText& drawn : FakeLog().Texts)
        state.Shown.push_back({ drawn.X, drawn.Y, Ascii(drawn.Text), drawn.Page });
    EndPrintJob();
    return state;
}

// Text handed over in blocks is taken exactly as character by character.
TEST_F(TextFlowTest, TextInBlocksIsTakenAsCharacterByCharacter)
{
    struct Row {
        std::u16string Text;
        std::size_t FormatChangeAt;
    };
    const Row rows[] = {
        { u"plain words", 5 },
        { u"\t\tab\r\ncd\n\re\rf", 3 },
        { std::u16string(300, u'a') + u"\n" + std::u16string(600, u'b'), 280 },
        { u"x\u0085y\u0093q\u0094z\u2026", 100 },
        { std::u16string(u"one\fpage two\0after", 19), 2 },
        { u"tab at the end\t", 14 },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(Ascii(row.Text));
        EXPECT_EQ(StateAfter(row.Text, true, row.FormatChangeAt), StateAfter(row.Text, false, row.FormatChangeAt));
    }
}

} // namespace
} // namespace printengine::testing
