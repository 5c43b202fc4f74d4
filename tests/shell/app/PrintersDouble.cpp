#include "PrintersDouble.h"

namespace shell
{
namespace
{
std::int32_t finalStatus = 0;
}

PrinterScript& Script()
{
    static PrinterScript script;
    return script;
}

int OpenAndPrintDocument(WindowHandle window, platform::ModuleHandle, const char16_t* path)
{
    PrinterScript& script = Script();
    script.calls.push_back({ PrinterCall::Document, path, window });
    finalStatus = script.finalStatus;
    return script.result;
}

int PrintWorkbook(WindowHandle window, platform::ModuleHandle, const char16_t* path)
{
    PrinterScript& script = Script();
    script.calls.push_back({ PrinterCall::Workbook, path, window });
    finalStatus = script.finalStatus;
    return script.result;
}

std::int32_t& FinalStatus()
{
    return finalStatus;
}

} // namespace shell
