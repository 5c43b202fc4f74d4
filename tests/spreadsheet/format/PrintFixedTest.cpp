#include "PrintFixed.h"

#include <gtest/gtest.h>

#include <cmath>

namespace spreadsheet {
namespace {

TEST(PrintFixedTest, ExactHalvesRoundAwayFromZero)
{
    const struct {
        double Value;
        int Places;
        const char* Expected;
    } rows[] = {
        { 2.5, 0, "3" },
        { 3.5, 0, "4" },
        { -2.5, 0, "-3" },
        { 0.5, 0, "1" },
        { -0.5, 0, "-1" },
        { 9.5, 0, "10" },
        { 999.95, 1, "1000.0" }, // not an exact half in binary: below it
        { 0.125, 2, "0.13" },
        { 0.375, 2, "0.38" },
        { -99.995, 2, "-100.00" }, // just beyond the half in binary
        { 1.25, 1, "1.3" },
        { 2.675, 2, "2.67" }, // 2.67499999... in binary
        { 1.5, 15, "1.500000000000000" },
        { 0.1, 20, "0.100000000000000" },
        { 0.0, 0, "0" },
        { 123456789.5, 0, "123456790" },
        { 1e20, 0, "100000000000000000000" },
        { INFINITY, 2, "inf" },
        { -INFINITY, 0, "-inf" },
    };
    for (const auto& row : rows)
        EXPECT_EQ(PrintFixed(row.Value, row.Places), row.Expected) << row.Value << " to " << row.Places;
}

} // namespace
} // namespace spreadsheet
