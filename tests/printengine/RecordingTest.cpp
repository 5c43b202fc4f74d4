// The engine against the printing library itself, on its recording
// destination: every drawing call comes back as one line of text. Liberation
// Mono gives every character the same width, so the positions are exact.

#include <AppSettings.h>
#include <ColorTable.h>
#include <LineLayout.h>
#include <MessageBox.h>
#include <Module.h>
#include <PrintJob.h>
#include <PrintingLibrary.h>
#include <TextFlow.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

namespace printengine {
namespace {

namespace fs = std::filesystem;

class RecordingTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (!platform::PrintingLibraryBound())
            platform::BindPrintingLibrary(platform::LoadLibraryW(platform::kPrintingLibraryFile));
    }

    void SetUp() override
    {
        ASSERT_TRUE(platform::PrintingLibraryBound());
        directory = fs::temp_directory_path() / ("printengine-recording-" + std::to_string(::getpid()));
        fs::create_directories(directory);
        output = directory / "job.txt";
        fs::remove(output);
        setenv("LC_ALL", "en_US.UTF-8", 1);
        setenv("PLOTWISE_CONFIG", (directory / "no-config").c_str(), 1);
        setenv("PLOTWISE_OUTPUT", output.c_str(), 1);
        setenv("PLOTWISE_PAPER", "letter", 1);
        setenv("PLOTWISE_DPI", "600", 1);
        setenv("PLOTWISE_MARGINS", "1in", 1);
        unsetenv("PLOTWISE_DIALOG");
        platform::SetMessageBoxHost([](std::u16string_view, std::u16string_view) { return platform::IDOK; });
        core::ResetAppSettings();
        core::ResetRunOptions();
        core::Settings().ViewMode = core::kViewDocuments;
        core::Settings().QuickPrint = 1;
        ResetPrintEngine();
    }

    void TearDown() override
    {
        ResetPrintEngine();
        platform::SetMessageBoxHost({});
        for (const char* name : { "PLOTWISE_CONFIG", "PLOTWISE_OUTPUT", "PLOTWISE_PAPER", "PLOTWISE_DPI",
                 "PLOTWISE_MARGINS", "PLOTWISE_DIALOG" })
            unsetenv(name);
        fs::remove_all(directory);
    }

    // Opens a job with Liberation Mono at the given size as font 0.
    void StartMonoJob(std::int32_t halfPoints = 24)
    {
        ASSERT_EQ(StartPrintJob(), kPrintJobStarted);
        BeginFontTable();
        SetFaceName(u"Liberation Mono");
        AddFontTableEntry();
        CurrentCharFormat() = CharFormat {};
        CurrentCharFormat().Size = halfPoints;
    }

    static void Feed(std::u16string_view text)
    {
        for (char16_t ch : text)
            PutFlowChar(ch);
    }

    // The recorded lines that show pages, texts and colours.
    std::vector<std::string> Recorded() const
    {
        std::vector<std::string> lines;
        std::ifstream in(output);
        for (std::string line; std::getline(in, line);) {
            if (line.starts_with("StartPage") || line.starts_with("ExtTextOut") || line.starts_with("SetTextColor"))
                lines.push_back(line);
        }
        return lines;
    }

    fs::path directory;
    fs::path output;
};

// At 600 dpi with one-inch margins the text area starts at (600, 600).
// Liberation Mono at 12 points is 60 dots a character; its lines are 113
// dots high with the ascent at 83, so line n is drawn at y = 517 + 113 n.
constexpr int kChar = 60;

std::string Text(int x, int y, std::string_view text)
{
    return "ExtTextOut x=" + std::to_string(x) + " y=" + std::to_string(y) + " options=0 text=\"" + std::string(text)
        + "\"";
}

TEST_F(RecordingTest, PageMetricsFromTheLibrary)
{
    ASSERT_EQ(StartPrintJob(), kPrintJobStarted);
    EXPECT_EQ(Job().Dpi, 600);
    EXPECT_EQ(Job().OriginX, 600);
    EXPECT_EQ(Job().OriginY, 600);
    EXPECT_EQ(Job().ColumnWidth, 8500 * 600 / 1000 - 1200);
    EXPECT_EQ(Job().ColumnHeight, 11000 * 600 / 1000 - 1200);
    EndPrintJob();
    EXPECT_EQ(Job().FinalStatus, 0);
    EXPECT_EQ(Recorded(), std::vector<std::string> { "StartPage 1" }); // nothing drawn: one blank page
}

