#pragma once

// The Qt window system lives in the module tallowinwindow.so, loaded only
// by an interactive start, so that a print-only start never loads Qt.

#include "WindowSystem.h"

#include <string>

namespace platform {

inline constexpr const char* kWindowModuleFile = "tallowinwindow.so";

// The module's one export: opens the connection to the display and returns
// the window system (owned by the caller), or null with a one-line reason in
// `reason` (at least reasonSize bytes) when there is no display to show on.
using CreateWindowSystemFunction = WindowModel* (*)(char* reason, std::size_t reasonSize);

enum class WindowSystemStart { Started, NoDisplay, ModuleMissing };

struct LoadedWindowSystem {
    WindowSystemStart Start = WindowSystemStart::ModuleMissing;
    std::unique_ptr<WindowModel> System;
    std::string Reason; // why it did not start
};

// Loads the module and starts its window system. The module stays loaded for
// the rest of the process.
LoadedWindowSystem LoadWindowSystem();

} // namespace platform
