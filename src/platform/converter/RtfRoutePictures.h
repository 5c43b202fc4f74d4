#pragma once

// The picture data the converter's RTF route hands on: what the printing
// library draws (PNG, JPEG, device-independent bitmaps) and the placeholder
// for what it does not.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace platform {

// The width and height in pixels that the picture's own header gives, when
// the data is of the kind `mime` names ("image/png", "image/jpeg",
// "image/bmp") and the printing library draws it; nothing otherwise. A JPEG
// whose size is not found gives 0 by 0.
std::optional<std::pair<std::int32_t, std::int32_t>> DrawablePixels(std::string_view mime, std::string_view data);

// A device-independent bitmap of a grey frame on white: what prints, at the
// picture's size in twips, for a picture no library here can draw.
std::string FramePlaceholder(std::int32_t widthTwips, std::int32_t heightTwips);

} // namespace platform
