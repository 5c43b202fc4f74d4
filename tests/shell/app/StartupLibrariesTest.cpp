// Which shared libraries a run of the program loads. A print run loads only
// what its road needs: GMime only to read e-mail, libxml2 only to read HTML
// mail, libwps only to read a Pocket Word document, librevenge only to read
// RTF or Pocket Word, libcups only to print to a queue, cairo only to draw
// PNG pages or decode pictures, Qt only to show the print dialog on a
// display or the window. The dynamic loader
// lists every library it loads when LD_DEBUG is "files".

#include "ProgramRun.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <sys/wait.h>

namespace {

namespace fs = std::filesystem;

const fs::path kMessage = fs::path(TALLOWIN_SAMPLE_MAILDIR) / "cur" / "1764921600.M100001P4242.tallowin:2,S";
const fs::path kPocketWordDocument = fs::path(TALLOWIN_SAMPLE_POCKETWORD) / "meeting-notes.pwi";

constexpr const char* kMimeLibrary = "libgmime-3.0.so.0";
constexpr const char* kHtmlLibrary = "libxml2.so.2";
constexpr const char* kCupsLibrary = "libcups.so.2";
constexpr const char* kPocketWordLibrary = "libwps-0.4.so.4";
constexpr const char* kDocumentModelLibrary = "librevenge-0.0.so.0";
constexpr const char* kPrintingLibrary = "libplotwise.so";
constexpr const char* kDialogModule = "libplotwise-dialog.so";
constexpr const char* kQtWidgets = "libQt6Widgets.so.6";
constexpr const char* kCairoLibrary = "libcairo.so.2";
constexpr const char* kQueue = "cups:tallowin-no-such-queue";
// A display for the print dialog: Qt's offscreen platform, and the button
// the dialog is to press for the user.
std::string Display(const char* press)
{
    return "DISPLAY=:tallowin QT_QPA_PLATFORM=offscreen PLOTWISE_DIALOG_PRESS=" + std::string(press)
        + " CUPS_SERVER=/nonexistent ";
}

struct RoadRow {
    const char* road;
    std::string output; // PLOTWISE_OUTPUT, in the test's folder unless a queue
    std::string arguments;
    std::vector<const char*> loaded;
    std::vector<const char*> notLoaded;
    std::string environment = "";
    int status = 0; // the dialog's Cancel is a cancelled print
    bool printed = true;
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

TEST(StartupLibrariesTest, EachRoadLoadsOnlyTheLibrariesItNeeds)
{
    testsupport::TempFolder directory;
    const std::string text = "--file='" + directory.Write("small.txt", "One line of text.\n").string() + "' ";
    const std::string pocketWord = "--file='" + kPocketWordDocument.string() + "' /Q /E";
    const std::string rtf
        = "--file='" + directory.Write("letter.rtf", "{\\rtf1 Dear reader,\\par}").string() + "' /Q /E";
    const std::string message = "--quick --mail '" + kMessage.string() + "'";
    const RoadRow rows[] = {
        { "a text to a PDF", "out.pdf", text + "/Q /E", { kPrintingLibrary },
            { kMimeLibrary, kHtmlLibrary, kCupsLibrary, kPocketWordLibrary, kDocumentModelLibrary, kQtWidgets,
                kCairoLibrary } },
        { "a text to PostScript", "out.ps", text + "/Q /E", { kPrintingLibrary },
            { kMimeLibrary, kCupsLibrary, kQtWidgets, kCairoLibrary } },
        { "an RTF document to a PDF", "rtf.pdf", rtf, { kPrintingLibrary, kDocumentModelLibrary },
            { kMimeLibrary, kHtmlLibrary, kCupsLibrary, kPocketWordLibrary, kQtWidgets, kCairoLibrary } },
        { "a Pocket Word document to a PDF", "pwi.pdf", pocketWord, { kPrintingLibrary, kPocketWordLibrary },
            { kMimeLibrary, kCupsLibrary, kQtWidgets } },
        { "a message to a PDF", "mail.pdf", message, { kPrintingLibrary, kMimeLibrary },
            { kHtmlLibrary, kCupsLibrary, kPocketWordLibrary, kQtWidgets, kCairoLibrary } },
        { "a text to a print queue", kQueue, text + "/Q /E", { kPrintingLibrary, kCupsLibrary },
            { kMimeLibrary, kPocketWordLibrary, kQtWidgets }, "", -1 },
        { "a quick print on a display", "quick.pdf", text + "/Q /E", { kPrintingLibrary },
            { kDialogModule, kQtWidgets, kCupsLibrary }, Display("print") },
        { "a print that asks, without a display", "asked.pdf", text + "/E", { kPrintingLibrary },
            { kDialogModule, kQtWidgets, kCupsLibrary } },
        { "a print that asks, on a display", "shown.pdf", text + "/E", { kPrintingLibrary, kDialogModule, kQtWidgets },
            { kMimeLibrary, kPocketWordLibrary }, Display("print") },
        { "a print cancelled in the dialog", "cancelled.pdf", text + "/E", { kDialogModule }, {}, Display("cancel"), 63,
            false },
    };
    for (const RoadRow& row : rows) {
        SCOPED_TRACE(row.road);
        const bool queue = row.output.starts_with("cups:");
        const fs::path output = queue ? fs::path(row.output) : directory / row.output;
        const fs::path err = directory / "stderr.txt";
        const std::string command = row.environment
            + "LD_DEBUG=files TALLOWIN_LIBDIR='" TALLOWIN_LIBRARY_DIRECTORY "' TALLOWIN_REGISTRY='"
            + (directory / "registry.reg").string() + "' PLOTWISE_OUTPUT='" + output.string()
            + "' LC_ALL=C LANG=C '" TALLOWIN_PROGRAM "' " + row.arguments + " > /dev/null 2> '" + err.string() + "'";
        const int status = std::system(command.c_str());
        const std::string said = testsupport::ReadFileText(err);
        ASSERT_NE(said.find("file="), std::string::npos) << "the loader listed nothing:\n" << said;
        for (const char* library : row.loaded)
            EXPECT_TRUE(Loaded(said, library)) << library;
        for (const char* library : row.notLoaded)
            EXPECT_FALSE(Loaded(said, library)) << library;
        if (!queue) {
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == row.status) << status;
            EXPECT_EQ(fs::exists(output), row.printed);
            continue;
        }
        // A queue that does not exist fails with the queue system's reason.
        const std::string failed = "tallowin: cannot print to tallowin-no-such-queue: ";
        const std::size_t at = said.find(failed);
        ASSERT_NE(at, std::string::npos) << said;
        const std::string reason = said.substr(at + failed.size(), said.find('\n', at) - at - failed.size());
        EXPECT_FALSE(reason.empty());
        EXPECT_EQ(reason.find("cannot be loaded"), std::string::npos) << reason;
    }
}

} // namespace
