// Runs the built program as a user would, printing to the printing library's
// recording of drawing calls, and checks exit statuses, texts and messages.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct ProgramRun {
    int Status = -1;
    std::string Recording;
    std::string Error;
};

std::string ReadAll(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
}

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
    void SetUp() override
    {
        dir = fs::temp_directory_path()
            / ("tallowin-e2e-" + std::to_string(getpid()) + "-"
                + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir);
        // Fontconfig keeps its configuration for the life of the process; the
        // printing library does not tear it down, and that is not a leak of
        // the program's.
        std::ofstream(dir / "leaks.supp") << "leak:libfontconfig.so\n";
    }
    void TearDown() override { fs::remove_all(dir); }

    fs::path Write(const std::string& name, std::string_view bytes)
    {
        std::ofstream(dir / name, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return dir / name;
    }

    ProgramRun Start(std::vector<std::string> arguments)
    {
        fs::path recording = dir / "out.txt";
        fs::path error = dir / "stderr.txt";
        fs::remove(recording);
        pid_t child = fork();
        if (child == 0) {
            setenv("PLOTWISE_OUTPUT", recording.c_str(), 1);
            setenv("TALLOWIN_REGISTRY", (dir / "registry.reg").c_str(), 1);
            setenv("LANG", "en_US.UTF-8", 1);
            setenv("LC_ALL", "en_US.UTF-8", 1);
            setenv("LSAN_OPTIONS", ("print_suppressions=0:suppressions=" + (dir / "leaks.supp").string()).c_str(), 1);
            FILE* redirected = std::freopen(error.c_str(), "w", stderr);
            (void)redirected;
            std::vector<char*> argv { const_cast<char*>(TALLOWIN_PROGRAM) };
            for (std::string& argument : arguments)
                argv.push_back(argument.data());
            argv.push_back(nullptr);
            execv(TALLOWIN_PROGRAM, argv.data());
            _exit(126);
        }
        int status = 0;
        waitpid(child, &status, 0);
        ProgramRun run;
        run.Status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        run.Recording = ReadAll(recording);
        run.Error = ReadAll(error);
        return run;
    }

    fs::path dir;
};

fs::path Sample(const char* name)
{
    return fs::path(SAMPLES_DIR) / name;
}

TEST_F(EndToEndTest, SamplesPrintTheirOwnCharacters)
{
    struct Row {
        const char* sample;
        std::vector<std::string> texts;
    };
    const Row rows[] = {
        { "cp1252-accents.txt", { "Café crème", "4,50 € a cup", "“grüße aus Köln”", "½ + ¼ = ¾" } },
        { "utf8-three-scripts.txt",
            { "Été, naïve,", "façade.", "Съешь же ещё этих мягких", "Ξεσκεπάζω την ψυχοφθόρα βδελυγμία.",
                "いろはにほへと ちりぬるを" } },
        { "utf16le-bom.txt", { "Straße, Москва, Αθήνα", "The last line ends here." } },
        { "no-final-line-end.txt", { "The second line has no line end, and still prints." } },
    };
    for (const Row& row : rows) {
        ProgramRun run = Start({ "/F", Backslashed(Sample(row.sample)), "/Q", "/E" });
        EXPECT_EQ(run.Status, 0) << row.sample << run.Error;
        for (const std::string& text : row.texts)
            EXPECT_NE(run.Recording.find(text), std::string::npos) << row.sample << ": " << text;
        EXPECT_EQ(run.Error, "") << row.sample;
    }
}

TEST_F(EndToEndTest, FormFeedsStartPagesAndTabsAlign)
{
    ProgramRun run = Start({ "/F", Backslashed(Sample("formfeeds-and-tabs.txt")), "/Q", "/E" });
    EXPECT_EQ(run.Status, 0);
    EXPECT_EQ(Count(run.Recording, "StartPage "), 3u);
    // The three rows of the table start their second column at one position.
    std::vector<std::string> columnStarts;
    for (const char* cell : { "text=\"Count\"", "text=\"12\"", "text=\"1\"" }) {
        std::size_t at = run.Recording.find(cell);
        ASSERT_NE(at, std::string::npos) << cell;
        std::size_t line = run.Recording.rfind('\n', at) + 1;
        std::string call = run.Recording.substr(line, at - line);
        columnStarts.push_back(call.substr(0, call.find(" y=")));
    }
    EXPECT_EQ(columnStarts[0], columnStarts[1]);
    EXPECT_EQ(columnStarts[0], columnStarts[2]);
}

TEST_F(EndToEndTest, ExitStatusesWithAndWithoutE)
{
    fs::path text = Write("notes.txt", "notes\n");
    fs::path empty = Write("empty.txt", "");
    fs::path missing = dir / "missing.txt";
    fs::path rtf = Write("letter.rtf", "{\\rtf1 Dear reader}");
    struct Row {
        fs::path file;
        bool exitCodes;
        int status;
        std::string error;
    };
    const Row rows[] = {
        { text, true, 0, "" },
        { text, false, 1, "" },
        { empty, true, 2, "Alert... Invalid file type: " + Backslashed(empty) + "\n" },
        { empty, false, 0, "Alert... Invalid file type: " + Backslashed(empty) + "\n" },
        { missing, true, 2, "Alert... Unable to open file: " + Backslashed(missing) + "\n" },
        { missing, false, 0, "Alert... Unable to open file: " + Backslashed(missing) + "\n" },
        { dir, true, 2, "Alert... Unable to open file: " + Backslashed(dir) + "\n" },
    };
    for (const Row& row : rows) {
        std::vector<std::string> arguments { "/F", Backslashed(row.file), "/Q" };
        if (row.exitCodes)
            arguments.push_back("/E");
        ProgramRun run = Start(arguments);
        EXPECT_EQ(run.Status, row.status) << row.file << row.exitCodes;
        EXPECT_EQ(run.Error, row.error) << row.file << row.exitCodes;
    }
    ProgramRun letter = Start({ "/F", Backslashed(rtf), "/Q", "/E" });
    EXPECT_EQ(letter.Status, 0);
    EXPECT_EQ(letter.Error, "");
    EXPECT_NE(letter.Recording.find("text=\"Dear reader\""), std::string::npos);
}

// Without a window system the options dialog confirms itself.
TEST_F(EndToEndTest, WithoutQuickPrintTheDialogConfirmsItself)
{
    fs::path text = Write("notes.txt", "notes without quick print\n");
    ProgramRun run = Start({ "/F", Backslashed(text), "/E" });
    EXPECT_EQ(run.Status, 0) << run.Error;
    EXPECT_NE(run.Recording.find("text=\"notes without quick print\""), std::string::npos);
}

TEST_F(EndToEndTest, LongFileFillsManyPages)
{
    std::string log;
    for (int i = 0; i < 20000; ++i)
        log += "line " + std::to_string(i) + " of the log\n";
    fs::path file = Write("log.txt", log);
    ProgramRun run = Start({ "--file=" + file.string(), "/Q", "/E" });
    EXPECT_EQ(run.Status, 0);
    EXPECT_EQ(Count(run.Recording, "ExtTextOut "), 20000u);
    EXPECT_GT(Count(run.Recording, "StartPage "), 200u);
    EXPECT_NE(run.Recording.find("text=\"line 19999 of the log\""), std::string::npos);
}

} // namespace
