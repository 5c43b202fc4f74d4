#include "PrintersDouble.h"

#include "PrintJob.h"

namespace shell {
PrinterScript& Script()
{
    static PrinterScript script;
    return script;
}

int OpenAndPrintDocument(WindowHandle window, platform::ModuleHandle, const char16_t* path)
{
    PrinterScript& script = Script();
    script.calls.push_back({ PrinterCall::Document, path, window });
    printengine::Job().FinalStatus = script.finalStatus;
    return script.result;
}

int PrintWorkbook(WindowHandle window, platform::ModuleHandle, const char16_t* path)
{
    PrinterScript& script = Script();
    script.calls.push_back({ PrinterCall::Workbook, path, window });
    printengine::Job().FinalStatus = script.finalStatus;
    return script.result;
}

} // namespace shell
