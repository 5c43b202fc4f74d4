#include <Units.h>

#include <gtest/gtest.h>

#include <limits>

namespace printengine {
namespace {

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

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

} // namespace
} // namespace printengine
