// The workbook printer, and the outcome of its print job for the print-only
// start.
#include "Printers.h"

#include <PrintWorkbook.h>

namespace shell {

int PrintWorkbook(WindowHandle window, platform::ModuleHandle resources, const char16_t* path)
{
    return spreadsheet::PrintWorkbook(window, resources, path);
}

} // namespace shell
