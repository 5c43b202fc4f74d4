// Fuzzes the RTF reader: any bytes as a document, read into the text flow
// without an open print job, so layout frees its lines instead of drawing.
// The same bytes go through the converter's RTF route: what it writes must
// be RTF the reader reads without an error, and RTF the route reads again.

#include <Fonts.h>
#include <Module.h>
#include <PrintJob.h>
#include <PrintingLibrary.h>
#include <RtfNormaliser.h>
#include <RtfReader.h>
#include <Source.h>
#include <TextFlow.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

int ReadWithTheReader(const std::uint8_t* data, std::size_t size)
{
    printengine::ResetPrintEngine();
    rtf::ResetRtfReader();
    if (!rtf::AllocateSourceData(static_cast<std::int32_t>(size)))
        return 0;
    std::memcpy(rtf::SourceData, data, size);
    const int error = rtf::RtfParse();
    printengine::FreeRunList();
    printengine::FreeFlowResources();
    rtf::ReleaseSourceData();
    rtf::ResetRtfReader();
    return error;
}

} // namespace

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
    ReadWithTheReader(data, size);
    const std::optional<std::string> routed = platform::NormaliseRtf({ data, size });
    if (!routed)
        return 0;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(routed->data());
    if (ReadWithTheReader(bytes, routed->size()) != 0 || !platform::NormaliseRtf({ bytes, routed->size() }))
        std::abort();
    return 0;
}
