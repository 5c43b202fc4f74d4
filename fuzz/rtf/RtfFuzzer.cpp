// Fuzzes the RTF reader: any bytes as a document, read into the text flow
// without an open print job, so layout frees its lines instead of drawing.

#include <Fonts.h>
#include <Module.h>
#include <PrintJob.h>
#include <PrintingLibrary.h>
#include <RtfReader.h>
#include <Source.h>
#include <TextFlow.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const bool bound = [] {
        setenv("LC_ALL", "en_US.UTF-8", 1);
        return platform::BindPrintingLibrary(platform::LoadLibraryW(platform::kPrintingLibraryFile));
    }();
    if (!bound)
        std::abort();
    if (size > 1 << 20)
        return 0;
    printengine::ResetPrintEngine();
    rtf::ResetRtfReader();
    if (!rtf::AllocateSourceData(static_cast<std::int32_t>(size)))
        return 0;
    std::memcpy(rtf::SourceData, data, size);
    rtf::RtfParse();
    printengine::FreeRunList();
    printengine::FreeFlowResources();
    rtf::ReleaseSourceData();
    rtf::ResetRtfReader();
    return 0;
}
