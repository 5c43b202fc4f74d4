#pragma once

// The process entry: chooses the resource module, checks the printing
// library, reads the command line and the settings, creates the main window
// and either prints the file named on the command line or runs interactively.

#include "Module.h"

#include <cstdint>

namespace shell {

// The oldest printing library the program works with.
inline constexpr std::int32_t kMinPrintingLibraryVersion = 2970;

// How a run ends; each has its exit status with and without /E.
enum class Ending {
    PrintingLibraryMissing,
    AnotherCopyRuns,
    WindowCreationFailed,
    NotPrinted,
    Cancelled,
    Failed,
    Printed,
};

// The exit status of an ending, with /E (exitCodeMode 1) or without.
int ExitStatus(Ending ending, std::int32_t exitCodeMode);

// commandLine is the UTF-16 command line without the program name, or null
// for none. Returns the process exit status: 0, 1, 2, 63 or 995.
int WinMain(
    platform::ModuleHandle instance, platform::ModuleHandle prevInstance, const char16_t* commandLine, int showState);

// The module WinMain was started with.
platform::ModuleHandle ProgramInstance();

// The version the printing library reported at start-up; 0 before.
std::int32_t PrintingLibraryVersion();

// Unloads the printing library loaded at start-up (the end of an
// interactive run; tests that run WinMain more than once).
void ReleasePrintingLibrary();

} // namespace shell
