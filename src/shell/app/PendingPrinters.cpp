// The stand-in for the document printer, which is not built yet: it says so
// and reports the file as not printed; and the workbook printer. Delete the
// stand-in (and its line in CMakeLists.txt) when the real document printer
// and print job arrive.
#include "Printers.h"

#include <PrintJob.h>
#include <PrintWorkbook.h>

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

int PrintWorkbook(WindowHandle window, platform::ModuleHandle resources, const char16_t* path)
{
    const int result = spreadsheet::PrintWorkbook(window, resources, path);
    finalStatus = printengine::Job().FinalStatus;
    return result;
}

std::int32_t& FinalStatus()
{
    return finalStatus;
}

} // namespace shell
