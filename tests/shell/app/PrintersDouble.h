#pragma once

// Printers that do what a test tells them and remember how they were called.

#include "Printers.h"

#include <string>
#include <vector>

namespace shell {

struct PrinterCall {
    enum Kind { Document, Workbook } kind;
    std::u16string path;
    WindowHandle window;
};

struct PrinterScript {
    int result = 1;
    std::int32_t finalStatus = 0;
    std::vector<PrinterCall> calls;
};

PrinterScript& Script();

} // namespace shell
