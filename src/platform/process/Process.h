#pragma once

// Starting other programs. The handheld starts its help viewer, "peghelp",
// with a command line "file:NAME.htm#ANCHOR" that names a help page in the
// system folder; here that page lives in the program's data folder (help/)
// and opens in the desktop's viewer for web pages (xdg-open).

#include <functional>
#include <string_view>

namespace platform {

// Starts `application` with `commandLine` and does not wait for it. True
// when the program was started; the help viewer is the only program the
// handheld's callers start, so any other is refused.
bool CreateProcessW(std::u16string_view application, std::u16string_view commandLine);

// Tests install a starter that records what would be started; an empty
// function restores the real one.
using ProcessStarter = std::function<bool(std::u16string_view application, std::u16string_view commandLine)>;
void SetProcessStarter(ProcessStarter starter);

} // namespace platform
