#pragma once

// The program's one top-level window, as far as the start-up sequence needs
// it: a class is registered and the window created from it. Until the
// interactive window exists the window system is headless: registering and
// creating always succeed and nothing is shown. The interactive window, and
// tests, install their own.

#include "Module.h"

#include <cstdint>

namespace shell {

using WindowHandle = void*;

// The class the main window is created from.
struct WindowClass {
    std::uint32_t style = 0;
    platform::ModuleHandle module = nullptr;
    std::int32_t iconId = 0;
    const char16_t* className = nullptr;
};

class WindowSystem {
public:
    virtual ~WindowSystem() = default;
    // False when the class cannot be registered.
    virtual bool RegisterClassW(const WindowClass& windowClass) = 0;
    // The new visible top-level window of default position and size; null
    // when it cannot be created.
    virtual WindowHandle CreateWindowExW(
        const char16_t* className, const char16_t* title, platform::ModuleHandle module)
        = 0;
};

// The window system in use; the headless one unless another was installed.
WindowSystem& CurrentWindowSystem();

// Installs a window system (not owned); null restores the headless one.
void SetWindowSystem(WindowSystem* system);

// The main window; null until created.
WindowHandle MainWindow();
void SetMainWindow(WindowHandle window);

} // namespace shell
