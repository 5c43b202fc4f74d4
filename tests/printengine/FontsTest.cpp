#include "EngineFixture.h"

#include <Fonts.h>

namespace printengine::testing {
namespace {

using FontsTest = EngineTest;

TEST_F(FontsTest, SelectCodePage)
{
    // Charset, document code page, the code page selected.
    const std::tuple<std::uint16_t, std::uint16_t, std::uint16_t> rows[] = {
        { 0, kNoDocumentCodePage, 1252 }, { 2, kNoDocumentCodePage, 1252 }, { 204, kNoDocumentCodePage, 1251 },
        { 128, kNoDocumentCodePage, 932 }, { 77, 1250, 1250 }, // not in the table: the document's code page
        { 77, kNoDocumentCodePage, 1252 }, // else the system's ANSI code page (western here)
        { 204, 1250, 1251 }, // the table wins over the document
        { 0x1CC, kNoDocumentCodePage, 1251 }, // only the low byte counts
    };
    for (const auto& [charset, documentCodePage, codePage] : rows) {
        ResetCodePageState();
        SelectCodePage(1); // something other than the row's charset
        CodePages().DocumentCodePage = documentCodePage;
        EXPECT_EQ(SelectCodePage(charset), charset & 0xFF) << charset;
        EXPECT_EQ(CodePages().CodePage, codePage) << charset;
    }
}

class RealizeTest : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        ASSERT_EQ(StartPrintJob(), kPrintJobStarted);
        BeginFontTable();
    }

    static void Define(const char16_t* face, std::int16_t charset = 0, std::int16_t family = 0, std::int16_t pitch = 0)
    {
        SetFaceName(face);
        CurrentFontDefinition().Charset = charset;
        CurrentFontDefinition().Family = family;
        CurrentFontDefinition().Pitch = pitch;
        AddFontTableEntry();
    }

    static TextRun RunWith(std::int32_t fontNumber, std::int32_t size = 24)
    {
        TextRun run;
        run.Format.FontNumber = fontNumber;
        run.Format.Size = size;
        return run;
    }
};

TEST_F(RealizeTest, LogicalFontFromTheFormat)
{
    Define(u"Liberation Serif", 204, kFamilyRoman, kPitchVariable);
    TextRun run = RunWith(0);
    run.Format.Bold = 7;
    run.Format.Italic = 1;
    run.Format.Underline = 2; // only exactly 1 counts
    run.Format.Strike = 1;
    ASSERT_EQ(RealizeRunFont(run), 1);
    ASSERT_EQ(FakeLog().FontsMade.size(), 1u);
    const LOGFONTW& font = FakeLog().FontsMade[0];
    EXPECT_EQ(std::tuple(font.lfHeight, font.lfWeight, int { font.lfItalic }, int { font.lfUnderline },
                  int { font.lfStrikeOut }, int { font.lfCharSet }),
        std::tuple(-50, 600, 1, 0, 1, 204));
    EXPECT_EQ(font.lfPitchAndFamily, 0x10 | 0x02 | 0x04);
    EXPECT_EQ(std::u16string(font.lfFaceName), u"Liberation Serif");
    EXPECT_EQ(CodePages().CodePage, 1251);
    EXPECT_NE(run.Font, nullptr);
    // The size follows the resize ratio: 150 % gives 360 twips, 75 dots.
    core::Settings().ScaleNum = 3;
    core::Settings().ScaleDen = 2;
    TextRun scaled = RunWith(0);
    ASSERT_EQ(RealizeRunFont(scaled), 1);
    EXPECT_EQ(FakeLog().FontsMade.back().lfHeight, -75);
}

TEST_F(RealizeTest, FamilyAndPitchBits)
{
    // Family, pitch, the bits made of them.
    const std::tuple<std::int16_t, std::int16_t, std::uint8_t> rows[] = { { kFamilyNone, kPitchDefault, 0x04 },
        { kFamilySwiss, kPitchFixed, 0x25 }, { kFamilyModern, 0, 0x34 }, { kFamilyScript, 0, 0x44 },
        { kFamilyDecor, 0, 0x54 }, { kFamilyTech, 3, 0x04 }, { kFamilyBidi, 0, 0x04 } };
    std::int32_t number = 0;
    for (const auto& [family, pitch, expected] : rows) {
        Define(u"Liberation Sans", 0, family, pitch);
        TextRun run = RunWith(number++);
        ASSERT_EQ(RealizeRunFont(run), 1);
        EXPECT_EQ(FakeLog().FontsMade.back().lfPitchAndFamily, expected) << family << " " << pitch;
    }
}

// A run naming a number the table (entries 0 and 1) lacks has no font.
TEST_F(RealizeTest, CacheKeyedOnTheWholeFormatAndUnknownNumbersHaveNoFont)
{
    Define(u"Liberation Sans", 238);
    Define(u"Liberation Mono");
    TextRun unknown = RunWith(5);
    EXPECT_EQ(RealizeRunFont(unknown), 0);
    EXPECT_EQ(unknown.Font, nullptr);
    EXPECT_TRUE(FakeLog().FontsMade.empty());
    TextRun first = RunWith(0);
    TextRun same = RunWith(0);
    TextRun coloured = RunWith(0);
    coloured.Format.ForeColor = 2;
    ASSERT_EQ(RealizeRunFont(first), 1);
    SelectCodePage(0);
    ASSERT_EQ(RealizeRunFont(same), 1);
    EXPECT_EQ(same.Font, first.Font);
    EXPECT_EQ(CodePages().CodePage, 1250); // a cache hit selects the entry's charset too
    ASSERT_EQ(RealizeRunFont(coloured), 1);
    EXPECT_NE(coloured.Font, first.Font);
    EXPECT_EQ(FakeLog().FontsMade.size(), 2u);
    FreeFlowResources();
    EXPECT_EQ(FakeLog().FontsDeleted, 2);
}

// Symbol stays where the screen has it; else Courier New takes its place
// in the font table, and the first font made is deleted.
TEST_F(RealizeTest, SymbolFallsBackToCourierNewWhereTheScreenLacksIt)
{
    for (const char16_t* screenFace : { u"Symbol", u"DejaVu Sans" }) {
        const bool kept = std::u16string(screenFace) == u"Symbol";
        ResetPrintEngine();
        InstallFakePrinter();
        FakeSetup().ScreenFaceForSymbol = screenFace;
        ASSERT_EQ(StartPrintJob(), kPrintJobStarted);
        BeginFontTable();
        Define(u"Symbol", 2);
        TextRun run = RunWith(0);
        ASSERT_EQ(RealizeRunFont(run), 1);
        ASSERT_EQ(FakeLog().FontsMade.size(), kept ? 1u : 2u);
        EXPECT_EQ(std::u16string(FakeLog().FontsMade.back().lfFaceName), kept ? u"Symbol" : u"Courier New");
        EXPECT_EQ(FakeLog().FontsMade.back().lfCharSet, kept ? 2 : 0);
        EXPECT_EQ(FakeLog().FontsDeleted, kept ? 0 : 1);
        EXPECT_EQ(std::u16string(FindFontTableEntry(0)->FaceName), kept ? u"Symbol" : u"Courier New");
        EndPrintJob();
    }
}

} // namespace
} // namespace printengine::testing
