// Runs the built program as a caller would and checks its exit statuses and
// what it says on standard error.
#include "ProgramRun.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const fs::path kLibraryDirectory = TALLOWIN_LIBRARY_DIRECTORY;
const fs::path kOldLibraryDirectory = TALLOWIN_OLD_LIBRARY_DIRECTORY;

constexpr const char* kMissingLibraryText = "Plotwise DLL missing or outdated";
constexpr const char* kPendingPrinterText = "not built yet";
constexpr const char* kUnableToOpenFileText = "Unable to open file: ";
constexpr const char* kNoDisplayText = "cannot show the window: no display";

using testsupport::ProgramOutcome;

class ProgramTest : public ::testing::Test {
protected:
    // Runs the program with these arguments, its libraries from
    // libraryDirectory, its settings and output in the test's folder.
    ProgramOutcome Run(const std::vector<std::string>& arguments, const fs::path& libraryDirectory = kLibraryDirectory,
        const fs::path& input = {})
    {
        return testsupport::RunProgram(TALLOWIN_PROGRAM, arguments,
            {
                { "TALLOWIN_LIBDIR", libraryDirectory.string() },
                { "TALLOWIN_REGISTRY", registry_.string() },
                { "XDG_RUNTIME_DIR", (directory_ / "runtime").string() },
                { "PLOTWISE_OUTPUT", (directory_ / "out.pdf").string() },
                // No display: an interactive start cannot show its window.
                { "DISPLAY", "" },
                { "WAYLAND_DISPLAY", "" },
                { "QT_QPA_PLATFORM", "" },
                { "LC_ALL", "C" },
                { "LANG", "C" },
            },
            directory_.Path(), input);
    }

    testsupport::TempFolder directory_;
    const fs::path registry_ = directory_ / "registry.reg";
};

TEST_F(ProgramTest, MissingOrTooOldPrintingLibrary)
{
    fs::create_directories(directory_ / "empty");
    const std::pair<fs::path, std::vector<std::string>> runs[] = {
        { directory_ / "empty", { "/F", "\\missing.txt", "/E" } },
        { fs::path(TALLOWIN_PLOTWISE_STUBS) / "old", { "/XG0", "/E" } },
        { kOldLibraryDirectory, { "/F", "\\missing.txt" } },
    };
    for (const auto& [libraries, arguments] : runs) {
        SCOPED_TRACE(libraries.string() + " " + std::to_string(arguments.size()) + " arguments");
        if (libraries == kOldLibraryDirectory && !fs::exists(kOldLibraryDirectory / "libplotwise.so"))
            continue;
        ProgramOutcome outcome = Run(arguments, libraries);
        EXPECT_EQ(outcome.status, 0);
        EXPECT_NE(outcome.err.find(kMissingLibraryText), std::string::npos) << outcome.err;
        EXPECT_EQ(outcome.err.find(kPendingPrinterText), std::string::npos) << outcome.err;
        EXPECT_FALSE(fs::exists(registry_));
    }
    if (!fs::exists(kOldLibraryDirectory / "libplotwise.so"))
        GTEST_SKIP() << "the deliberately old printing library is not built at " << kOldLibraryDirectory;
}

TEST_F(ProgramTest, StatusesAndMessagesWithTheRealPrintingLibrary)
{
    ASSERT_TRUE(fs::exists(kLibraryDirectory / "libplotwise.so")) << kLibraryDirectory;
    std::string tooLong = "/F \\a.txt /E ";
    tooLong.resize(260, 'x');
    struct Row {
        std::vector<std::string> arguments;
        int status;
        const char* saying;
    };
    // A file that cannot be opened is reported and not printed: 2 with /E,
    // 0 without; an interactive start without a display ends at once, with
    // the window creation failure of /E as a shell sees 995.
    const Row rows[] = {
        { { "/F", "\\no\\such\\file.txt", "/E" }, 2, kUnableToOpenFileText },
        { { "--file=/no/such/file.txt", "--exit-codes" }, 2, kUnableToOpenFileText },
        { { "/A", "\\no\\such\\book.pxl", "/E" }, 2, "Unable to open PXL file : " },
        { { "/E", "/F" }, 2, kUnableToOpenFileText },
        { {}, 0, kNoDisplayText },
        { { "/E" }, 995 & 0xFF, kNoDisplayText },
        { { tooLong }, 0, "ignored as a whole" },
        { { "--frobnicate" }, 64, "unknown option --frobnicate" },
    };
    for (const Row& row : rows) {
        ProgramOutcome outcome = Run(row.arguments);
        EXPECT_EQ(outcome.status, row.status) << outcome.err;
        EXPECT_NE(outcome.err.find(row.saying), std::string::npos) << outcome.err;
        EXPECT_EQ(outcome.err.find(kMissingLibraryText), std::string::npos) << outcome.err;
        EXPECT_EQ(outcome.err.find(kPendingPrinterText), std::string::npos) << outcome.err;
    }
    ProgramOutcome help = Run({ "--help" });
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("995 arrives as 227"), std::string::npos);
    ProgramOutcome version = Run({ "--version" });
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.rfind("tallowin ", 0), 0u) << version.out;
}

TEST_F(ProgramTest, DocumentsAndMessagesFromStandardInput)
{
    const struct {
        std::vector<std::string> arguments;
        const char* input;
        int status;
        const char* printed; // in the recording of the pages; empty when nothing printed
    } rows[] = {
        { { "--file=-", "--quick", "--exit-codes", "--output=pages.txt" }, "Piped notes\n", 0, "Piped notes" },
        { { "--mail=-", "--quick", "--output=pages.txt" },
            "From: ann@example.org\nSubject: Lunch plans\n\nSee you at noon.\n", 0, "See you at noon." },
        { { "--mail=-", "--quick", "--output=pages.txt" }, "no headers here\n", 2, "" },
    };
    for (const auto& row : rows) {
        fs::remove(directory_ / "pages.txt");
        std::vector<std::string> arguments = row.arguments;
        arguments.back() = "--output=" + (directory_ / "pages.txt").string();
        ProgramOutcome outcome = Run(arguments, kLibraryDirectory, directory_.Write("input", row.input));
        EXPECT_EQ(outcome.status, row.status) << outcome.err;
        const std::string pages = testsupport::ReadFileText(directory_ / "pages.txt");
        if (*row.printed)
            EXPECT_NE(pages.find(row.printed), std::string::npos) << pages;
        else
            EXPECT_TRUE(pages.empty()) << pages;
    }
}

} // namespace
