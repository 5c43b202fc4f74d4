#include "PrintFixed.h"

#include "NumberFormatTables.h"

#include <algorithm>
#include <array>
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

// The binary fraction digits of a finite value: k when the value is m × 2^-k
// with m odd (negative for whole numbers with trailing zero bits), and 0
// for zero. A value with k fraction bits has exactly k decimals.
int FractionBits(double value)
{
    if (value == 0)
        return 0;
    int exponent = 0;
    const double fraction = std::frexp(std::fabs(value), &exponent);
    const auto significand = static_cast<std::uint64_t>(std::ldexp(fraction, kSignificandBits));
    return kSignificandBits - exponent - std::countr_zero(significand);
}

// Prints a value that has no more decimals than `places` and a whole part
// below 2^63: its whole part and its fraction times 10^places are exact
// integers (the fraction has at most 15 bits, times 5^15 it stays below
// 2^53), so the digits need no rounding.
std::string PrintWithoutRounding(double value, int places)
{
    static constexpr std::array<double, kMaxPrecision + 1> kPowersOfTen { 1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8,
        1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15 };
    const double magnitude = std::fabs(value);
    const double whole = std::trunc(magnitude);
    char text[kScratchSize];
    char* end = text;
    if (std::signbit(value))
        *end++ = '-';
    end = std::to_chars(end, text + sizeof text, static_cast<std::uint64_t>(whole)).ptr;
    if (places > 0) {
        *end++ = '.';
        const auto decimals
            = static_cast<std::uint64_t>((magnitude - whole) * kPowersOfTen[static_cast<std::size_t>(places)]);
        char digits[kMaxPrecision];
        char* digitsEnd = std::to_chars(digits, digits + sizeof digits, decimals).ptr;
        const auto count = static_cast<int>(digitsEnd - digits);
        end = std::fill_n(end, places - count, '0');
        end = std::copy(digits, digitsEnd, end);
    }
    return std::string(text, end);
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
    constexpr double kLargestWhole = 9223372036854775808.0; // 2^63
    const int fractionBits = FractionBits(value);
    if (fractionBits <= places && std::fabs(value) < kLargestWhole)
        return PrintWithoutRounding(value, places);
    // to_chars prints the exact value rounded to nearest like printf. A value
    // exactly halfway between two texts of `places` decimals, which printf
    // would round to even, goes away from zero: times 10^places it is
    // m × 5^places × 2^(places - k) with m odd, a whole number and a half
    // just when k = places + 1.
    if (fractionBits != places + 1) {
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
