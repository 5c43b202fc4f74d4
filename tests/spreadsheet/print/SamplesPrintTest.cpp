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

int Count(const fs::path& recording, std::string_view prefix)
{
    std::ifstream in(recording);
    int count = 0;
    for (std::string line; std::getline(in, line);)
        count += line.starts_with(prefix) ? 1 : 0;
    return count;
}

TEST(SamplesPrintTest, SamplesPrintWithTheirStatuses)
{
    const fs::path directory = fs::temp_directory_path() / ("sheetprint-samples-" + std::to_string(::getpid()));
    fs::create_directories(directory);
    setenv("LC_ALL", "en_US.UTF-8", 1);
    setenv("TALLOWIN_REGISTRY", (directory / "settings.reg").c_str(), 1);
    setenv("PLOTWISE_CONFIG", (directory / "no-config").c_str(), 1);
    setenv("SOURCE_DATE_EPOCH", "0", 1);
    setenv("PLOTWISE_PAPER", "letter", 1);
    setenv("PLOTWISE_DPI", "600", 1);
    unsetenv("PLOTWISE_MARGINS");
    // The active sheet of each at 600 dpi on Letter paper with the printing
    // library's margins of 0.75 inch; pages -1 for a PDF.
    const struct {
        const char* Book;
        const char* Switches;
        const char* Dialog;
        int Status;
        int Pages;
    } rows[] = {
        { "budget.pxl", " /XQ /E", nullptr, 0, 1 },
        { "large-5000x10.pxl", " /XQ /E", nullptr, 0, 97 },
        { "budget.pxl", " /XQ", nullptr, 1, -1 }, // without exit codes: 1, and the PDF
        { "formats.pxl", " /E", nullptr, 0, 1 }, // the options dialog runs headless
        { "budget.pxl", " /XQ /E", "cancel", 63, 0 },
        { "no-such-book.pxl", " /XQ", nullptr, 0, 0 },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.Book) + row.Switches);
        const fs::path output = directory / (row.Pages < 0 ? "job.pdf" : "job.txt");
        fs::remove(output);
        setenv("PLOTWISE_OUTPUT", output.c_str(), 1);
        if (row.Dialog)
            setenv("PLOTWISE_DIALOG", row.Dialog, 1);
        else
            unsetenv("PLOTWISE_DIALOG");
        const std::string command = std::string(TALLOWIN_PROGRAM) + " --workbook="
            + (fs::path(TALLOWIN_SOURCE_DIR) / "samples/workbooks" / row.Book).string() + row.Switches + " 2>/dev/null";
        const int status = std::system(command.c_str());
        EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, row.Status);
        if (row.Pages < 0) {
            EXPECT_GT(fs::file_size(output), 1000u);
        } else {
            EXPECT_EQ(Count(output, "StartPage"), row.Pages);
            EXPECT_GE(Count(output, "ExtTextOut"), 10 * row.Pages);
        }
    }
    unsetenv("PLOTWISE_DIALOG");
    std::error_code ignored;
    fs::remove_all(directory, ignored);
}

} // namespace
