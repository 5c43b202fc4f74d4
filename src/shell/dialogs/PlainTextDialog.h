#pragma once

// The plain-text options dialog (template 104): face, size, bold, italic and
// tab size of plain-text printing. "Print Plain Text" (or the caption's OK)
// applies the choices to the settings in memory, without saving them, and
// sets the result flag; "Cancel" marks the print job as cancelled.

#include "Dialog.h"

#include <cstdint>

namespace shell {

std::intptr_t PlainTextDialogProc(
    platform::DialogHandle dialog, unsigned message, std::uintptr_t wParam, std::intptr_t lParam);

// 1 when the dialog ended with "Print Plain Text", 0 otherwise; cleared by
// the caller before the dialog runs.
int& PlainTextDialogResult();

} // namespace shell
