#include "PlainTextDecoding.h"

#if TALLOWIN_HAVE_PLATFORM_LOCALE
#include "Locale.h"
#endif

#include <limits>

namespace platform {

#if TALLOWIN_HAVE_PLATFORM_LOCALE

std::optional<std::u16string> DecodeAnsi(std::span<const std::uint8_t> bytes)
{
    if (bytes.empty())
        return std::u16string();
    if (bytes.size() > static_cast<std::size_t>(std::numeric_limits<int>::max()))
        return std::nullopt;
    const char* input = reinterpret_cast<const char*>(bytes.data());
    int inputLength = static_cast<int>(bytes.size());
    unsigned codePage = GetACP();
    int units = MultiByteToWideChar(codePage, 0, input, inputLength, nullptr, 0);
    if (units <= 0)
        return std::nullopt;
    std::u16string out(static_cast<std::size_t>(units), u'\0');
    if (MultiByteToWideChar(codePage, 0, input, inputLength, out.data(), units) != units)
        return std::nullopt;
    return out;
}

#else

namespace {

// Windows-1252, the ANSI code page of western locales: bytes 0x80 to 0x9F;
// the five unassigned bytes keep their own values, as the system does.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

} // namespace

std::optional<std::u16string> DecodeAnsi(std::span<const std::uint8_t> bytes)
{
    std::u16string out;
    out.reserve(bytes.size());
    for (std::uint8_t b : bytes)
        out.push_back(b >= 0x80 && b < 0xA0 ? kCp1252High[b - 0x80] : static_cast<char16_t>(b));
    return out;
}

#endif

} // namespace platform
