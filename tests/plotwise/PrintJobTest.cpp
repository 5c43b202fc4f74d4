#include "PlotwiseTestSupport.h"

#include <array>
#include <csignal>
#include <filesystem>
#include <string>
#include <tuple>

#include <sys/resource.h>

using namespace plotwise_test;

namespace {

class PrintJobTest : public PlotwiseTest { };

void DrawHello(HDC dc)
{
    TextOut(dc, MakeLogFont(u"Liberation Sans", -50), 300, 300, u"Hello");
}

TEST_F(PrintJobTest, DialogOutcomesReachTheStatus)
{
    environment.Set("PLOTWISE_OUTPUT", Path("out.txt"));
    // The dialog's answer, what PLW_PrintDlg returns, the status.
    const std::tuple<const char*, int32_t, int32_t> rows[] = {
        { "cancel", 0, PLW_STATUS_CANCELLED },
        { "fail", 0, PLW_STATUS_FAILED },
        { "print", 1, PLW_STATUS_PRINTED },
    };
    for (const auto& [answer, dialogResult, status] : rows) {
        environment.Set("PLOTWISE_DIALOG", answer);
        std::filesystem::remove(Path("out.txt"));
        JobResult result = RunJob(DrawHello);
        EXPECT_EQ(result.DialogResult, dialogResult) << answer;
        EXPECT_EQ(result.Status, status) << answer;
        // Nothing prints unless the dialog said print.
        EXPECT_EQ(std::filesystem::exists(Path("out.txt")), dialogResult == 1) << answer;
    }
}

TEST_F(PrintJobTest, MarginsComeInTheUnitsOfTheLocale)
{
    // LC_ALL (null: unset), PLOTWISE_MARGINS (null: the default), and the
    // margins left, top, right, bottom.
    const std::tuple<const char*, const char*, std::array<int32_t, 4>> rows[] = {
        { "en_US.UTF-8", nullptr, { 750, 750, 750, 750 } },
        { "de_DE.UTF-8", nullptr, { 1905, 1905, 1905, 1905 } },
        { "C", nullptr, { 750, 750, 750, 750 } },
        { "en_US.UTF-8", "1in,0.5in,25.4mm,0", { 1000, 500, 1000, 0 } },
        { "fr_FR.UTF-8", "1in", { 2540, 2540, 2540, 2540 } },
        // Without LC_ALL, LC_MEASUREMENT decides, not LANG.
        { nullptr, nullptr, { 750, 750, 750, 750 } },
    };
    for (const auto& [locale, margins, expected] : rows) {
        environment.Set("LANG", "de_DE.UTF-8");
        environment.Set("LC_MEASUREMENT", "en_US.UTF-8");
        environment.Set("LC_ALL", locale);
        environment.Set("PLOTWISE_MARGINS", margins);
        PLW_Init(u"x");
        PLW_PAGESETUP setup {};
        setup.lStructSize = sizeof setup;
        setup.Flags = PLW_PSD_DEFAULT_FLAGS | PLW_PSD_QUICKPRINT;
        ASSERT_EQ(PLW_PrintDlg(&setup), 1);
        SCOPED_TRACE(std::string(locale ? locale : "LC_MEASUREMENT") + " " + (margins ? margins : "default"));
        const RECT& margin = setup.rtMargin;
        EXPECT_EQ((std::array { margin.left, margin.top, margin.right, margin.bottom }), expected);
        PLW_UnInit();
    }
}

struct CapsRow {
    const char* Locale;
    const char* Paper; // null: the locale's default
    const char* Dpi;
    int32_t Width;
    int32_t Height;
    const char* Output = "out.txt";
    int32_t DefaultDpi = 600; // without PLOTWISE_DPI
    const char* PaperSize = nullptr; // PAPERSIZE, or null
    const char* PaperFile = nullptr; // the system's papersize file, or null
};

TEST_F(PrintJobTest, DeviceCapabilitiesFollowPaperAndResolution)
{
    const CapsRow rows[] = {
        { "de_DE.UTF-8", nullptr, nullptr, 4961, 7016 },
        { "en_US.UTF-8", nullptr, nullptr, 5100, 6600 },
        { "en_US.UTF-8", "a4", "300", 2480, 3508 },
        { "de_DE.UTF-8", "100x150mm", "254", 1000, 1500 },
        // The system's paper comes before the locale's, PAPERSIZE before its file.
        { "de_DE.UTF-8", nullptr, nullptr, 5100, 6600, "out.txt", 600, "letter" },
        { "de_DE.UTF-8", nullptr, nullptr, 5100, 6600, "out.txt", 600, nullptr, "# the system's paper\nletter\n" },
        { "de_DE.UTF-8", nullptr, nullptr, 3496, 4961, "out.txt", 600, "a5", "letter\n" },
        // Page images are made at 150 dots per inch unless one is asked for.
        { "de_DE.UTF-8", nullptr, nullptr, 1240, 1754, "page.png", 150 },
        { "de_DE.UTF-8", nullptr, "300", 2480, 3508, "page.png" },
    };
    for (const CapsRow& row : rows) {
        environment.Set("PLOTWISE_OUTPUT", Path(row.Output));
        environment.Set("LC_ALL", row.Locale);
        environment.Set("PLOTWISE_PAPER", row.Paper);
        environment.Set("PLOTWISE_DPI", row.Dpi);
        environment.Set("PAPERSIZE", row.PaperSize);
        std::filesystem::remove(Path("papersize"));
        if (row.PaperFile)
            std::ofstream(Path("papersize")) << row.PaperFile;
        int32_t dpi = row.Dpi ? std::stoi(row.Dpi) : row.DefaultDpi;
        SCOPED_TRACE("row " + std::to_string(&row - rows));
        RunJob([&](HDC dc) {
            EXPECT_EQ(PLW_GetDeviceCaps(dc, LOGPIXELSX), dpi);
            EXPECT_EQ(PLW_GetDeviceCaps(dc, LOGPIXELSY), dpi);
            EXPECT_EQ(PLW_GetDeviceCaps(dc, PHYSICALWIDTH), row.Width);
            EXPECT_EQ(PLW_GetDeviceCaps(dc, PHYSICALHEIGHT), row.Height);
            EXPECT_EQ(PLW_GetDeviceCaps(dc, PHYSICALOFFSETX), 0);
            EXPECT_EQ(PLW_GetDeviceCaps(dc, PHYSICALOFFSETY), 0);
            EXPECT_EQ(PLW_GetDeviceCaps(dc, 12345), 0);
        });
    }
    // Without LC_ALL the paper is LC_PAPER's, before LANG's.
    environment.Unset("PLOTWISE_DPI");
    environment.Set("PLOTWISE_OUTPUT", Path("out.txt"));
    environment.Unset("LC_ALL");
    environment.Set("LANG", "de_DE.UTF-8");
    environment.Set("LC_PAPER", "en_US.UTF-8");
    RunJob([](HDC dc) { EXPECT_EQ(PLW_GetDeviceCaps(dc, PHYSICALWIDTH), 5100); });
}

TEST_F(PrintJobTest, UnreadableSettingsAreReportedAndLeftAtTheirDefaults)
{
    environment.Set("PLOTWISE_OUTPUT", Path("out.txt"));
    environment.Set("PLOTWISE_DPI", "huge");
    environment.Set("PLOTWISE_PAPER", "napkin");
    JobResult result = RunJob([](HDC dc) {
        EXPECT_EQ(PLW_GetDeviceCaps(dc, LOGPIXELSX), 600);
        EXPECT_EQ(PLW_GetDeviceCaps(dc, PHYSICALWIDTH), 4961);
    });
    EXPECT_EQ(result.Status, PLW_STATUS_PRINTED);
    // The library's lines carry the calling program's name, as its own do.
    const std::string program = program_invocation_short_name;
    EXPECT_EQ(result.Errors,
        program + ": ignored PLOTWISE_PAPER=\"napkin\"\n" + program + ": ignored PLOTWISE_DPI=\"huge\"\n");
}

TEST_F(PrintJobTest, TheConfigurationFileSetsTheSetup)
{
    std::filesystem::create_directories(folder / "config" / "plotwise");
    std::ofstream(folder / "config" / "plotwise" / "plotwise.conf")
        << "# a comment\noutput = " << Path("conf.txt") << "\npaper=letter\ndpi=300\n";
    environment.Set("PLOTWISE_DPI", "150");
    // A named output file is replaced.
    std::ofstream(Path("conf.txt")) << "old content\n";
    JobResult result = RunJob([](HDC dc) {
        // The environment comes after the file.
        EXPECT_EQ(PLW_GetDeviceCaps(dc, LOGPIXELSX), 150);
        EXPECT_EQ(PLW_GetDeviceCaps(dc, PHYSICALWIDTH), 1275);
        DrawHello(dc);
    });
    EXPECT_EQ(result.Status, PLW_STATUS_PRINTED) << result.Errors;
    EXPECT_NE(ReadFile(Path("conf.txt")).find("text=\"Hello\""), std::string::npos);
    EXPECT_EQ(ReadFile(Path("conf.txt")).find("old content"), std::string::npos);
}

struct UnwritableRow {
    std::string Output;
    std::string Message; // empty: nothing said
    int32_t ReportLevel = 2;
};

TEST_F(PrintJobTest, AnOutputThatCannotBeWrittenFailsAndSaysWhy)
{
    std::filesystem::create_directories(folder / "a-folder.pdf");
    std::filesystem::create_directories(folder / "a-folder.ps");
    const UnwritableRow rows[] = {
        { Path("missing/out.pdf"), "cannot write " + Path("missing/out.pdf") + ": No such file or directory" },
        { Path("missing/out.png"), "cannot write " + Path("missing/out-1.png") + ": No such file or directory" },
        { Path("a-folder.pdf"), "cannot write " + Path("a-folder.pdf") + ": Is a directory" },
        { Path("missing/out.ps"), "cannot write " + Path("missing/out.ps") + ": No such file or directory" },
        { Path("a-folder.ps"), "cannot write " + Path("a-folder.ps") + ": Is a directory" },
        // Report level 0 keeps quiet.
        { Path("missing/out.pdf"), "", 0 },
    };
    for (const UnwritableRow& row : rows) {
        environment.Set("PLOTWISE_OUTPUT", row.Output);
        JobResult result = RunJob(DrawHello, u"Test job", row.ReportLevel);
        EXPECT_EQ(result.Status, PLW_STATUS_FAILED) << row.Output;
        EXPECT_EQ(result.Errors,
            row.Message.empty() ? "" : std::string(program_invocation_short_name) + ": " + row.Message + "\n");
    }
}

// Pages are written while later ones are laid out: a write that fails on
// the writing thread fails the job with the reason, and nothing is left.
TEST_F(PrintJobTest, AWriteFailingInTheMiddleOfAJobLeavesNoFile)
{
    std::filesystem::create_directories(folder / "prints");
    environment.Set("PLOTWISE_OUTPUT", Path("prints/long.pdf"));
    // The files this process writes are limited for the job; going beyond
    // the limit fails the write instead of ending the process.
    rlimit saved {};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit limit = saved;
    limit.rlim_cur = 64 * 1024;
    void (*previousHandler)(int) = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &limit);
    const JobResult result = RunJob([](HDC dc) {
        SelectedFont font(dc, MakeLogFont(u"Liberation Mono", -50));
        for (int page = 0; page < 200; ++page) {
            for (int line = 0; line < 60; ++line)
                TextOut(dc, 100, 100 + 60 * line,
                    u"page " + std::u16string(1, static_cast<char16_t>(u'A' + page % 26)) + u" line "
                        + std::u16string(1, static_cast<char16_t>(u'a' + line % 26)) + u" of text");
            PLW_EndPage(dc);
            PLW_StartPage(dc);
        }
    });
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_EQ(result.Status, PLW_STATUS_FAILED);
    EXPECT_EQ(result.Errors,
        std::string(program_invocation_short_name) + ": cannot write " + Path("prints/long.pdf") + ": File too large\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder / "prints"), {}), 0);
}

TEST_F(PrintJobTest, TheDefaultOutputIsNamedAfterTheJobAndNeverOverwritten)
{
    environment.Set("PLOTWISE_OUTPUT_DIR", Path("prints"));
    ASSERT_EQ(RunJob(DrawHello, u"Report 1/2").Status, PLW_STATUS_PRINTED);
    std::string first = ReadFile(Path("prints/Report 1_2.pdf"));
    ASSERT_FALSE(first.empty());
    ASSERT_EQ(RunJob(DrawHello, u"Report 1/2").Status, PLW_STATUS_PRINTED);
    EXPECT_TRUE(std::filesystem::exists(Path("prints/Report 1_2 (2).pdf")));
    EXPECT_EQ(ReadFile(Path("prints/Report 1_2.pdf")), first);
    // No temporary files are left behind.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder / "prints"), {}), 2);
}

TEST_F(PrintJobTest, TheDefaultFolderIsTheDocumentsFolder)
{
    struct Row {
        const char* documents; // XDG_DOCUMENTS_DIR, or null
        const char* userDirs; // the line in user-dirs.dirs, or null
        const char* expected; // below the home folder
    };
    const Row rows[] = {
        { nullptr, nullptr, "Documents/document.pdf" },
        { nullptr, "XDG_DOCUMENTS_DIR=\"$HOME/Papers\"", "Papers/document.pdf" },
        { "", nullptr, "Documents/document.pdf" },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.expected);
        std::filesystem::remove_all(Path(".config"));
        std::filesystem::create_directories(Path(".config"));
        environment.Set("XDG_CONFIG_HOME", Path(".config"));
        if (row.userDirs)
            std::ofstream(Path(".config/user-dirs.dirs")) << "# written by xdg-user-dirs-update\n"
                                                          << row.userDirs << "\n";
        environment.Set("XDG_DOCUMENTS_DIR", row.documents);
        ASSERT_EQ(RunJob(DrawHello, u"").Status, PLW_STATUS_PRINTED);
        EXPECT_TRUE(std::filesystem::exists(Path(row.expected)));
    }
    environment.Set("XDG_DOCUMENTS_DIR", Path("named"));
    ASSERT_EQ(RunJob(DrawHello, u"letter.rtf").Status, PLW_STATUS_PRINTED);
    EXPECT_TRUE(std::filesystem::exists(Path("named/letter.rtf.pdf")));
}

