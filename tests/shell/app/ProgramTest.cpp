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
// A language library that carries only a few entries of its own.
const fs::path kSparseLanguage = TALLOWIN_SPARSE_LANGUAGE;

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
        const std::string& locale = "C", const fs::path& program = TALLOWIN_PROGRAM, const fs::path& input = {})
    {
        return testsupport::RunProgram(program, arguments,
            {
                { "TALLOWIN_LIBDIR", libraryDirectory.string() },
                { "TALLOWIN_REGISTRY", registry_.string() },
                { "XDG_RUNTIME_DIR", (directory_ / "runtime").string() },
                { "PLOTWISE_OUTPUT", (directory_ / "out.pdf").string() },
                // No display: an interactive start cannot show its window.
                { "DISPLAY", "" },
                { "WAYLAND_DISPLAY", "" },
                { "QT_QPA_PLATFORM", "" },
                { "LC_ALL", locale },
                { "LANG", locale },
            },
            directory_.Path(), input);
    }

    testsupport::TempFolder directory_;
    const fs::path registry_ = directory_ / "registry.reg";
};

TEST_F(ProgramTest, StatusesAndMessages)
{
    ASSERT_TRUE(fs::exists(kLibraryDirectory / "libplotwise.so")) << kLibraryDirectory;
    fs::create_directories(directory_ / "empty");
    std::string tooLong = "/F \\a.txt /E ";
    tooLong.resize(260, 'x');
    struct Row {
        std::vector<std::string> arguments;
        int status;
        const char* saying;
        fs::path libraries = kLibraryDirectory;
    };
    // A file that cannot be opened is reported and not printed: 2 with /E,
    // 0 without; an interactive start without a display ends at once, with
    // the window creation failure of /E as a shell sees 995. A missing or
    // too old printing library ends the run at once, whatever it asked.
    const Row rows[] = {
        { { "--file=/no/such/file.txt", "--exit-codes" }, 2, kUnableToOpenFileText },
        { { "/A", "\\no\\such\\book.pxl", "/E" }, 2, "Unable to open PXL file : " },
        { { "/E", "/F" }, 2, kUnableToOpenFileText },
        { {}, 0, kNoDisplayText },
        { { "/E" }, 995 & 0xFF, kNoDisplayText },
        { { tooLong }, 0, "ignored as a whole" },
        { { "--frobnicate" }, 64, "unknown option --frobnicate" },
        { { "/F", "\\missing.txt", "/E" }, 0, kMissingLibraryText, directory_ / "empty" },
        { { "/XG0", "/E" }, 0, kMissingLibraryText, fs::path(TALLOWIN_PLOTWISE_STUBS) / "old" },
        { { "/F", "\\missing.txt" }, 0, kMissingLibraryText, kOldLibraryDirectory },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.libraries.string() + " " + std::to_string(row.arguments.size()) + " arguments");
        if (row.libraries == kOldLibraryDirectory && !fs::exists(kOldLibraryDirectory / "libplotwise.so"))
            continue; // the deliberately old library is built apart from this test
        fs::remove(registry_);
        ProgramOutcome outcome = Run(row.arguments, row.libraries);
        EXPECT_EQ(outcome.status, row.status) << outcome.err;
        EXPECT_NE(outcome.err.find(row.saying), std::string::npos) << outcome.err;
        const bool missing = row.saying == kMissingLibraryText;
        EXPECT_EQ(outcome.err.find(kMissingLibraryText) != std::string::npos, missing) << outcome.err;
        if (missing) {
            EXPECT_FALSE(fs::exists(registry_)) << "the command line was not read";
        }
        EXPECT_EQ(outcome.err.find(kPendingPrinterText), std::string::npos) << outcome.err;
    }
    ProgramOutcome version = Run({ "--version" });
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.rfind("tallowin ", 0), 0u) << version.out;

    // A message from standard input prints. (A document from it prints in
    // the end-to-end pipe case; a message without headers fails as a file's does.)
    const fs::path pages = directory_ / "pages.txt";
    const fs::path input
        = directory_.Write("input", "From: ann@example.org\nSubject: Lunch plans\n\nSee you at noon.\n");
    ProgramOutcome mail
        = Run({ "--mail=-", "--quick", "--output=" + pages.string() }, kLibraryDirectory, "C", TALLOWIN_PROGRAM, input);
    EXPECT_EQ(mail.status, 0) << mail.err;
    EXPECT_NE(testsupport::ReadFileText(pages).find("See you at noon."), std::string::npos);
}

// --help and the refusals of the command line speak the language of the
// chosen language library, and English without one or where the library
// lacks the entry. The program's name is the one it was called by.
TEST_F(ProgramTest, HelpAndRefusalsInTheLanguageOfTheLanguageLibrary)
{
    const fs::path noLanguage = directory_ / "no-language";
    fs::create_directories(noLanguage);
    const fs::path sparse
        = directory_.Write("sparse/tallowinlang07.so", testsupport::ReadFileText(kSparseLanguage)).parent_path();
    const fs::path renamed = directory_ / "drucken";
    fs::create_symlink(TALLOWIN_PROGRAM, renamed);

    const std::string englishHelp = "Usage: tallowin [SWITCHES] [OPTIONS]\n";
    struct Row {
        const char* locale;
        fs::path libraries;
        std::vector<std::string> arguments;
        std::string out; // how standard output starts
        std::string err;
        fs::path program = TALLOWIN_PROGRAM;
    };
    const Row rows[] = {
        { "de_DE.UTF-8", kLibraryDirectory, { "--help" }, "Aufruf: tallowin [SCHALTER] [OPTIONEN]\n", "" },
        { "de_AT.UTF-8", kLibraryDirectory, { "--bogus%s" }, "",
            "tallowin: unbekannte Option --bogus%s (siehe --help)\n" },
        { "de_DE.UTF-8", kLibraryDirectory, { "--paper=b7" }, "",
            "tallowin: --paper: Geben Sie a3, a4, a5, legal, letter oder eine Gr\u00f6\u00dfe wie 210x297mm an "
            "(siehe --help)\n" },
        { "de_DE.UTF-8", kLibraryDirectory, { "--output=/no/such/folder/x.pdf" }, "",
            "drucken: --output: /no/such/folder/x.pdf: Der Ordner /no/such/folder existiert nicht (siehe --help)\n",
            renamed },
        { "de_DE.UTF-8", kLibraryDirectory, { "-h" }, "Aufruf: drucken [SCHALTER]", "", renamed },
        { "C", kLibraryDirectory, { "--help" }, englishHelp, "" },
        { "C", kLibraryDirectory, { "--bogus%s" }, "", "tallowin: unknown option --bogus%s (see --help)\n" },
        { "C", kLibraryDirectory, { "--paper=b7" }, "",
            "tallowin: --paper: use a3, a4, a5, legal, letter or a size like 210x297mm (see --help)\n" },
        { "de_DE.UTF-8", noLanguage, { "--help" }, englishHelp, "" },
        { "de_DE.UTF-8", sparse, { "--help" }, englishHelp, "" },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.locale) + " " + row.libraries.filename().string() + " " + row.arguments[0]);
        ProgramOutcome outcome = Run(row.arguments, row.libraries, row.locale, row.program);
        EXPECT_EQ(outcome.status, row.err.empty() ? 0 : 64);
        EXPECT_EQ(outcome.err, row.err);
        EXPECT_EQ(outcome.out.rfind(row.out, 0), 0u) << outcome.out.substr(0, 80);
        if (!row.out.empty()) {
            EXPECT_GT(outcome.out.size(), 4000u);
        }
    }
}

} // namespace
