// Runs the built program as a caller would and checks its exit statuses and
// what it says on standard error.
#include "SingleInstance.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

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

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

std::string ReadFile(const fs::path& path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

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
    Outcome Run(const std::vector<std::string>& arguments, const fs::path& libraryDirectory)
    {
        std::map<std::string, std::string> overrides = {
            { "TALLOWIN_LIBDIR", libraryDirectory.string() },
            { "TALLOWIN_REGISTRY", registry_.string() },
            { "XDG_RUNTIME_DIR", (directory_ / "runtime").string() },
            { "PLOTWISE_OUTPUT", (directory_ / "out.pdf").string() },
            { "LC_ALL", "C" },
            { "LANG", "C" },
        };
        std::vector<std::string> environment;
        for (char** entry = environ; *entry != nullptr; ++entry) {
            std::string text = *entry;
            if (!overrides.contains(text.substr(0, text.find('='))))
                environment.push_back(text);
        }
        for (const auto& [name, value] : overrides)
            environment.push_back(name + "=" + value);

        std::vector<char*> argv { const_cast<char*>(kProgram.c_str()) };
        for (const std::string& argument : arguments)
            argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        std::vector<char*> envp;
        for (std::string& entry : environment)
            envp.push_back(entry.data());
        envp.push_back(nullptr);

        fs::path outPath = directory_ / "stdout";
        fs::path errPath = directory_ / "stderr";
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        pid_t child = 0;
        Outcome outcome;
        int spawned = posix_spawn(&child, kProgram.c_str(), &actions, nullptr, argv.data(), envp.data());
        posix_spawn_file_actions_destroy(&actions);
        if (spawned != 0)
            return outcome;
        int waitStatus = 0;
        waitpid(child, &waitStatus, 0);
        if (WIFEXITED(waitStatus))
            outcome.status = WEXITSTATUS(waitStatus);
        outcome.out = ReadFile(outPath);
        outcome.err = ReadFile(errPath);
        return outcome;
    }

    fs::path directory_;
    fs::path registry_;
};

struct Row {
    std::vector<std::string> arguments;
    int status;
    const char* saying;
};

TEST_F(ProgramTest, MissingPrintingLibrary)
{
    fs::create_directories(directory_ / "empty");
    for (const std::vector<std::string>& arguments : std::vector<std::vector<std::string>> {
             { "/F", "\\missing.txt", "/E" }, { "/F", "\\missing.txt" }, { "/XG0", "/E" }, {} }) {
        Outcome outcome = Run(arguments, directory_ / "empty");
        EXPECT_EQ(outcome.status, 0);
        EXPECT_NE(outcome.err.find(kMissingLibraryText), std::string::npos) << outcome.err;
        EXPECT_EQ(outcome.err.find(kPendingPrinterText), std::string::npos) << outcome.err;
        EXPECT_FALSE(fs::exists(registry_));
    }
}

TEST_F(ProgramTest, TooOldPrintingLibrary)
{
    std::vector<fs::path> directories = { kStubs / "old" };
    if (fs::exists(kOldLibraryDirectory / "libplotwise.so"))
        directories.push_back(kOldLibraryDirectory);
    for (const fs::path& libraries : directories) {
        SCOPED_TRACE(libraries.string());
        for (const std::vector<std::string>& arguments :
            std::vector<std::vector<std::string>> { { "/F", "\\missing.txt", "/E" }, { "/F", "\\missing.txt" } }) {
            Outcome outcome = Run(arguments, libraries);
            EXPECT_EQ(outcome.status, 0);
            EXPECT_NE(outcome.err.find(kMissingLibraryText), std::string::npos) << outcome.err;
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
        Outcome outcome = Run(row.arguments, kLibraryDirectory);
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
        { {}, 0, "interactive window is not available" },
        { { "/I" }, 0, "interactive window is not available" },
        { { tooLong }, 0, "ignored as a whole" },
    };
    for (const Row& row : rows) {
        Outcome outcome = Run(row.arguments, kLibraryDirectory);
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
    int listener = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    socketPath.native().copy(address.sun_path, sizeof address.sun_path - 1);
    ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(listen(listener, 8), 0);

    EXPECT_EQ(Run({}, kLibraryDirectory).status, 1);
    EXPECT_EQ(Run({ "/E" }, kLibraryDirectory).status, 0);
    // A start with a file prints it even while another copy runs.
    Outcome printing = Run({ "/F", "\\a.txt", "/E" }, kLibraryDirectory);
    EXPECT_EQ(printing.status, 2);
    EXPECT_NE(printing.err.find(kUnableToOpenFileText), std::string::npos) << printing.err;
    close(listener);
}

TEST_F(ProgramTest, SheetOptionsAreStoredForTheNextStart)
{
    Outcome first = Run({ "/XG0", "/XZC50", "/F", "\\a.txt" }, kLibraryDirectory);
    EXPECT_EQ(first.status, 0);
    std::string stored = ReadFile(registry_);
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
    Outcome help = Run({ "--help" }, kLibraryDirectory);
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("995 arrives as 227"), std::string::npos);
    Outcome version = Run({ "--version" }, kLibraryDirectory);
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.rfind("tallowin ", 0), 0u) << version.out;
    Outcome refused = Run({ "--frobnicate" }, kLibraryDirectory);
    EXPECT_EQ(refused.status, 64);
    EXPECT_NE(refused.err.find("unknown option --frobnicate"), std::string::npos) << refused.err;
    EXPECT_EQ(refused.err.find(kMissingLibraryText), std::string::npos) << refused.err;
}

} // namespace
