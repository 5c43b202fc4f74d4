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

} // namespace
} // namespace printengine::testing
