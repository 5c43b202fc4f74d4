// Runs the built program as a caller would and checks its exit statuses and
// what it says on standard error.
#include "InstanceListener.h"
#include "ProgramRun.h"
#include "SingleInstance.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

const fs::path kProgram = TALLOWIN_PROGRAM;
const fs::path kLibraryDirectory = TALLOWIN_LIBRARY_DIRECTORY;
const fs::path kOldLibraryDirectory = TALLOWIN_OLD_LIBRARY_DIRECTORY;
const fs::path kStubs = TALLOWIN_PLOTWISE_STUBS;

constexpr const char* kMissingLibraryText = "Plotwise DLL missing or outdated";
constexpr const char* kPendingPrinterText = "not built yet";
constexpr const char* kUnableToOpenFileText = "Unable to open file: ";
constexpr const char* kUnableToOpenWorkbookText = "Unable to open PXL file : ";

using testsupport::ProgramOutcome;
using testsupport::ReadFileText;

class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/tw-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        directory_ = pattern;
        fs::create_directories(directory_ / "runtime");
        fs::permissions(directory_ / "runtime", fs::perms::owner_all);
        registry_ = directory_ / "registry.reg";
    }
    void TearDown() override { fs::remove_all(directory_); }

    // Runs the program with these arguments, its libraries from
    // libraryDirectory, its settings and output in the test's directory.
    ProgramOutcome Run(const std::vector<std::string>& arguments, const fs::path& libraryDirectory)
    {
        return testsupport::RunProgram(kProgram, arguments,
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
            directory_);
    }

    fs::path directory_;
    fs::path registry_;
};

struct Row {
    std::vector<std::string> arguments;
    int status;
    const char* saying;
};

TEST_F(ProgramTest, MissingOrTooOldPrintingLibrary)
{
    fs::create_directories(directory_ / "empty");
    std::vector<fs::path> directories = { directory_ / "empty", kStubs / "old" };
    if (fs::exists(kOldLibraryDirectory / "libplotwise.so"))
        directories.push_back(kOldLibraryDirectory);
    for (const fs::path& libraries : directories) {
        for (const std::vector<std::string>& arguments : std::vector<std::vector<std::string>> {
                 { "/F", "\\missing.txt", "/E" }, { "/F", "\\missing.txt" }, { "/XG0", "/E" }, {} }) {
            SCOPED_TRACE(libraries.string() + " " + std::to_string(arguments.size()) + " arguments");
            ProgramOutcome outcome = Run(arguments, libraries);
            EXPECT_EQ(outcome.status, 0);
            EXPECT_NE(outcome.err.find(kMissingLibraryText), std::string::npos) << outcome.err;
            EXPECT_EQ(outcome.err.find(kPendingPrinterText), std::string::npos) << outcome.err;
            EXPECT_FALSE(fs::exists(registry_));
        }
    }
    if (!fs::exists(kOldLibraryDirectory / "libplotwise.so"))
        GTEST_SKIP() << "the deliberately old printing library is not built at " << kOldLibraryDirectory;
}

TEST_F(ProgramTest, MissingFileWithTheRealPrintingLibrary)
{
    ASSERT_TRUE(fs::exists(kLibraryDirectory / "libplotwise.so")) << kLibraryDirectory;
    // A file that cannot be opened is reported and not printed: 2 with /E,
    // 0 without.
    const Row rows[] = {
        { { "/F", "\\no\\such\\file.txt", "/E" }, 2, kUnableToOpenFileText },
        { { "/F", "\\no\\such\\file.txt" }, 0, kUnableToOpenFileText },
        { { "--file=/no/such/file.txt", "--exit-codes" }, 2, kUnableToOpenFileText },
        { { "/A", "\\no\\such\\book.pxl", "/E" }, 2, kUnableToOpenWorkbookText },
        { { "/E", "/F" }, 2, kUnableToOpenFileText },
    };
    for (const Row& row : rows) {
        ProgramOutcome outcome = Run(row.arguments, kLibraryDirectory);
        EXPECT_EQ(outcome.status, row.status) << outcome.err;
        EXPECT_NE(outcome.err.find(row.saying), std::string::npos) << outcome.err;
        EXPECT_EQ(outcome.err.find(kMissingLibraryText), std::string::npos) << outcome.err;
    }
}

TEST_F(ProgramTest, InteractiveStarts)
{
    std::string tooLong = "/F \\a.txt /E ";
    tooLong.resize(260, 'x');
    const Row rows[] = {
        { {}, 0, "cannot show the window: no display" },
        { { "/I" }, 0, "cannot show the window: no display" },
        // The window creation failure of /E, as a shell sees 995.
        { { "/E" }, 995 & 0xFF, "cannot show the window: no display" },
        { { tooLong }, 0, "ignored as a whole" },
    };
    for (const Row& row : rows) {
        ProgramOutcome outcome = Run(row.arguments, kLibraryDirectory);
        EXPECT_EQ(outcome.status, row.status) << outcome.err;
        EXPECT_NE(outcome.err.find(row.saying), std::string::npos) << outcome.err;
        EXPECT_EQ(outcome.err.find(kPendingPrinterText), std::string::npos) << outcome.err;
    }
}

TEST_F(ProgramTest, SecondInteractiveStart)
{
    setenv("XDG_RUNTIME_DIR", (directory_ / "runtime").c_str(), 1);
    fs::path socketPath = shell::InstanceSocketPath(u"TALLOWIN", u"Tallowin");
    unsetenv("XDG_RUNTIME_DIR");
    shell::test::Listener listener(socketPath);
    ASSERT_TRUE(listener.Ready());

    EXPECT_EQ(Run({}, kLibraryDirectory).status, 1);
    EXPECT_EQ(Run({ "/E" }, kLibraryDirectory).status, 0);
    // A start with a file prints it even while another copy runs.
    ProgramOutcome printing = Run({ "/F", "\\a.txt", "/E" }, kLibraryDirectory);
    EXPECT_EQ(printing.status, 2);
    EXPECT_NE(printing.err.find(kUnableToOpenFileText), std::string::npos) << printing.err;
}

TEST_F(ProgramTest, SheetOptionsAreStoredForTheNextStart)
{
    ProgramOutcome first = Run({ "/XG0", "/XZC50", "/F", "\\a.txt" }, kLibraryDirectory);
    EXPECT_EQ(first.status, 0);
    std::string stored = ReadFileText(registry_);
    std::erase(stored, '\r');
    for (std::size_t wrap; (wrap = stored.find(",\\\n  ")) != std::string::npos;)
        stored.replace(wrap, 5, ",");
    // Gridlines off, headings, colours and centring as before, sizing
    // normal, custom size 50 %.
    EXPECT_NE(stored.find("\"PrExcel\"=hex:00,00,00,00,00,00,00,00,01,00,00,00,01,00,00,00,00,01,00,00,32,00,"),
        std::string::npos)
        << stored;
}

TEST_F(ProgramTest, LinuxOptions)
{
    ProgramOutcome help = Run({ "--help" }, kLibraryDirectory);
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("995 arrives as 227"), std::string::npos);
    ProgramOutcome version = Run({ "--version" }, kLibraryDirectory);
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.rfind("tallowin ", 0), 0u) << version.out;
    ProgramOutcome refused = Run({ "--frobnicate" }, kLibraryDirectory);
    EXPECT_EQ(refused.status, 64);
    EXPECT_NE(refused.err.find("unknown option --frobnicate"), std::string::npos) << refused.err;
    EXPECT_EQ(refused.err.find(kMissingLibraryText), std::string::npos) << refused.err;
}

} // namespace
