#include "RtfRoutePictures.h"

#include <algorithm>
#include <cstdlib>

namespace platform {
namespace {

constexpr std::int32_t kTwipsPerScreenPixel = 15;
// Placeholders stay small whatever the picture's size; the printer scales them.
constexpr std::int32_t kSmallestPlaceholderPixels = 8;
constexpr std::int32_t kLargestPlaceholderPixels = 512;

std::uint32_t BigEndian32(std::string_view data, std::size_t at)
{
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i)
        value = value << 8 | static_cast<std::uint8_t>(data[at + i]);
    return value;
}

std::int32_t LittleEndian32(std::string_view data, std::size_t at)
{
    std::uint32_t value = 0;
    for (std::size_t i = 4; i-- > 0;)
        value = value << 8 | static_cast<std::uint8_t>(data[at + i]);
    return static_cast<std::int32_t>(value);
}

} // namespace

std::optional<std::pair<std::int32_t, std::int32_t>> DrawablePixels(std::string_view mime, std::string_view data)
{
    if (mime == "image/png") {
        if (data.size() < 24 || data.substr(0, 8) != "\x89PNG\r\n\x1a\n")
            return std::nullopt;
        return std::pair { static_cast<std::int32_t>(BigEndian32(data, 16) & 0x7FFFFFFF),
            static_cast<std::int32_t>(BigEndian32(data, 20) & 0x7FFFFFFF) };
    }
    if (mime == "image/jpeg") {
        if (data.size() < 4 || data.substr(0, 2) != "\xFF\xD8")
            return std::nullopt;
        for (std::size_t at = 2; at + 9 <= data.size();) {
            if (static_cast<std::uint8_t>(data[at]) != 0xFF)
                return std::nullopt;
            const auto marker = static_cast<std::uint8_t>(data[at + 1]);
            const std::size_t length
                = static_cast<std::uint8_t>(data[at + 2]) << 8 | static_cast<std::uint8_t>(data[at + 3]);
            if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) {
                const auto height
                    = static_cast<std::uint8_t>(data[at + 5]) << 8 | static_cast<std::uint8_t>(data[at + 6]);
                const auto width
                    = static_cast<std::uint8_t>(data[at + 7]) << 8 | static_cast<std::uint8_t>(data[at + 8]);
                return std::pair { width, height };
            }
            at += 2 + length;
        }
        return std::pair { 0, 0 };
    }
    const std::size_t start = data.substr(0, 2) == "BM" ? 14 : 0;
    if (data.size() < start + 40 || LittleEndian32(data, start) < 40)
        return std::nullopt;
    const std::int32_t height = LittleEndian32(data, start + 8);
    return std::pair { LittleEndian32(data, start + 4), height == INT32_MIN ? 0 : std::abs(height) };
}

std::string FramePlaceholder(std::int32_t widthTwips, std::int32_t heightTwips)
{
    constexpr std::int32_t kFrame = 2;
    const std::int32_t width
        = std::clamp(widthTwips / kTwipsPerScreenPixel, kSmallestPlaceholderPixels, kLargestPlaceholderPixels);
    const std::int32_t height
        = std::clamp(heightTwips / kTwipsPerScreenPixel, kSmallestPlaceholderPixels, kLargestPlaceholderPixels);
    const std::int32_t stride = (width + 31) / 32 * 4;
    std::string dib;
    auto put32 = [&dib](std::uint32_t value) {
        for (int i = 0; i < 4; ++i)
            dib += static_cast<char>((value >> (8 * i)) & 0xFF);
    };
    auto put16 = [&dib](std::uint16_t value) {
        dib += static_cast<char>(value & 0xFF);
        dib += static_cast<char>(value >> 8);
    };
    put32(40);
    put32(static_cast<std::uint32_t>(width));
    put32(static_cast<std::uint32_t>(height));
    put16(1);
    put16(1);
    for (int i = 0; i < 6; ++i)
        put32(i == 4 ? 2 : 0); // compression, size, resolutions, 2 colours, important
    put32(0x00FFFFFF); // white
    put32(0x00808080); // grey
    for (std::int32_t y = 0; y < height; ++y) {
        std::string row(static_cast<std::size_t>(stride), '\0');
        for (std::int32_t x = 0; x < width; ++x) {
            if (y < kFrame || y >= height - kFrame || x < kFrame || x >= width - kFrame)
                row[static_cast<std::size_t>(x / 8)]
                    = static_cast<char>(row[static_cast<std::size_t>(x / 8)] | (0x80 >> (x % 8)));
        }
        dib += row;
    }
    return dib;
}

} // namespace platform
