// Runs the built program as a user would and checks exit statuses, pages and
// messages; and the start-up in-process with a scripted plain-text dialog.

#include "AppSettings.h"
#include "DialogHost.h"
#include "DialogResourceIds.h"
#include "Module.h"
#include "ProgramRun.h"
#include "TempFolder.h"
#include "WinMain.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <pty.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

// Fontconfig keeps its configuration for the life of the process; the
// printing library does not tear it down, and that is not a leak of ours.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}

namespace {

namespace fs = std::filesystem;

using testsupport::ReadFileText;

// A path as the Windows-style command line takes it: "\" between directories.
std::string Backslashed(const fs::path& path)
{
    std::string text = path.string();
    std::replace(text.begin(), text.end(), '/', '\\');
    return text;
}

std::size_t Count(const std::string& text, const std::string& what)
{
    std::size_t count = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size()))
        ++count;
    return count;
}

class EndToEndTest : public ::testing::Test {
protected:
    // Runs the program, the printing library writing to `output`.
    testsupport::ProgramOutcome Run(const std::vector<std::string>& arguments, const fs::path& output,
        std::map<std::string, std::string> environment = {})
    {
        fs::remove(output);
        environment.insert(
            { { "PLOTWISE_OUTPUT", output.string() }, { "TALLOWIN_REGISTRY", (dir / "registry.reg").string() },
                { "LANG", "en_US.UTF-8" }, { "LC_ALL", "en_US.UTF-8" } });
        return testsupport::RunProgram(TALLOWIN_PROGRAM, arguments, environment, dir.Path());
    }

    // Starts the program in a child process, on a terminal when one is asked for.
    static pid_t Spawn(const std::vector<std::string>& arguments, int* terminal = nullptr)
    {
        pid_t child = terminal ? ::forkpty(terminal, nullptr, nullptr, nullptr) : ::fork();
        if (child == 0) {
            std::vector<char*> argv { const_cast<char*>(TALLOWIN_PROGRAM) };
            for (const std::string& argument : arguments)
                argv.push_back(const_cast<char*>(argument.c_str()));
            argv.push_back(nullptr);
            ::execv(TALLOWIN_PROGRAM, argv.data());
            ::_exit(127);
        }
        return child;
    }

    testsupport::TempFolder dir;
};

TEST_F(EndToEndTest, ExitStatusesWithAndWithoutE)
{
    fs::path text = dir.Write("notes.txt", "notes\n");
    fs::path empty = dir.Write("empty.txt", "");
    fs::path missing = dir / "missing.txt";
    fs::path rtf = dir.Write("letter.rtf", "{\\rtf1 Dear reader}");
    // A workbook named as a document prints as the workbook it is.
    fs::path workbook = dir / "budget.txt";
    fs::copy_file(fs::path(SAMPLES_DIR) / ".." / "workbooks" / "budget.pxl", workbook);
    std::string log;
    for (int i = 0; i < 20000; ++i)
        log += "line " + std::to_string(i) + " of the log\n";
    fs::path longFile = dir.Write("log.txt", log);
    // Past the size limit: refused before anything is read (a sparse file).
    fs::path huge = dir.Write("huge.txt", "");
    fs::resize_file(huge, 256u * 1024 * 1024 + 1);
    struct Row {
        fs::path file;
        std::vector<std::string> switches;
        int status;
        std::string error;
        std::string drawn; // a text call in the recording
    };
    const Row rows[] = {
        { text, { "/Q", "/E" }, 0, "", "text=\"notes\"" },
        // Without a window system the options dialog confirms itself.
        { text, { "/E" }, 0, "", "text=\"notes\"" },
        { rtf, { "/Q", "/E" }, 0, "", "text=\"Dear reader\"" },
        { empty, { "/Q", "/E" }, 2, "tallowin: Invalid file type: " + empty.string() + "\n", "" },
        { missing, { "/Q", "/E" }, 2, "tallowin: Unable to open file: " + missing.string() + " (not found)\n", "" },
        { workbook, { "/Q", "/E" }, 0, "", "text=\"1,234,567.89\"" },
        { longFile, { "/Q", "/E" }, 0, "", "text=\"line 19999 of the log\"" },
        { huge, { "/Q", "/E" }, 2, "tallowin: File too large to print (over 256 MB): " + huge.string() + "\n", "" },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.file.string() + " " + row.switches.back());
        std::vector<std::string> arguments { "/F", Backslashed(row.file) };
        arguments.insert(arguments.end(), row.switches.begin(), row.switches.end());
        const testsupport::ProgramOutcome run = Run(arguments, dir / "out.txt");
        const std::string recording = ReadFileText(dir / "out.txt");
        EXPECT_EQ(run.status, row.status);
        EXPECT_EQ(run.err, row.error);
        EXPECT_NE(recording.find(row.drawn), std::string::npos);
        if (row.file == longFile) {
            EXPECT_EQ(Count(recording, "ExtTextOut "), 20000u);
            EXPECT_GT(Count(recording, "StartPage "), 200u);
        }
    }
}

