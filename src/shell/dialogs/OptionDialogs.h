#pragma once

// The option dialogs the window opens besides the plain-text one: the
// resize dialog (template 108), the e-mail font options (109) and the
// start-up screen (103, also the About box).

#include "Dialog.h"

#include <cstdint>

namespace shell {

// A scale chosen takes effect in the settings at once; OK and Cancel both
// save it and update the scale, so a choice made before Cancel stays.
std::intptr_t ResizeDialogProc(
    platform::DialogHandle dialog, unsigned message, std::uintptr_t wParam, std::intptr_t lParam);

// The header order, faces, sizes and styles of e-mail printing. OK and
// Cancel both apply and save every change.
std::intptr_t MailFontDialogProc(
    platform::DialogHandle dialog, unsigned message, std::uintptr_t wParam, std::intptr_t lParam);

// OK stores whether the screen shows at the next start, saving only when
// that changed.
std::intptr_t StartupDialogProc(
    platform::DialogHandle dialog, unsigned message, std::uintptr_t wParam, std::intptr_t lParam);

} // namespace shell
