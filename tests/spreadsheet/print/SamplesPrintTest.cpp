// The program prints the committed sample workbooks from its command line,
// with the exit statuses of a print-only start.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

class SamplesPrintTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        directory = fs::temp_directory_path() / ("sheetprint-samples-" + std::to_string(::getpid()));
        fs::create_directories(directory);
        setenv("LC_ALL", "en_US.UTF-8", 1);
        setenv("TALLOWIN_REGISTRY", (directory / "settings.reg").c_str(), 1);
        setenv("PLOTWISE_CONFIG", (directory / "no-config").c_str(), 1);
        setenv("SOURCE_DATE_EPOCH", "0", 1);
        setenv("PLOTWISE_PAPER", "letter", 1);
        setenv("PLOTWISE_DPI", "600", 1);
        unsetenv("PLOTWISE_MARGINS");
        unsetenv("PLOTWISE_DIALOG");
    }

    void TearDown() override
    {
        std::error_code ignored;
        fs::remove_all(directory, ignored);
    }

    // Runs the program with the arguments; its exit status.
    static int Run(const std::string& arguments, const fs::path& output)
    {
        setenv("PLOTWISE_OUTPUT", output.c_str(), 1);
        const std::string command = std::string(TALLOWIN_PROGRAM) + " " + arguments + " 2>/dev/null";
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    static int Count(const fs::path& recording, std::string_view prefix)
    {
        std::ifstream in(recording);
        int count = 0;
        for (std::string line; std::getline(in, line);)
            count += line.starts_with(prefix) ? 1 : 0;
        return count;
    }

    static int Pages(const fs::path& recording) { return Count(recording, "StartPage"); }

    fs::path directory;
};

std::string Workbook(const char* name)
{
    return "--workbook=" + (fs::path(TALLOWIN_SOURCE_DIR) / "samples/workbooks" / name).string();
}

TEST_F(SamplesPrintTest, EverySamplePrintsWithExitCodes)
{
    struct Sample {
        const char* Name;
        int Pages;
    };
    // The active sheet of each at 600 dpi on Letter paper with the printing
    // library's margins of 0.75 inch.
    for (const Sample& sample : { Sample { "budget.pxl", 1 }, Sample { "dates.pxl", 2 }, Sample { "formats.pxl", 1 },
             Sample { "large-5000x10.pxl", 97 } }) {
        SCOPED_TRACE(sample.Name);
        const fs::path recording = directory / (std::string(sample.Name) + ".txt");
        EXPECT_EQ(Run(Workbook(sample.Name) + " /XQ /E", recording), 0);
        EXPECT_EQ(Pages(recording), sample.Pages);
        EXPECT_GT(Count(recording, "ExtTextOut"), 10 * sample.Pages);
    }
}

TEST_F(SamplesPrintTest, PrintedWithoutExitCodesEndsWith1AndWritesThePdf)
{
    const fs::path pdf = directory / "budget.pdf";
    EXPECT_EQ(Run(Workbook("budget.pxl") + " /XQ", pdf), 1);
    EXPECT_GT(fs::file_size(pdf), 1000u);
}

TEST_F(SamplesPrintTest, OptionsDialogRunsHeadlessWithoutXQ)
{
    const fs::path recording = directory / "dialog.txt";
    EXPECT_EQ(Run(Workbook("formats.pxl") + " /E", recording), 0);
    EXPECT_GE(Pages(recording), 1);
}

TEST_F(SamplesPrintTest, CancelledPrintDialogAndMissingFileHaveTheirStatuses)
{
    setenv("PLOTWISE_DIALOG", "cancel", 1);
    EXPECT_EQ(Run(Workbook("budget.pxl") + " /XQ /E", directory / "cancel.txt"), 63);
    unsetenv("PLOTWISE_DIALOG");
    EXPECT_EQ(Run(Workbook("no-such-book.pxl") + " /XQ /E", directory / "missing.txt"), 2);
    EXPECT_EQ(Run(Workbook("no-such-book.pxl") + " /XQ", directory / "missing.txt"), 0);
}

} // namespace
