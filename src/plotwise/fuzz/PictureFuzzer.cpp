// Fuzzes the picture decoder. An input is eight bytes of crops (left, top,
// right, bottom as 16-bit little-endian twips) and then the picture's bytes.

#include "Picture.h"

#include <cstddef>
#include <cstdint>

namespace {

constexpr size_t kCropBytes = 8;
constexpr int32_t kGoalTwips = 1440;
constexpr int32_t kDpi = 600;

int16_t Crop(const uint8_t* data, size_t index)
{
    return static_cast<int16_t>(data[index * 2] | (data[index * 2 + 1] << 8));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < kCropBytes)
        return 0;
    PLW_PICTURE picture {};
    picture.GoalWidth = kGoalTwips;
    picture.GoalHeight = kGoalTwips;
    picture.CropLeft = Crop(data, 0);
    picture.CropTop = Crop(data, 1);
    picture.CropRight = Crop(data, 2);
    picture.CropBottom = Crop(data, 3);
    picture.Data = data + kCropBytes;
    picture.DataSize = static_cast<int32_t>(size - kCropBytes);
    std::shared_ptr<cairo_surface_t> image = plotwise::DecodePicture(picture);
    int32_t width = 0;
    int32_t height = 0;
    plotwise::PictureDeviceSize(picture, image.get(), kDpi, width, height);
    return 0;
}
