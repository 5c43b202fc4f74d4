// The main window's handle, apart from the window procedure so that the
// document and plain-text code can reach the window without linking the
// lists and their printers.

#include "MainWindow.h"

namespace shell {
namespace {

WindowHandle mainWindow = nullptr;

} // namespace

WindowHandle MainWindow()
{
    return mainWindow;
}

void SetMainWindow(WindowHandle window)
{
    mainWindow = window;
}

} // namespace shell
