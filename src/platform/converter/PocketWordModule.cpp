// The export of tallowinpocketword.so: the Pocket Word reader behind a plain
// C call, so that nothing but bytes crosses between the module and the
// program.

#include "PocketWordReader.h"

#include <type_traits>

extern "C" __attribute__((visibility("default"))) int TallowinPocketWordToRtf(const std::uint8_t* bytes,
    std::size_t size, std::uint16_t codePage, platform::PocketWordRtfSink sink, void* context)
{
    static_assert(std::is_same_v<decltype(&TallowinPocketWordToRtf), platform::PocketWordToRtfFunction>);
    if ((bytes == nullptr && size != 0) || sink == nullptr)
        return 0;
    std::optional<std::string> rtf = platform::ReadPocketWordAsRtf({ bytes, size }, codePage);
    if (!rtf)
        return 0;
    sink(context, rtf->data(), rtf->size());
    return 1;
}
