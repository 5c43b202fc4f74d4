#pragma once

// The window system shown with Qt Widgets: the main window, its bottom menu
// bar with the options button and the view buttons, the document list as a
// sortable table of name, date and size that follows changes of its folder,
// message boxes and the busy cursor.

#include "WindowSystem.h"

#include <memory>

namespace platform {

// Connects to the display (QT_QPA_PLATFORM, else X11 when DISPLAY is set,
// else Wayland); null with the reason when there is none.
std::unique_ptr<WindowModel> CreateQtWindowSystem(std::string& reason);

} // namespace platform
