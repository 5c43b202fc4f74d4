#pragma once

// The printers a print-only start hands its file to, and the outcome of the
// last print job they ran.

#include "MainWindow.h"
#include "Module.h"

#include <cstdint>

namespace shell
{

// Prints a document (Pocket Word, RTF or text). Returns 1 when a print job
// ran (its outcome is in FinalStatus()), 0 when the file was not printed
// (the printer has shown why).
int OpenAndPrintDocument(WindowHandle window, platform::ModuleHandle resources, const char16_t* path);

// Prints one sheet of a Pocket Excel workbook; results as above.
int PrintWorkbook(WindowHandle window, platform::ModuleHandle resources, const char16_t* path);

// The outcome of the last print job: 0 printed, 1 cancelled by the user,
// any other value a failure reported by the printing library.
std::int32_t& FinalStatus();

} // namespace shell