TEST_F(OpenJobTest, AJobDeletedBeforeItsEndPrintsNothing)
{
    DrawHello(dc);
    PLW_EndPage(dc);
    EXPECT_EQ(PLW_DeleteDC(dc), 1);
    EXPECT_EQ(PLW_StatusCheck(), PLW_STATUS_CANCELLED);
    EXPECT_FALSE(std::filesystem::exists(Path("job.txt")));
    EXPECT_EQ(PLW_Rectangle(dc, 0, 0, 1, 1), 0);
    EXPECT_EQ(PLW_EndDoc(dc), 0);
}

TEST_F(PrintJobTest, CallsOnNoContextOrWithAWrongSizedSetupFail)
{
    EXPECT_EQ(PLW_SetBkMode(nullptr, OPAQUE), 0);
    EXPECT_EQ(PLW_SetTextColor(nullptr, 0), 0xFFFFFFFFu);
    EXPECT_EQ(PLW_SetBkColor(nullptr, 0), 0xFFFFFFFFu);
    EXPECT_EQ(PLW_ExtTextOut(nullptr, 0, 0, 0, nullptr, u"a", 1, nullptr), 0);
    EXPECT_EQ(PLW_Rectangle(nullptr, 0, 0, 1, 1), 0);
    EXPECT_EQ(PLW_EndPage(nullptr), 0);
    EXPECT_EQ(PLW_StartPage(nullptr), 0);
    EXPECT_EQ(PLW_EndDoc(nullptr), 0);
    EXPECT_EQ(PLW_DeleteDC(nullptr), 0);
    EXPECT_EQ(PLW_GetDeviceCaps(nullptr, LOGPIXELSX), 0);
    EXPECT_EQ(PLW_GetPrinterDC(), nullptr);
    EXPECT_GE(PLW_GetVersion(), PLOTWISE_MINIMUM_VERSION);
    // The background mode takes only its two modes.
    HDC dc = PLW_GetScreenDC();
    EXPECT_EQ(PLW_SetBkMode(dc, TRANSPARENT), OPAQUE);
    EXPECT_EQ(PLW_SetBkMode(dc, 3), 0);
    EXPECT_EQ(PLW_SetBkMode(dc, OPAQUE), TRANSPARENT);
    PLW_ReleaseScreenDC(dc);
    // A setup record of the wrong size fails.
    PLW_Init(u"x");
    PLW_PAGESETUP setup {};
    setup.lStructSize = 64;
    testing::internal::CaptureStderr();
    EXPECT_EQ(PLW_PrintDlg(&setup), 0);
    EXPECT_NE(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(PLW_StatusCheck(), PLW_STATUS_FAILED);
    EXPECT_EQ(PLW_PrintDlg(nullptr), 0);
    PLW_UnInit();
}

} // namespace