// The cache of font matches changes no byte of the pages: a text and a
// Japanese e-mail (whose glyphs come from a fallback face) print the same
// PDF with the cache off, cold and warm.
TEST_F(EndToEndTest, TheFontCacheChangesNoByteOfThePages)
{
    const fs::path mail = fs::path(SAMPLES_DIR) / ".." / "maildir" / "new" / "1764936000.M400004P4242.tallowin";
    const std::vector<std::vector<std::string>> jobs = {
        { "--file=" + (fs::path(SAMPLES_DIR) / "utf8-three-scripts.txt").string(), "/Q", "/E" },
        { "--quick", "--mail", mail.string() },
    };
    for (size_t job = 0; job < jobs.size(); ++job) {
        SCOPED_TRACE(jobs[job][0] + " " + jobs[job][1]);
        const fs::path cache = dir / ("cache-" + std::to_string(job));
        std::vector<std::string> pages;
        for (const char* setting : { "0", "1", "1" }) {
            const testsupport::ProgramOutcome outcome = Run(jobs[job], dir / "job.pdf",
                { { "PLOTWISE_FONT_CACHE", setting }, { "XDG_CACHE_HOME", cache.string() },
                    { "SOURCE_DATE_EPOCH", "1764921600" },
                    { "TALLOWIN_MAILSTORES", (dir / "no-stores.conf").string() } });
            ASSERT_EQ(outcome.status, 0) << outcome.err;
            pages.push_back(ReadFileText(dir / "job.pdf"));
        }
        EXPECT_TRUE(pages[0].starts_with("%PDF-"));
        EXPECT_EQ(pages[1], pages[0]) << "cold";
        EXPECT_EQ(pages[2], pages[0]) << "warm";
        EXPECT_TRUE(fs::exists(cache / "tallowin" / "font-matches"));
    }
}

// An interrupted print leaves no unfinished file behind, keeps the file it
// would have replaced, and ends with the status of a cancelled print.
TEST_F(EndToEndTest, AnInterruptedPrintRemovesItsUnfinishedFile)
{
    std::string log;
    for (int i = 0; i < 200000; ++i)
        log += "line " + std::to_string(i) + " of a long log\n";
    fs::path file = dir.Write("long.txt", log);
    fs::path out = dir.Write("out.pdf", "the earlier print");
    setenv("TALLOWIN_REGISTRY", (dir / "registry.reg").c_str(), 1);
    for (int signal : { SIGTERM, SIGINT, SIGHUP }) {
        SCOPED_TRACE(signal);
        pid_t child = Spawn({ "--file=" + file.string(), "--output=" + out.string(), "/Q", "/E" });
        ASSERT_GE(child, 0);
        // Wait for the unfinished file to appear, then interrupt.
        bool started = false;
        for (int i = 0; i < 60000 && !started; ++i) {
            for (const auto& entry : fs::directory_iterator(dir.Path()))
                started = started || entry.path().filename().string().starts_with(".out.pdf.");
            if (!started)
                ::usleep(500);
        }
        ASSERT_TRUE(started) << "the print never began its file";
        ::kill(child, signal);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status)) << "ended by the signal itself";
        EXPECT_EQ(WEXITSTATUS(status), 63);
        for (const auto& entry : fs::directory_iterator(dir.Path()))
            EXPECT_FALSE(entry.path().filename().string().starts_with(".out.pdf.")) << entry.path();
        EXPECT_EQ(ReadFileText(out), "the earlier print");
    }
}

