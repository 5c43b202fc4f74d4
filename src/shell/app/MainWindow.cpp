#include "MainWindow.h"

namespace shell {
namespace {

class HeadlessWindowSystem final : public WindowSystem {
public:
    bool RegisterClassW(const WindowClass&) override { return true; }
    WindowHandle CreateWindowExW(const char16_t*, const char16_t*, platform::ModuleHandle) override { return &window_; }

private:
    int window_ = 0;
};

HeadlessWindowSystem headless;
WindowSystem* current = &headless;
WindowHandle mainWindow = nullptr;

} // namespace

WindowSystem& CurrentWindowSystem()
{
    return *current;
}

void SetWindowSystem(WindowSystem* system)
{
    current = system != nullptr ? system : &headless;
}

WindowHandle MainWindow()
{
    return mainWindow;
}

void SetMainWindow(WindowHandle window)
{
    mainWindow = window;
}

} // namespace shell
