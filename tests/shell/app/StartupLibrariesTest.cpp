// Which shared libraries a run of the program loads. A print run loads only
// what its road needs: GMime only to read e-mail, libwps only to read a
// Pocket Word document, libcups only to print to a queue, Qt only to show
// the print dialog on a display or the window. The dynamic loader
// lists every library it loads when LD_DEBUG is "files".

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

const fs::path kProgram = TALLOWIN_PROGRAM;
const fs::path kLibraryDirectory = TALLOWIN_LIBRARY_DIRECTORY;
const fs::path kMessage = fs::path(TALLOWIN_SAMPLE_MAILDIR) / "cur" / "1764921600.M100001P4242.tallowin:2,S";
const fs::path kPocketWordDocument = fs::path(TALLOWIN_SAMPLE_POCKETWORD) / "meeting-notes.pwi";

constexpr const char* kMimeLibrary = "libgmime-3.0.so.0";
constexpr const char* kCupsLibrary = "libcups.so.2";
constexpr const char* kPocketWordLibrary = "libwps-0.4.so.4";
constexpr const char* kPrintingLibrary = "libplotwise.so";
constexpr const char* kDialogModule = "libplotwise-dialog.so";
constexpr const char* kQtWidgets = "libQt6Widgets.so.6";
// A display for the print dialog: Qt's offscreen platform, and the button
// the dialog is to press for the user.
const std::string kDisplay
    = "DISPLAY=:tallowin QT_QPA_PLATFORM=offscreen PLOTWISE_DIALOG_PRESS=print CUPS_SERVER=/nonexistent ";
constexpr const char* kWindowLibrary = kQtWidgets;

enum class Input { Text, PocketWord, Message, TextAsked };

struct RoadRow {
    const char* road;
    std::string output; // PLOTWISE_OUTPUT, relative to the test's folder unless a queue
    Input input;
    std::vector<const char*> loaded;
    std::vector<const char*> notLoaded;
    std::string environment = "";
};

class StartupLibrariesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/tallowin-startup-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        directory_ = pattern;
        std::ofstream(directory_ / "small.txt") << "One line of text.\n";
    }
    void TearDown() override { fs::remove_all(directory_); }

    // Runs the program on the row's road and returns what it and the loader
    // said on standard error.
    std::string Run(const RoadRow& row)
    {
        const std::string output = row.output.starts_with("cups:") ? row.output : (directory_ / row.output).string();
        std::string arguments;
        switch (row.input) {
        case Input::Text:
            arguments = "--file='" + (directory_ / "small.txt").string() + "' /Q /E";
            break;
        case Input::TextAsked:
            arguments = "--file='" + (directory_ / "small.txt").string() + "' /E";
            break;
        case Input::PocketWord:
            arguments = "--file='" + kPocketWordDocument.string() + "' /Q /E";
            break;
        case Input::Message:
            arguments = "--quick --mail '" + kMessage.string() + "'";
            break;
        }
        const fs::path err = directory_ / "stderr.txt";
        const std::string command = row.environment + "LD_DEBUG=files TALLOWIN_LIBDIR='" + kLibraryDirectory.string()
            + "' TALLOWIN_REGISTRY='" + (directory_ / "registry.reg").string() + "' PLOTWISE_OUTPUT='" + output
            + "' LC_ALL=C LANG=C '" + kProgram.string() + "' " + arguments + " > /dev/null 2> '" + err.string() + "'";
        std::system(command.c_str());
        std::ifstream in(err);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    fs::path directory_;
};

// The loader names a library by the name it was asked for, a bare name or a
// path: "file=libcups.so.2 [0]; ..." or "file=/.../libplotwise.so [0]; ...".
bool Loaded(const std::string& loaderText, const char* library)
{
    const std::string name = std::string(library) + " [";
    for (std::size_t at = loaderText.find(name); at != std::string::npos; at = loaderText.find(name, at + 1)) {
        if (at > 0 && (loaderText[at - 1] == '=' || loaderText[at - 1] == '/'))
            return true;
    }
    return false;
}

