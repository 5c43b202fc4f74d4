// Stand-in for the workbook printer, which is not built yet: it says so and
// reports the file as not printed. Delete this file (and its line in
// CMakeLists.txt) when the real printer arrives.
#include "Printers.h"

#include <cstdio>

namespace shell
{

int PrintWorkbook(WindowHandle, platform::ModuleHandle, const char16_t*)
{
    std::fputs("tallowin: printing of workbooks is not built yet; nothing was printed\n", stderr);
    return 0;
}

} // namespace shell
