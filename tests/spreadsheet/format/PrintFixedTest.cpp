#include "PrintFixed.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <random>
#include <string>

namespace spreadsheet {
namespace {

TEST(PrintFixedTest, ExactHalvesRoundAwayFromZero)
{
    const struct {
        double Value;
        int Places;
        const char* Expected;
    } rows[] = {
        { 999.95, 1, "1000.0" }, // not an exact half in binary: below it
        { -99.995, 2, "-100.00" }, // just beyond the half in binary
        { 2.675, 2, "2.67" }, // 2.67499999... in binary
        { 0.1, 20, "0.100000000000000" },
        { 1e20, 0, "100000000000000000000" },
        { INFINITY, 2, "inf" },
        { -INFINITY, 0, "-inf" },
        // 2^-16 has sixteen decimals, the last a 5: a half at fifteen.
        { 1.0 / 65536, 15, "0.000015258789063" },
        { 4503599627370495.5, 0, "4503599627370496" }, // the largest double with a half
        { -0.0, 0, "-0" },
        { 5e-324, 15, "0.000000000000000" },
        { 1e22, 2, "10000000000000000000000.00" },
        { 2.5e22, 0, "24999999999999997902848" }, // the double nearest, printed exactly
        // Values with no more decimals than asked for, printed without rounding.
        { -0.0, 2, "-0.00" },
        { 4503599627370497.0, 3, "4503599627370497.000" },
        { 9.3e18, 1, "9300000000000000000.0" }, // beyond 2^63
        { 0.5, -3, "1" }, // places below 0 count as 0
        { NAN, 1, "nan" },
    };
    for (const auto& row : rows)
        EXPECT_EQ(PrintFixed(row.Value, row.Places), row.Expected) << row.Value << " to " << row.Places;
}

// The value with 40 decimals, cut and rounded by hand: slow, but a
// different way to the same text.
std::string ByLongDigits(double value, int places)
{
    char digits[512];
    std::snprintf(digits, sizeof digits, "%.*f", places + 40, value);
    std::string text = digits;
    const std::size_t point = text.find('.');
    const std::string rest = text.substr(point + 1 + static_cast<std::size_t>(places));
    text.resize(places == 0 ? point : point + 1 + static_cast<std::size_t>(places));
    if (rest[0] < '5')
        return text;
    // Half or more: one more in the last place, away from zero.
    int i = static_cast<int>(text.size()) - 1;
    for (; i >= 0 && (text[static_cast<std::size_t>(i)] == '9' || text[static_cast<std::size_t>(i)] == '.'); --i) {
        if (text[static_cast<std::size_t>(i)] == '9')
            text[static_cast<std::size_t>(i)] = '0';
    }
    if (i >= 0 && text[static_cast<std::size_t>(i)] != '-')
        ++text[static_cast<std::size_t>(i)];
    else
        text.insert(static_cast<std::size_t>(i + 1), 1, '1');
    return text;
}

TEST(PrintFixedTest, AgreesWithRoundingTheLongDigitsByHand)
{
    std::mt19937_64 random(20261206);
    for (int i = 0; i < 100000; ++i) {
        const int places = static_cast<int>(random() % 16);
        double value = 0;
        switch (i % 4) {
        case 0: // cents, where halves in decimal are near but rarely exact
            value = static_cast<double>(static_cast<std::int64_t>(random() % 2000001) - 1000000) / 1000.0;
            break;
        case 1: // binary fractions, many of them exact halves
            value = std::ldexp(static_cast<double>(static_cast<std::int64_t>(random() % 200001) - 100000),
                -static_cast<int>(random() % 20));
            break;
        case 2: // every bit of the significand in use
            value = std::ldexp(static_cast<double>(random() >> 11), -static_cast<int>(random() % 70));
            break;
        default:
            value = -std::ldexp(static_cast<double>(random() >> 11), static_cast<int>(random() % 40) - 60);
            break;
        }
        ASSERT_EQ(PrintFixed(value, places), ByLongDigits(value, places)) << value << " to " << places;
    }
}

} // namespace
} // namespace spreadsheet
