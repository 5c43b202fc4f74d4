#pragma once

// Pictures handed to the library: the bytes of a PLW_PICTURE decoded into an
// image, or nothing when they cannot be decoded.

#include "plotwise/plotwise_types.h"

#include <cairo.h>

#include <cstdint>
#include <memory>
#include <span>

namespace plotwise {

// Device-independent bitmap (a BITMAPINFOHEADER, its palette and pixels),
// PNG or JPEG, recognised by their first bytes; the crop of the record
// applied. Null when the data is not one of those or is damaged.
std::shared_ptr<cairo_surface_t> DecodePicture(const PLW_PICTURE& picture);

// The goal size of a picture in device units at dpi: twips scaled by the
// record's percentages (0 stands for 100).
void PictureDeviceSize(const PLW_PICTURE& picture, int32_t dpi, int32_t& width, int32_t& height);

} // namespace plotwise
