#pragma once

// Pictures handed to the library: the bytes of a PLW_PICTURE decoded into an
// image.
//
// Accepted data, recognised by its first bytes:
// - PNG (any colour type and depth libpng reads; transparency kept);
// - JPEG (greyscale and colour; CMYK and streams that end early are
//   refused);
// - otherwise a device-independent bitmap: a BITMAPINFOHEADER (40 bytes or
//   a longer version of it), optionally after a 14-byte "BM" file header,
//   uncompressed, 1, 4 or 8 bits per pixel with a palette (biClrUsed
//   entries, or all 2^n when 0), or 24 or 32 bits per pixel without one;
//   bottom-up (positive height) or top-down (negative height). Rows are
//   padded to four bytes. A header that promises more pixel bytes than the
//   record holds is refused.
// Images are at most kMaximumPictureSide pixels a side and
// kMaximumPicturePixels pixels in all; larger ones are refused.

#include "plotwise/plotwise_types.h"

#include <cairo.h>

#include <cstdint>
#include <memory>
#include <span>

namespace plotwise {

inline constexpr int32_t kMaximumPictureSide = 16384;
inline constexpr int64_t kMaximumPicturePixels = int64_t { 1 } << 24;

// The decoded image, unpremultiplied alpha made premultiplied for cairo;
// null when the data is not one of the accepted kinds or is damaged.
std::shared_ptr<cairo_surface_t> DecodePictureData(std::span<const uint8_t> data);

// The picture of a record: decoded, then the record's crops (twips of the
// goal size, negative ones ignored) cut off. Null when it cannot be decoded
// or nothing is left after cropping.
std::shared_ptr<cairo_surface_t> DecodePicture(const PLW_PICTURE& picture);

// The drawn size in device units at dpi: the goal size less the crops,
// scaled by the record's percentages (0 stands for 100), converted as
// (twips × dpi + 720) / 1440. Without a goal size, the source size of the
// record, else the decoded image's (0 when there is none), in pixels at 96
// per inch.
void PictureDeviceSize(
    const PLW_PICTURE& picture, const cairo_surface_t* image, int32_t dpi, int32_t& width, int32_t& height);

} // namespace plotwise
