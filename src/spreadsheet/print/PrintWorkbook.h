#pragma once

// Printing one sheet of a Pocket Excel workbook: the file is read, the
// options dialog offered, the print range measured and scaled, and the
// range printed in pages across, then down, each with its headings,
// gridlines and cells.

#include <Dialog.h>
#include <Module.h>

#include <cstdint>

namespace spreadsheet {

// Prints the sheet the settings choose from the workbook at `path`. 0 when
// the workbook could not be read (its message has been shown); 1 otherwise,
// also when the user cancelled: the print job's FinalStatus tells.
int PrintWorkbook(platform::WindowHandle window, platform::ModuleHandle resourceModule, const char16_t* path);

// Printer units for a column width in 1/256 of the "0" width of the current
// cell format's font; 0 for a column too narrow to show.
std::int32_t ColumnWidthToUnits(std::int32_t width);

} // namespace spreadsheet
