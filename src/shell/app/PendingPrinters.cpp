// Stand-ins for the document and workbook printers, which are not built yet:
// they say so and report the file as not printed. Delete this file (and its
// line in CMakeLists.txt) when the real printers and print job arrive.
#include "Printers.h"

#include <cstdio>

namespace shell
{
namespace
{

std::int32_t finalStatus = 0;

} // namespace

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

std::int32_t& FinalStatus()
{
    return finalStatus;
}

} // namespace shell
