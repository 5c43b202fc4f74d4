#pragma once

// Opening a document file for printing: a Pocket Word file, an RTF file or
// a text file. The file is mapped, recognised by its first bytes, converted
// by the document converter and handed to the RTF reader or to the
// plain-text printer.

#include "Dialog.h"
#include "Module.h"

namespace shell {

// Prints the document at `path` (the full UTF-16 file name). Returns 1 when
// it was handed to a printer, whatever the outcome of the print job (see
// FinalStatus); 0 when it could not be opened or converted, after showing
// "Unable to open file: " or "Invalid file type: " with the path. Clears
// PlainTextOnce.
int OpenAndPrintDocument(platform::WindowHandle parent, platform::ModuleHandle module, const char16_t* path);

} // namespace shell
