#include "PrintFixed.h"

#include "NumberFormatTables.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>

namespace spreadsheet {
namespace {

// Room for any finite double with up to 16 decimals (over 300 digits before
// the point).
constexpr std::size_t kScratchSize = 400;
// Bits of a double's significand, the hidden one included.
constexpr int kSignificandBits = std::numeric_limits<double>::digits;

// Adds one unit in the last place of a string of digits, with a point.
void IncrementMagnitude(std::string& text)
{
    int i = static_cast<int>(text.size()) - 1;
    for (; i >= 0; --i) {
        char& c = text[static_cast<std::size_t>(i)];
        if (c == '.')
            continue;
        if (c < '0' || c > '9')
            break;
        if (c == '9') {
            c = '0';
        } else {
            ++c;
            return;
        }
    }
    text.insert(static_cast<std::size_t>(i + 1), 1, '1');
}

// Whether `value` lies exactly halfway between two numbers of `places`
// decimals. A finite double is m × 2^-k with m odd; times 10^places it is
// m × 5^places × 2^(places - k), which has a fraction of exactly one half
// just when k = places + 1. Such a value has exactly places + 1 decimals.
bool IsHalfway(double value, int places)
{
    if (value == 0)
        return false;
    int exponent = 0;
    const double fraction = std::frexp(std::fabs(value), &exponent);
    const auto significand = static_cast<std::uint64_t>(std::ldexp(fraction, kSignificandBits));
    const int fractionBits = kSignificandBits - exponent - std::countr_zero(significand);
    return fractionBits == places + 1;
}

} // namespace

std::string PrintFixed(double value, int places)
{
    places = std::clamp(places, 0, kMaxPrecision);
    char text[kScratchSize];
    if (!std::isfinite(value)) {
        std::snprintf(text, sizeof text, kPrecisionPatterns[static_cast<std::size_t>(places)], value);
        return text;
    }
    // to_chars prints the exact value rounded to nearest like printf; only
    // an exact half, which printf would round to even, goes away from zero.
    if (!IsHalfway(value, places)) {
        const auto [end, error] = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, places);
        return std::string(text, end);
    }
    const auto [end, error] = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, places + 1);
    // Without the final "5", and without the point when no decimals stay.
    std::string rounded(text, end - (places == 0 ? 2 : 1));
    IncrementMagnitude(rounded);
    return rounded;
}

} // namespace spreadsheet