// Tallowin in a pipe: the document from standard input, the pages to
// standard output, and nothing left behind in the temporary folder.
TEST_F(EndToEndTest, ADocumentFromStandardInputPrintsToStandardOutput)
{
    const fs::path pages = dir / "piped.pdf";
    const std::string command = "printf 'piped line\\n' | TALLOWIN_REGISTRY='" + (dir / "registry.reg").string()
        + "' TMPDIR='" + dir.Path().string() + "' '" + TALLOWIN_PROGRAM
        + "' --file=- --output=- --quick --exit-codes > '" + pages.string() + "'";
    int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_TRUE(ReadFileText(pages).starts_with("%PDF-"));
    for (const auto& entry : fs::directory_iterator(dir.Path()))
        EXPECT_FALSE(entry.path().filename().string().starts_with("tallowin-")) << entry.path();
}

// On a terminal the run says where the pages went; --quiet and a pipe (every
// other case here) say nothing.
TEST_F(EndToEndTest, ATerminalIsToldWhereThePagesWent)
{
    fs::path text = dir.Write("minutes.txt", "minutes\n");
    fs::path pdf = dir / "minutes.pdf";
    setenv("TALLOWIN_REGISTRY", (dir / "registry.reg").c_str(), 1);
    for (bool quiet : { false, true }) {
        SCOPED_TRACE(quiet ? "--quiet" : "told");
        int terminal = -1;
        pid_t child = Spawn(
            { "--file=" + text.string(), "--output=" + pdf.string(), "/Q", "/E", quiet ? "--quiet" : "/Q" }, &terminal);
        ASSERT_GE(child, 0);
        std::string said;
        char buffer[256];
        for (ssize_t got; (got = ::read(terminal, buffer, sizeof buffer)) > 0;)
            said.append(buffer, static_cast<std::size_t>(got));
        ::close(terminal);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << said;
        EXPECT_EQ(said.find("printed 1 page to " + pdf.string()) != std::string::npos, !quiet) << said;
    }
}

// In-process: a print-only start with /E whose user cancels the plain-text
// options dialog ends as cancelled, 63, and prints nothing.
TEST(PrintOnlyDialogTest, CancelledOptionsEndAsCancelled)
{
    testsupport::TempFolder dir;
    const std::string path = Backslashed(dir.Write("notes.txt", "notes\n"));
    setenv("PLOTWISE_OUTPUT", (dir / "out.txt").c_str(), 1);
    setenv("TALLOWIN_REGISTRY", (dir / "registry.reg").c_str(), 1);
    setenv("LANG", "en_US.UTF-8", 1);

    struct Row {
        int pressed;
        int status;
        bool printed;
    };
    const Row rows[] = { { platform::kCancelCommand, 63, false }, { platform::kPlainTextPrintButton, 0, true } };
    for (const Row& row : rows) {
        fs::remove(dir / "out.txt");
        core::ResetAppSettings();
        core::ResetRunOptions();
        platform::ScriptedDialogHost host({ platform::DialogAction::Press(row.pressed) });
        platform::SetDialogHost(&host);
        std::string line = "/F " + path + " /E";
        std::u16string commandLine(line.begin(), line.end());
        int status = shell::WinMain(platform::ProgramModule(), nullptr, commandLine.c_str(), 0);
        platform::SetDialogHost(nullptr);
        EXPECT_EQ(host.Runs(), 1) << line;
        EXPECT_EQ(status, row.status) << line;
        EXPECT_EQ(fs::exists(dir / "out.txt"), row.printed) << line;
    }
}

} // namespace
