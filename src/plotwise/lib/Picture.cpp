#include "Picture.h"

namespace plotwise {
namespace {

constexpr int64_t kTwipsPerInch = 1440;
constexpr int64_t kWholePercent = 100;

int32_t TwipsToDevice(int64_t twips, int32_t dpi)
{
    return static_cast<int32_t>((twips * dpi + kTwipsPerInch / 2) / kTwipsPerInch);
}

int64_t Scaled(int32_t twips, int32_t percent)
{
    return static_cast<int64_t>(twips) * (percent > 0 ? percent : kWholePercent) / kWholePercent;
}

} // namespace

void PictureDeviceSize(const PLW_PICTURE& picture, int32_t dpi, int32_t& width, int32_t& height)
{
    width = TwipsToDevice(Scaled(picture.GoalWidth, picture.ScaleX), dpi);
    height = TwipsToDevice(Scaled(picture.GoalHeight, picture.ScaleY), dpi);
}

std::shared_ptr<cairo_surface_t> DecodePicture(const PLW_PICTURE&)
{
    return nullptr;
}

} // namespace plotwise
