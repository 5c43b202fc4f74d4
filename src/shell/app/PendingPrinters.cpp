// Stand-ins for the document and workbook printers, which are not built yet:
// they say so and report the file as not printed. Delete this file (and its
// lines in CMakeLists.txt) when the real printers arrive.
#include "Printers.h"

#include <cstdio>

namespace shell
{
int OpenAndPrintDocument(WindowHandle, platform::ModuleHandle, const char16_t*)
{
    std::fputs("tallowin: printing of documents is not built yet; nothing was printed\n", stderr);
    return 0;
}

int PrintWorkbook(WindowHandle, platform::ModuleHandle, const char16_t*)
{
    std::fputs("tallowin: printing of workbooks is not built yet; nothing was printed\n", stderr);
    return 0;
}

} // namespace shell
