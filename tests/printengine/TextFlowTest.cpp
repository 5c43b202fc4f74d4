#include "EngineFixture.h"

#include <algorithm>
#include <numeric>

namespace printengine::testing {
namespace {

// What the flow holds and the page shows after some text.
struct FlowState {
    std::vector<std::u16string> Runs; // tabs as "\t" times their count, then the text
    std::u16string Pending;
    char16_t Previous = 0;
    std::int64_t ParagraphLength = 0;
    std::vector<Placed> Shown;
    friend bool operator==(const FlowState&, const FlowState&) = default;
};

class TextFlowTest : public EngineTest {
protected:
    // A fresh job given the text in blocks or character by character, the
    // format changing at one place.
    FlowState StateAfter(const std::u16string& text, bool inBlocks, std::size_t formatChangeAt)
    {
        ResetPrintEngine();
        InstallFakePrinter();
        StartJobWithFont(2550);
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
        FlowState state { {}, std::u16string(Flow().Pending, static_cast<std::size_t>(Flow().PendingLength)),
            Flow().Previous, Flow().ParagraphLength, Drawn() };
        for (const TextRun* run = Flow().FirstRun; run != nullptr; run = run->Next)
            state.Runs.push_back(std::u16string(static_cast<std::size_t>(run->TabCount), u'\t')
                + std::u16string(run->Text, static_cast<std::size_t>(run->Length)));
        EndPrintJob();
        return state;
    }
};

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
    std::int64_t most = 0;
    for (std::int64_t i = 0; i < 3 * kMaxParagraphLength; ++i) {
        PutFlowChar(i % 7 == 6 ? u' ' : u'x');
        if (i % 4096 == 0) {
            const std::vector<std::int32_t> lengths = RunLengths();
            most = std::max(most, std::accumulate(lengths.begin(), lengths.end(), std::int64_t { 0 }));
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
    const std::pair<char16_t, std::u16string> rows[]
        = { { 133, u"..." }, { 147, u"\"" }, { 148, u"\"" }, { 0xE9, u"\u00E9" }, { 0x2026, u"\u2026" } };
    StartJobWithFont(2550);
    for (const auto& [ch, stored] : rows) {
        const std::int32_t before = Flow().PendingLength;
        PutFlowChar(ch);
        EXPECT_EQ(std::u16string(Flow().Pending + before, Flow().PendingLength - before), stored) << int(ch);
    }
    EndPrintJob();
}

TEST_F(TextFlowTest, FontTableNumbering)
{
    StartJobWithFont(2550); // entry 0
    BeginFontTable();
    // The face, the number it is defined with, the entry's number and face.
    const std::tuple<const char16_t*, std::int16_t, std::int16_t, const char16_t*> rows[] = {
        { u"Liberation Sans;", 7, 0, u"Liberation Sans" },
        { u"Liberation Serif", 9, 1, u"Liberation Serif" },
        { u"DejaVu Sans;;", 4, 2, u"DejaVu Sans;" }, // one semicolon only
        { u"", 12, 12, u"" }, // an empty name keeps its number
        { u"A face name longer than thirty-one characters", 0, 4, u"A face name longer than thirty-" },
    };
    for (const auto& [face, definitionNumber, number, stored] : rows) {
        CurrentFontDefinition().Number = definitionNumber;
        SetFaceName(face);
        AddFontTableEntry();
        const FontTableEntry& entry = Flow().FontTable.back();
        EXPECT_EQ(entry.Number, number) << Ascii(face);
        EXPECT_EQ(std::u16string(entry.FaceName), stored) << Ascii(face);
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

TEST_F(TextFlowTest, TextInBlocksIsTakenAsCharacterByCharacter)
{
    const std::pair<std::u16string, std::size_t> rows[] = {
        // The text, and where its format changes.
        { u"plain words", 5 },
        { u"\t\tab\r\ncd\n\re\rf", 3 },
        { std::u16string(300, u'a') + u"\n" + std::u16string(600, u'b'), 280 },
        { u"x\u0085y\u0093q\u0094z\u2026", 100 },
        { std::u16string(u"one\fpage two\0after", 19), 2 },
        { u"tab at the end\t", 14 },
    };
    for (const auto& [text, formatChangeAt] : rows) {
        SCOPED_TRACE(Ascii(text));
        EXPECT_EQ(StateAfter(text, true, formatChangeAt), StateAfter(text, false, formatChangeAt));
    }
}

} // namespace
} // namespace printengine::testing