TEST_F(RecordingTest, LinesBreakAtTheLastSpaceThatFits)
{
    struct Row {
        const char* Name;
        std::int32_t Characters; // room in the column
        const char16_t* Text;
        std::vector<std::string> Expected;
    };
    const Row rows[] = {
        { "exact fit", 11, u"hello world", { "StartPage 1", Text(600, 630, "hello world") } },
        { "three words", 14, u"aaaaa bbbbb ccccc",
            { "StartPage 1", Text(600, 630, "aaaaa bbbbb"), Text(600, 743, "ccccc") } },
        { "long word", 4, u"abcdefghij",
            { "StartPage 1", Text(600, 630, "abcd"), Text(600, 743, "efgh"), Text(600, 856, "ij") } },
        { "hyphen", 7, u"aaaa-bbbb cc", { "StartPage 1", Text(600, 630, "aaaa-"), Text(600, 743, "bbbb cc") } },
        { "line ends", 40, u"one\r\ntwo\n\rthree\n\nfour",
            { "StartPage 1", Text(600, 630, "one"), Text(600, 743, "two"), Text(600, 856, "three"),
                Text(600, 1069, "four") } }, // an empty line is as high as the size: 100

        // The new page starts one line down, at the height of the line before.
        { "form feed", 40, u"one\r\ftwo",
            { "StartPage 1", Text(600, 630, "one"), "StartPage 2", Text(600, 743, "two") } },
        // Pending text is not flushed: it joins the paragraph on the new page,
        // and the first page, left empty, is not printed.
        { "form feed inside a line", 40, u"one\ftwo", { "StartPage 1", Text(600, 630, "onetwo") } },
        { "beyond ASCII", 40, u"caf\u00e9 \u0416\u0438\u0442\u044c", { "StartPage 1", Text(600, 630, "café Жить") } },
        { "special characters", 40, u"\x0085 \x0093q\x0094", { "StartPage 1", Text(600, 630, "... \\\"q\\\"") } },
    };
    for (const Row& row : rows) {
        ResetPrintEngine();
        fs::remove(output);
        StartMonoJob();
        Job().ColumnWidth = row.Characters * kChar;
        Feed(row.Text);
        EndPrintJob();
        EXPECT_EQ(Job().FinalStatus, 0) << row.Name;
        EXPECT_EQ(Recorded(), row.Expected) << row.Name;
    }
}

TEST_F(RecordingTest, RunsOfTwoFormats)
{
    struct Row {
        const char* Name;
        std::int32_t Characters;
        std::vector<std::string> Expected;
    };
    const Row rows[] = {
        { "break inside the second word", 9,
            { "StartPage 1", Text(600, 630, "hello "), Text(960, 630, "wor"), Text(600, 743, "ld") } },
        { "second run moves down whole", 6, { "StartPage 1", Text(600, 630, "hello"), Text(600, 743, "world") } },
    };
    for (const Row& row : rows) {
        ResetPrintEngine();
        fs::remove(output);
        StartMonoJob();
        Job().ColumnWidth = row.Characters * kChar;
        Feed(u"hello ");
        CurrentCharFormat().Italic = 1;
        Feed(u"world");
        EndPrintJob();
        EXPECT_EQ(Recorded(), row.Expected) << row.Name;
    }
}

TEST_F(RecordingTest, JustifiedGapsShareTheShortfall)
{
    struct Row {
        const char* Name;
        std::int32_t ColumnWidth;
        const char16_t* Text;
        std::vector<std::string> Expected;
    };
    const Row rows[] = {
        // "ab cd ef" is 480 wide: 65 over 2 spaces, gaps of 32 and 33.
        { "65 over 2", 545, u"ab cd ef gh",
            { "StartPage 1", Text(600, 630, "ab "), Text(812, 630, "cd "), Text(1025, 630, "ef"),
                Text(600, 743, "gh") } },
        // 67 over 3 spaces: three gaps of 22, the line ends one dot short.
        { "67 over 3", 727, u"ab cd ef gh ij",
            { "StartPage 1", Text(600, 630, "ab "), Text(802, 630, "cd "), Text(1004, 630, "ef "),
                Text(1206, 630, "gh"), Text(600, 743, "ij") } },
    };
    for (const Row& row : rows) {
        ResetPrintEngine();
        fs::remove(output);
        StartMonoJob();
        Job().ColumnWidth = row.ColumnWidth;
        CurrentParaFormat().Alignment = kAlignJustify;
        Feed(row.Text);
        EndPrintJob();
        EXPECT_EQ(Recorded(), row.Expected) << row.Name;
    }
}

