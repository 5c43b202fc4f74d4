#pragma once

// A window system whose message loop is a script: what a person does while
// the main window is shown. The window is closed after the script.

#include "MainWindow.h"
#include "WindowSystem.h"

#include <functional>

namespace testsupport {

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

} // namespace testsupport
