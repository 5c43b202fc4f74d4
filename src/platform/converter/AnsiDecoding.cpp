#include "PlainTextDecoding.h"

#include "CodePages.h"

#include <limits>

namespace platform {

std::optional<std::u16string> DecodeAnsi(std::span<const std::uint8_t> bytes)
{
    if (bytes.empty())
        return std::u16string();
    if (bytes.size() > static_cast<std::size_t>(std::numeric_limits<int>::max()))
        return std::nullopt;
    const char* input = reinterpret_cast<const char*>(bytes.data());
    int inputLength = static_cast<int>(bytes.size());
    UINT codePage = GetACP();
    int units = MultiByteToWideChar(codePage, 0, input, inputLength, nullptr, 0);
    if (units <= 0)
        return std::nullopt;
    std::u16string out(static_cast<std::size_t>(units), u'\0');
    if (MultiByteToWideChar(codePage, 0, input, inputLength, out.data(), units) != units)
        return std::nullopt;
    return out;
}

} // namespace platform
