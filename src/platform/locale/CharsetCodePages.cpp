#include "CharsetCodePages.h"

#include <array>

namespace platform {
namespace {

struct CharsetCodePage {
    std::uint8_t Charset;
    std::uint16_t CodePage;
};

// Searched in this order, so the symbol charset (2) never answers for 1252.
constexpr std::array<CharsetCodePage, 13> kCharsetCodePages { {
    { 0, 1252 },
    { 2, 1252 },
    { 204, 1251 },
    { 238, 1250 },
    { 161, 1253 },
    { 162, 1254 },
    { 186, 1257 },
    { 177, 1255 },
    { 178, 1256 },
    { 128, 932 },
    { 129, 949 },
    { 134, 936 },
    { 136, 950 },
} };

} // namespace

std::optional<std::uint16_t> CodePageOfCharset(std::uint16_t charset)
{
    const auto low = static_cast<std::uint8_t>(charset & 0xFF);
    for (const CharsetCodePage& row : kCharsetCodePages) {
        if (row.Charset == low)
            return row.CodePage;
    }
    return std::nullopt;
}

std::uint8_t CharsetOfCodePage(std::uint16_t codePage)
{
    for (const CharsetCodePage& row : kCharsetCodePages) {
        if (row.CodePage == codePage)
            return row.Charset;
    }
    return 0;
}

} // namespace platform
