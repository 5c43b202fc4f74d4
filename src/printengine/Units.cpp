#include "Units.h"

#include "PrintJob.h"

#include <AppSettings.h>

#include <algorithm>
#include <limits>

namespace printengine {
namespace {

constexpr std::int64_t kHalfInchTwips = kTwipsPerInch / 2;
constexpr std::int64_t kMillimetreTwipsNumerator = 567; // 1440 / 2.54, in hundredths

std::int32_t Saturate(std::int64_t value)
{
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

// A zero ratio denominator would divide by zero; the settings never hold
// one, but a ratio is input to these functions.
std::int64_t SafeDenominator(std::int32_t den)
{
    return den == 0 ? 1 : den;
}

} // namespace

std::int32_t TwipsToDevice(std::int32_t twips, std::int32_t dpi)
{
    return Saturate((static_cast<std::int64_t>(twips) * dpi + kHalfInchTwips) / kTwipsPerInch);
}

std::int32_t ScaledTwipsToDevice(std::int32_t twips, std::int32_t dpi, std::int32_t scaleNum, std::int32_t scaleDen)
{
    const std::int64_t scaled = static_cast<std::int64_t>(scaleNum) * twips / SafeDenominator(scaleDen);
    return Saturate((Saturate(scaled) * static_cast<std::int64_t>(dpi) + kHalfInchTwips) / kTwipsPerInch);
}

std::int32_t ScaledHalfPointsToDevice(
    std::int32_t halfPoints, std::int32_t dpi, std::int32_t scaleNum, std::int32_t scaleDen)
{
    const std::int64_t twips = static_cast<std::int64_t>(scaleNum) * halfPoints * kTwipsPerPoint
        / (SafeDenominator(scaleDen) * kHalfPointsPerPoint);
    return Saturate((Saturate(twips) * static_cast<std::int64_t>(dpi) + kHalfInchTwips) / kTwipsPerInch);
}

std::int32_t HundredthsOfMillimetreToThousandthsOfInch(std::int32_t value)
{
    return Saturate(static_cast<std::int64_t>(value) * kMillimetreTwipsNumerator / kTwipsPerInch);
}

std::int32_t ThousandthsOfInchToDevice(std::int32_t value, std::int32_t dpi)
{
    return Saturate(static_cast<std::int64_t>(value) * dpi / kThousandthsPerInch);
}

std::int32_t TwipsToDevice(std::int32_t twips)
{
    return TwipsToDevice(twips, Job().Dpi);
}

std::int32_t ScaledTwipsToDevice(std::int32_t twips)
{
    return ScaledTwipsToDevice(twips, Job().Dpi, core::Settings().ScaleNum, core::Settings().ScaleDen);
}

std::int32_t ScaledHalfPointsToDevice(std::int32_t halfPoints)
{
    return ScaledHalfPointsToDevice(halfPoints, Job().Dpi, core::Settings().ScaleNum, core::Settings().ScaleDen);
}

} // namespace printengine
