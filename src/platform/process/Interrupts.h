#pragma once

// How the program ends when it is interrupted (Ctrl-C, SIGTERM from a caller
// or its timeout, SIGHUP from a closed terminal): at once, with the status
// of a cancelled print. The printing library removes its unfinished output
// file first and then hands the signal on to this handler.

#include <string>

namespace platform {

// Installs the handler for SIGINT, SIGTERM and SIGHUP; a signal the program
// was started with ignored (nohup) stays ignored.
void WatchInterrupts();

// The status an interrupted run ends with (until set: 0).
void SetInterruptedExitStatus(int status);

// A file or an empty folder of the program's own that an interrupted run
// removes before it ends (at most four; folders after the files in them).
void RemoveOnInterrupt(const std::string& path);

} // namespace platform
