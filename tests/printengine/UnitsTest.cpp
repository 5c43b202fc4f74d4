#include <Units.h>

#include <gtest/gtest.h>

#include <limits>

namespace printengine {
namespace {

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();

TEST(UnitsTest, ScaledHalfPointsToDevice)
{
    struct Row {
        std::int32_t HalfPoints, Dpi, Num, Den, Expected;
    };
    const Row rows[] = {
        { 24, 300, 1, 1, 50 }, // 12 points: 240 twips, (72000 + 720) / 1440
        { 24, 300, 3, 2, 75 }, // 150 %: 360 twips
        { 24, 300, 3, 4, 38 }, // 75 %: 180 twips, 54720 / 1440 = 38
        { 0, 300, 1, 1, 0 }, // no size
        { 1, 72, 1, 1, 1 }, // 10 twips at 72 dpi round to nearest: (720 + 720) / 1440
        { -24, 300, 1, 1, -49 }, // negative sizes round toward zero: (-72000 + 720) / 1440
        { kMax, 600, 3, 2, 894784853 }, // the twips saturate instead of overflowing
        { 24, 300, 1, 0, 50 }, // a zero denominator counts as 1
    };
    for (const Row& row : rows) {
        EXPECT_EQ(ScaledHalfPointsToDevice(row.HalfPoints, row.Dpi, row.Num, row.Den), row.Expected)
            << row.HalfPoints << " half-points at " << row.Dpi << " dpi, " << row.Num << "/" << row.Den;
    }
}

TEST(UnitsTest, TwipsToDevice)
{
    struct Row {
        std::int32_t Twips, Dpi, Expected;
    };
    const Row rows[] = {
        { 1440, 300, 300 }, { 720, 300, 150 }, { 0, 300, 0 }, { 1, 300, 0 }, { 3, 300, 1 },
        { -1440, 300, -299 }, // (-432000 + 720) / 1440 toward zero
        { kMax, 600, 894784853 }, { kMin, 600, -894784852 }, // 64-bit products
    };
    for (const Row& row : rows)
        EXPECT_EQ(TwipsToDevice(row.Twips, row.Dpi), row.Expected) << row.Twips << " twips";
}

TEST(UnitsTest, ScaledTwipsToDevice)
{
    struct Row {
        std::int32_t Twips, Num, Den, Expected;
    };
    const Row rows[] = {
        { 720, 1, 1, 150 },
        { 720, 3, 2, 225 },
        { 720, 1, 2, 75 },
        { 1, 1, 2, 0 },
        { kMax, 3, 2, 447392426 },
    };
    for (const Row& row : rows)
        EXPECT_EQ(ScaledTwipsToDevice(row.Twips, 300, row.Num, row.Den), row.Expected) << row.Twips << " twips";
}

TEST(UnitsTest, MarginConversions)
{
    EXPECT_EQ(HundredthsOfMillimetreToThousandthsOfInch(2540), 1000); // 25.4 mm
    EXPECT_EQ(HundredthsOfMillimetreToThousandthsOfInch(1905), 750);
    EXPECT_EQ(HundredthsOfMillimetreToThousandthsOfInch(0), 0);
    EXPECT_EQ(HundredthsOfMillimetreToThousandthsOfInch(kMax), 845571686);
    EXPECT_EQ(ThousandthsOfInchToDevice(1000, 300), 300);
    EXPECT_EQ(ThousandthsOfInchToDevice(333, 300), 99);
    EXPECT_EQ(ThousandthsOfInchToDevice(kMax, 600), 1288490188);
}

} // namespace
} // namespace printengine