TEST_F(StartupLibrariesTest, EachRoadLoadsOnlyTheLibrariesItNeeds)
{
    const RoadRow rows[] = {
        { "a text to a recording", "out.txt", Input::Text, { kPrintingLibrary },
            { kMimeLibrary, kCupsLibrary, kPocketWordLibrary, kWindowLibrary } },
        { "a text to a PDF", "out.pdf", Input::Text, { kPrintingLibrary },
            { kMimeLibrary, kCupsLibrary, kPocketWordLibrary, kWindowLibrary } },
        { "a Pocket Word document to a PDF", "pwi.pdf", Input::PocketWord, { kPrintingLibrary, kPocketWordLibrary },
            { kMimeLibrary, kCupsLibrary, kWindowLibrary } },
        { "a message to a PDF", "mail.pdf", Input::Message, { kPrintingLibrary, kMimeLibrary },
            { kCupsLibrary, kPocketWordLibrary, kWindowLibrary } },
        { "a text to a print queue", "cups:tallowin-no-such-queue", Input::Text, { kPrintingLibrary, kCupsLibrary },
            { kMimeLibrary, kPocketWordLibrary, kWindowLibrary } },
        { "a quick print on a display", "quick.pdf", Input::Text, { kPrintingLibrary },
            { kDialogModule, kQtWidgets, kCupsLibrary }, kDisplay },
        { "a print that asks, without a display", "asked.pdf", Input::TextAsked, { kPrintingLibrary },
            { kDialogModule, kQtWidgets, kCupsLibrary } },
        { "a print that asks, on a display", "shown.pdf", Input::TextAsked,
            { kPrintingLibrary, kDialogModule, kQtWidgets }, { kMimeLibrary, kPocketWordLibrary }, kDisplay },
    };
    for (const RoadRow& row : rows) {
        SCOPED_TRACE(row.road);
        const std::string text = Run(row);
        ASSERT_NE(text.find("file="), std::string::npos) << "the loader listed nothing:\n" << text;
        for (const char* library : row.loaded)
            EXPECT_TRUE(Loaded(text, library)) << library;
        for (const char* library : row.notLoaded)
            EXPECT_FALSE(Loaded(text, library)) << library;
    }
}

TEST_F(StartupLibrariesTest, AQueueThatDoesNotExistFailsWithTheQueueSystemsReason)
{
    const std::string text = Run({ "a text to a print queue", "cups:tallowin-no-such-queue", Input::Text, {}, {} });
    const std::string said = "plotwise: cannot print to tallowin-no-such-queue: ";
    const std::size_t at = text.find(said);
    ASSERT_NE(at, std::string::npos) << text;
    const std::string reason = text.substr(at + said.size(), text.find('\n', at) - at - said.size());
    EXPECT_FALSE(reason.empty());
    EXPECT_EQ(reason.find("cannot be loaded"), std::string::npos) << reason;
}

} // namespace

namespace {

// The status of the program's run: the dialog's Cancel is a cancelled print.
int Status(const std::string& command)
{
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_F(StartupLibrariesTest, TheDialogsButtonsEndTheRun)
{
    struct Row {
        const char* press;
        const char* switches;
        int status;
        bool printed;
    };
    const Row rows[] = {
        { "cancel", "/E", 63, false },
        { "cancel", "", 0, false },
        { "print", "/E", 0, true },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.press) + " " + row.switches);
        const fs::path output = directory_ / "dialog.pdf";
        fs::remove(output);
        const std::string command = "DISPLAY=:tallowin QT_QPA_PLATFORM=offscreen PLOTWISE_DIALOG_PRESS="
            + std::string(row.press) + " CUPS_SERVER=/nonexistent TALLOWIN_LIBDIR='" + kLibraryDirectory.string()
            + "' TALLOWIN_REGISTRY='" + (directory_ / "registry.reg").string() + "' PLOTWISE_OUTPUT='"
            + output.string() + "' LC_ALL=C LANG=C '" + kProgram.string() + "' --file='"
            + (directory_ / "small.txt").string() + "' " + row.switches + " > /dev/null 2>&1";
        EXPECT_EQ(Status(command), row.status);
        EXPECT_EQ(fs::exists(output), row.printed);
    }
}

} // namespace
