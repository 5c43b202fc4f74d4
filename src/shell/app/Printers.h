#pragma once

// The printers a print-only start hands its file to. The outcome of the job
// a printer ran is the print job's FinalStatus.

#include "MainWindow.h"
#include "Module.h"

namespace shell {

// Prints a document (Pocket Word, RTF or text). Returns 1 when a print job
// ran (its outcome is in printengine::Job().FinalStatus), 0 when the file
// was not printed (the printer has shown why).
int OpenAndPrintDocument(WindowHandle window, platform::ModuleHandle resources, const char16_t* path);

// Prints one sheet of a Pocket Excel workbook; results as above.
int PrintWorkbook(WindowHandle window, platform::ModuleHandle resources, const char16_t* path);

} // namespace shell
