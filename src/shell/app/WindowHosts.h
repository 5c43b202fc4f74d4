#pragma once

// Puts a window system in charge for as long as this object lives: it shows
// the windows, and its message boxes, busy cursor and dialog host replace
// the windowless ones. Restores the headless defaults when it ends.

#include "WindowSystem.h"

#include <memory>

namespace shell {

class InstalledWindowSystem {
public:
    explicit InstalledWindowSystem(std::unique_ptr<platform::WindowModel> system);
    ~InstalledWindowSystem();
    InstalledWindowSystem(const InstalledWindowSystem&) = delete;
    InstalledWindowSystem& operator=(const InstalledWindowSystem&) = delete;

    platform::WindowModel& System() { return *system_; }

private:
    std::unique_ptr<platform::WindowModel> system_;
};

} // namespace shell
