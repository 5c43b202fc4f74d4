#include "PlainTextDecoding.h"

#include <cstdint>
#include <cstring>

namespace platform {
namespace {

constexpr char16_t kReplacementCharacter = 0xFFFD;

bool StartsWith(std::span<const std::uint8_t> bytes, std::initializer_list<std::uint8_t> prefix)
{
    if (bytes.size() < prefix.size())
        return false;
    std::size_t i = 0;
    for (std::uint8_t b : prefix)
        if (bytes[i++] != b)
            return false;
    return true;
}

bool IsContinuation(std::uint8_t b)
{
    return (b & 0xC0) == 0x80;
}

// Decodes the sequence at `at`; returns its length, or 0 when it is invalid.
std::size_t DecodeSequence(std::span<const std::uint8_t> bytes, std::size_t at, char32_t* codePoint)
{
    std::uint8_t lead = bytes[at];
    if (lead < 0x80) {
        *codePoint = lead;
        return 1;
    }
    std::size_t length = 0;
    char32_t value = 0;
    std::uint8_t low = 0x80;
    std::uint8_t high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        value = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        value = lead & 0x0F;
        if (lead == 0xE0)
            low = 0xA0; // no overlong forms
        if (lead == 0xED)
            high = 0x9F; // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        value = lead & 0x07;
        if (lead == 0xF0)
            low = 0x90;
        if (lead == 0xF4)
            high = 0x8F; // nothing above U+10FFFF
    } else {
        return 0;
    }
    if (bytes.size() - at < length)
        return 0;
    std::uint8_t second = bytes[at + 1];
    if (second < low || second > high)
        return 0;
    value = (value << 6) | (second & 0x3F);
    for (std::size_t i = 2; i < length; ++i) {
        if (!IsContinuation(bytes[at + i]))
            return 0;
        value = (value << 6) | (bytes[at + i] & 0x3F);
    }
    *codePoint = value;
    return length;
}

void AppendUtf16(std::u16string& out, char32_t codePoint)
{
    if (codePoint < 0x10000) {
        out.push_back(static_cast<char16_t>(codePoint));
        return;
    }
    codePoint -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (codePoint >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (codePoint & 0x3FF)));
}

// The length of the run of ASCII bytes from `at`, taken eight at a time.
std::size_t AsciiRun(std::span<const std::uint8_t> bytes, std::size_t at)
{
    constexpr std::uint64_t kHighBits = 0x8080808080808080u;
    const std::size_t start = at;
    std::uint64_t word = 0;
    while (bytes.size() - at >= sizeof word) {
        std::memcpy(&word, bytes.data() + at, sizeof word);
        if ((word & kHighBits) != 0)
            break;
        at += sizeof word;
    }
    while (at < bytes.size() && bytes[at] < 0x80)
        ++at;
    return at - start;
}

} // namespace

bool IsValidUtf8(std::span<const std::uint8_t> bytes, bool* multiByte)
{
    bool longer = false;
    for (std::size_t at = 0; at < bytes.size();) {
        at += AsciiRun(bytes, at);
        if (at == bytes.size())
            break;
        char32_t codePoint = 0;
        std::size_t length = DecodeSequence(bytes, at, &codePoint);
        if (length == 0)
            return false;
        longer = longer || length > 1;
        at += length;
    }
    if (multiByte)
        *multiByte = longer;
    return true;
}

std::u16string DecodeUtf8(std::span<const std::uint8_t> bytes)
{
    std::u16string out;
    out.reserve(bytes.size());
    for (std::size_t at = 0; at < bytes.size();) {
        char32_t codePoint = 0;
        std::size_t length = DecodeSequence(bytes, at, &codePoint);
        if (length == 0) {
            out.push_back(kReplacementCharacter);
            ++at;
            continue;
        }
        AppendUtf16(out, codePoint);
        at += length;
    }
    return out;
}

TextEncoding DetectTextEncoding(std::span<const std::uint8_t> bytes)
{
    if (StartsWith(bytes, { 0xFF, 0xFE }) || StartsWith(bytes, { 0xFE, 0xFF }))
        return TextEncoding::Refused;
    if (!bytes.empty() && std::memchr(bytes.data(), 0, bytes.size()) != nullptr)
        return TextEncoding::Refused;
    if (StartsWith(bytes, { 0xEF, 0xBB, 0xBF }))
        return TextEncoding::Utf8WithMark;
    bool multiByte = false;
    if (IsValidUtf8(bytes, &multiByte) && multiByte)
        return TextEncoding::Utf8;
    return TextEncoding::Ansi;
}

std::optional<std::u16string> DecodePlainText(std::span<const std::uint8_t> bytes)
{
    switch (DetectTextEncoding(bytes)) {
    case TextEncoding::Utf8WithMark:
        return DecodeUtf8(bytes.subspan(3));
    case TextEncoding::Utf8:
        return DecodeUtf8(bytes);
    case TextEncoding::Ansi:
        return DecodeAnsi(bytes);
    case TextEncoding::Refused:
        break;
    }
    return std::nullopt;
}

} // namespace platform