TEST_F(RecordingTest, AlignmentAndIndents)
{
    struct Row {
        const char* Name;
        ParaFormat Format;
        std::vector<std::string> Expected;
    };
    const Row rows[] = {
        { "right", { 0, 0, 0, kAlignRight }, { "StartPage 1", Text(600 + 600 - 180, 630, "abc") } },
        { "centre", { 0, 0, 0, kAlignCentre }, { "StartPage 1", Text(600 + 210, 630, "abc") } },
        // 360 twips are 150 dots: the first line starts 300 in, the next 150.
        { "indents", { 360, 0, 360, kAlignLeft }, { "StartPage 1", Text(900, 630, "abc") } },
    };
    for (const Row& row : rows) {
        ResetPrintEngine();
        fs::remove(output);
        StartMonoJob();
        Job().ColumnWidth = 10 * kChar;
        CurrentParaFormat() = row.Format;
        Feed(u"abc");
        EndPrintJob();
        EXPECT_EQ(Recorded(), row.Expected) << row.Name;
    }
}

TEST_F(RecordingTest, TabsInPlainTextFollowTheAverageWidth)
{
    struct Row {
        const char* Name;
        std::int32_t PlainTextMode;
        std::int32_t TabSize;
        std::vector<std::string> Expected;
    };
    const Row rows[] = {
        { "plain text, tab size 4", 1, 4,
            { "StartPage 1", Text(600, 630, "a"), Text(840, 630, "b"), Text(1320, 630, "c") } },
        { "plain text, tab size 8", 1, 8,
            { "StartPage 1", Text(600, 630, "a"), Text(1080, 630, "b"), Text(2040, 630, "c") } },
        { "half an inch", 0, 4, { "StartPage 1", Text(600, 630, "a"), Text(900, 630, "b"), Text(1500, 630, "c") } },
    };
    for (const Row& row : rows) {
        ResetPrintEngine();
        fs::remove(output);
        core::Settings().TextTabSize = row.TabSize;
        StartMonoJob();
        Job().PlainTextMode = row.PlainTextMode;
        Feed(u"a\tb\t\tc");
        EndPrintJob();
        EXPECT_EQ(Recorded(), row.Expected) << row.Name;
    }
}

TEST_F(RecordingTest, BaselineOnTheColumnHeightStartsANewPage)
{
    StartMonoJob();
    Job().ColumnHeight = 3 * 113;
    Feed(u"one\rtwo\rthree\rfour");
    EndPrintJob();
    EXPECT_EQ(Recorded(),
        (std::vector<std::string> { "StartPage 1", Text(600, 630, "one"), Text(600, 743, "two"), "StartPage 2",
            Text(600, 630, "three"), Text(600, 743, "four") }));
}

TEST_F(RecordingTest, ColoursFromTheTable)
{
    StartMonoJob();
    ColorTable() = { PLW_RGB(255, 0, 0), PLW_RGB(0, 0, 255) };
    CurrentCharFormat().ForeColor = 1;
    Feed(u"red ");
    CurrentCharFormat().ForeColor = 2;
    Feed(u"blue ");
    CurrentCharFormat().ForeColor = 0;
    Feed(u"black");
    EndPrintJob();
    EXPECT_EQ(Recorded(),
        (std::vector<std::string> { "StartPage 1", "SetTextColor 0x000000FF", Text(600, 630, "red "),
            "SetTextColor 0x00FF0000", Text(840, 630, "blue "), "SetTextColor 0x00000000", Text(1140, 630, "black") }));
}

TEST_F(RecordingTest, CancelledDialogPrintsNothing)
{
    setenv("PLOTWISE_DIALOG", "cancel", 1);
    EXPECT_EQ(StartPrintJob(), kPrintJobFailed);
    Feed(u"never");
    EndPrintJob();
    unsetenv("PLOTWISE_DIALOG");
    EXPECT_EQ(Job().FinalStatus, 1);
    EXPECT_FALSE(fs::exists(output));
}

} // namespace
} // namespace printengine
