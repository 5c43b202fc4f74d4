#pragma once

// Length conversions of the print engine. Document lengths are twips
// (1/1440 inch), font sizes half-points, page margins thousandths of an inch
// or hundredths of a millimetre; the layout works in printer dots. Every
// conversion between them goes through one of these functions.
//
// The pure forms take the resolution and the resize ratio as arguments; the
// short forms read them from the current print job and the settings.
// Intermediate products are computed in 64 bits and the results saturate
// at the 32-bit range, so a huge length from a document cannot overflow.

#include <cstdint>

namespace printengine {

inline constexpr std::int32_t kTwipsPerInch = 1440;
inline constexpr std::int32_t kTwipsPerPoint = 20;
inline constexpr std::int32_t kHalfPointsPerPoint = 2;
inline constexpr std::int32_t kThousandthsPerInch = 1000;

// (twips × dpi + 720) / 1440, rounded toward zero.
std::int32_t TwipsToDevice(std::int32_t twips, std::int32_t dpi);

// Twips scaled by the resize ratio first: ((num × twips) / den × dpi + 720) / 1440.
std::int32_t ScaledTwipsToDevice(std::int32_t twips, std::int32_t dpi, std::int32_t scaleNum, std::int32_t scaleDen);

// Half-points to twips through the resize ratio (num × halfPoints × 20 / (den × 2)),
// then to device units as TwipsToDevice.
std::int32_t ScaledHalfPointsToDevice(
    std::int32_t halfPoints, std::int32_t dpi, std::int32_t scaleNum, std::int32_t scaleDen);

// Hundredths of a millimetre to thousandths of an inch: value × 567 / 1440.
std::int32_t HundredthsOfMillimetreToThousandthsOfInch(std::int32_t value);

// Thousandths of an inch to device units: value × dpi / 1000.
std::int32_t ThousandthsOfInchToDevice(std::int32_t value, std::int32_t dpi);

// The same conversions at the current job's Dpi and the settings' resize ratio.
std::int32_t TwipsToDevice(std::int32_t twips);
std::int32_t ScaledTwipsToDevice(std::int32_t twips);
std::int32_t ScaledHalfPointsToDevice(std::int32_t halfPoints);

} // namespace printengine
