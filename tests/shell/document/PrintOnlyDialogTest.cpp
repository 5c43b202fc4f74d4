// A print-only start whose user cancels the plain-text options dialog ends
// as cancelled: 63 with /E, 0 without, and nothing is printed.

#include "AppSettings.h"
#include "DialogHost.h"
#include "DialogResourceIds.h"
#include "Module.h"
#include "TempFolder.h"
#include "WinMain.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>

// Fontconfig keeps its configuration for the life of the process; the
// printing library does not tear it down, and that is not a leak of ours.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}

namespace {

namespace fs = std::filesystem;

TEST(PrintOnlyDialogTest, CancelledOptionsEndAsCancelled)
{
    testsupport::TempFolder dir;
    std::string path = dir.Write("notes.txt", "notes\n").string();
    std::replace(path.begin(), path.end(), '/', '\\');
    setenv("PLOTWISE_OUTPUT", (dir / "out.txt").c_str(), 1);
    setenv("TALLOWIN_REGISTRY", (dir / "registry.reg").c_str(), 1);
    setenv("LANG", "en_US.UTF-8", 1);

    struct Row {
        const char* switches;
        int pressed;
        int status;
        bool printed;
    };
    const Row rows[] = {
        { " /E", platform::kCancelCommand, 63, false },
        { "", platform::kCancelCommand, 0, false },
        { " /E", platform::kPlainTextPrintButton, 0, true },
    };
    for (const Row& row : rows) {
        fs::remove(dir / "out.txt");
        core::ResetAppSettings();
        core::ResetRunOptions();
        platform::ScriptedDialogHost host({ platform::DialogAction::Press(row.pressed) });
        platform::SetDialogHost(&host);
        std::string line = "/F " + path + row.switches;
        std::u16string commandLine(line.begin(), line.end());
        int status = shell::WinMain(platform::ProgramModule(), nullptr, commandLine.c_str(), 0);
        platform::SetDialogHost(nullptr);
        EXPECT_EQ(host.Runs(), 1) << line;
        EXPECT_EQ(status, row.status) << line;
        EXPECT_EQ(fs::exists(dir / "out.txt"), row.printed) << line;
    }
}

} // namespace
