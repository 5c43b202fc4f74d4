// The program prints the committed sample workbooks from its command line,
// with the exit statuses of a print-only start.

#include "ProgramRun.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <string_view>
#include <vector>

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
    const testsupport::TempFolder directory;
    // The active sheet of each at 600 dpi on Letter paper with the printing
    // library's margins of 0.75 inch. (Without /E a print ends with 1: the
    // start-up's status table.)
    const struct {
        const char* Book;
        std::vector<std::string> Switches;
        const char* Dialog;
        int Status;
        int Pages;
    } rows[] = {
        { "budget.pxl", { "/XQ", "/E" }, nullptr, 0, 1 },
        { "large-5000x10.pxl", { "/XQ", "/E" }, nullptr, 0, 97 },
        { "formats.pxl", { "/E" }, nullptr, 0, 1 }, // the options dialog runs headless
        { "budget.pxl", { "/XQ", "/E" }, "cancel", 63, 0 },
        { "no-such-book.pxl", { "/XQ" }, nullptr, 0, 0 },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Book + (" " + row.Switches.back()));
        const fs::path output = directory / "job.txt";
        fs::remove(output);
        std::map<std::string, std::string> environment
            = { { "LC_ALL", "en_US.UTF-8" }, { "TALLOWIN_REGISTRY", (directory / "settings.reg").string() },
                  { "PLOTWISE_CONFIG", (directory / "no-config").string() }, { "SOURCE_DATE_EPOCH", "0" },
                  { "PLOTWISE_PAPER", "letter" }, { "PLOTWISE_DPI", "600" }, { "PLOTWISE_OUTPUT", output.string() } };
        if (row.Dialog)
            environment["PLOTWISE_DIALOG"] = row.Dialog;
        std::vector<std::string> arguments
            = { "--workbook=" + (fs::path(TALLOWIN_SOURCE_DIR) / "samples/workbooks" / row.Book).string() };
        arguments.insert(arguments.end(), row.Switches.begin(), row.Switches.end());
        EXPECT_EQ(
            testsupport::RunProgram(TALLOWIN_PROGRAM, arguments, environment, directory.Path()).status, row.Status);
        EXPECT_EQ(Count(output, "StartPage"), row.Pages);
        EXPECT_GE(Count(output, "ExtTextOut"), 10 * row.Pages);
    }
}

} // namespace
