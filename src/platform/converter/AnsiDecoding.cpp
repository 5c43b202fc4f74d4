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
    // No code page makes more UTF-16 units than it takes bytes: one
    // conversion into that room, without asking for the size first.
    std::u16string out(bytes.size(), u'\0');
    int units = MultiByteToWideChar(codePage, 0, input, inputLength, out.data(), inputLength);
    if (units <= 0)
        return std::nullopt;
    out.resize(static_cast<std::size_t>(units));
    return out;
}

} // namespace platform
