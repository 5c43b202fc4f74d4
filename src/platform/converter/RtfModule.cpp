// The export of tallowinrtf.so: the converter's RTF route behind a plain C
// call, so that nothing but bytes crosses between the module and the
// program.

#include "RtfNormaliser.h"
#include "RtfRoute.h"

#include <type_traits>

extern "C" __attribute__((visibility("default"))) int TallowinNormaliseRtf(
    const std::uint8_t* bytes, std::size_t size, std::uint16_t codePage, platform::RtfSink sink, void* context)
{
    static_assert(std::is_same_v<decltype(&TallowinNormaliseRtf), platform::NormaliseRtfFunction>);
    if ((bytes == nullptr && size != 0) || sink == nullptr)
        return 0;
    // librevenge may throw (no memory); the document then goes to the reader
    // as it is.
    try {
        std::optional<std::string> rtf = platform::NormaliseRtf({ bytes, size }, codePage);
        if (!rtf)
            return 0;
        sink(context, rtf->data(), rtf->size());
        return 1;
    } catch (...) {
        return 0;
    }
}
