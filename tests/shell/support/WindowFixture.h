#pragma once

// What a start of the main window needs in a test, all in a fresh folder: a
// documents folder, one mail store, the settings file and the printing
// library's recording. Message boxes are recorded; dialogs run a script; the
// message loop of the window system is a script too.

#include "AppSettings.h"
#include "DialogHost.h"
#include "MainWindow.h"
#include "MessageBox.h"
#include "TempFolder.h"
#include "WindowSystem.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace testsupport {

// A window system whose message loop is what a person does while the main
// window is shown; the window is closed after the script.
template <typename Self> class ScriptedLoop : public platform::WindowModel {
public:
    int RunMessageLoop() override
    {
        if (script)
            script(static_cast<Self&>(*this), shell::MainWindow());
        if (!QuitPosted())
            ChooseCommand(shell::MainWindow(), shell::kCmdExit);
        return WindowModel::RunMessageLoop();
    }

    std::function<void(Self&, shell::WindowHandle)> script;
};

class WindowFixture : public ::testing::Test {
protected:
    // The store is named `store` and holds a copy of `maildir`, or nothing.
    void SetUpFolders(const char* store, const std::filesystem::path& maildir = {})
    {
        std::filesystem::create_directories(dir_ / "docs");
        if (maildir.empty()) {
            for (const char* sub : { "cur", "new", "tmp" })
                std::filesystem::create_directories(dir_ / "Maildir" / sub);
        } else {
            std::filesystem::copy(maildir, dir_ / "Maildir", std::filesystem::copy_options::recursive);
        }
        std::ofstream(dir_ / "stores.conf") << store << " = " << (dir_ / "Maildir").string() << "\n";
        setenv("TALLOWIN_MAILSTORES", (dir_ / "stores.conf").c_str(), 1);
        setenv("TALLOWIN_REGISTRY", (dir_ / "registry.reg").c_str(), 1);
        setenv("TALLOWIN_DOCUMENTS", (dir_ / "docs").c_str(), 1);
        setenv("XDG_RUNTIME_DIR", (dir_ / "runtime").c_str(), 1);
        setenv("PLOTWISE_OUTPUT", Recording().c_str(), 1);
        platform::SetDialogHost(&dialogs_);
        platform::SetMessageBoxHost([this](std::u16string_view text, std::u16string_view) {
            messages_.emplace_back(text);
            return platform::IDOK;
        });
    }
    void TearDown() override
    {
        platform::SetMessageBoxHost({});
        platform::SetDialogHost(nullptr);
        platform::SetWindowSystem(nullptr);
        for (const char* name :
            { "TALLOWIN_MAILSTORES", "TALLOWIN_REGISTRY", "TALLOWIN_DOCUMENTS", "XDG_RUNTIME_DIR", "PLOTWISE_OUTPUT" })
            unsetenv(name);
        core::ResetAppSettings();
        core::ResetRunOptions();
    }

    std::filesystem::path Recording() const { return dir_ / "out.txt"; }

    TempFolder dir_;
    platform::ScriptedDialogHost dialogs_ { {} };
    std::vector<std::u16string> messages_;
};

} // namespace testsupport
