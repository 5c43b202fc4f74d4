#include "ByteCursor.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace platform {
namespace {

TEST(ByteCursorTest, ReadsLittleEndianIntegersInOrder)
{
    const std::array<std::uint8_t, 13> bytes { 0x01, 0x34, 0x12, 0x78, 0x56, 0x34, 0x12, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF,
        0x7F };
    ByteCursor cursor(bytes);
    EXPECT_EQ(cursor.ReadU8(), 0x01);
    EXPECT_EQ(cursor.ReadU16(), 0x1234);
    EXPECT_EQ(cursor.ReadU32(), 0x12345678u);
    EXPECT_EQ(cursor.ReadI16(), -2);
    EXPECT_EQ(cursor.ReadI32(), 0x7FFFFFFF);
    EXPECT_TRUE(cursor.AtEnd());
}

struct ShortReadRow {
    std::size_t available;
    std::size_t width;
};

TEST(ByteCursorTest, ReadPastTheEndFailsAndDoesNotMove)
{
    const ShortReadRow rows[] = { { 0, 1 }, { 0, 2 }, { 1, 2 }, { 3, 4 }, { 7, 8 } };
    for (const auto& row : rows) {
        std::vector<std::uint8_t> bytes(row.available, 0xAB);
        ByteCursor cursor(bytes);
        bool ok = true;
        switch (row.width) {
        case 1:
            ok = cursor.ReadU8().has_value();
            break;
        case 2:
            ok = cursor.ReadU16().has_value();
            break;
        case 4:
            ok = cursor.ReadU32().has_value();
            break;
        default:
            ok = cursor.ReadU64().has_value();
            break;
        }
        EXPECT_FALSE(ok) << row.available << " bytes, width " << row.width;
        EXPECT_EQ(cursor.Position(), 0u);
    }
}

TEST(ByteCursorTest, ReadAtChecksTheOffsetWithoutOverflow)
{
    const std::array<std::uint8_t, 4> bytes { 1, 2, 3, 4 };
    ByteCursor cursor(bytes);
    EXPECT_EQ(cursor.ReadAt<std::uint16_t>(2), 0x0403);
    EXPECT_FALSE(cursor.ReadAt<std::uint16_t>(3).has_value());
    EXPECT_FALSE(cursor.ReadAt<std::uint8_t>(4).has_value());
    EXPECT_FALSE(cursor.ReadAt<std::uint32_t>(static_cast<std::size_t>(-2)).has_value());
    EXPECT_EQ(cursor.Position(), 0u);
}

TEST(ByteCursorTest, TakeSkipAndSeekStayInside)
{
    const std::array<std::uint8_t, 6> bytes { 1, 2, 3, 4, 5, 6 };
    ByteCursor cursor(bytes);
    auto run = cursor.Take(2);
    ASSERT_TRUE(run.has_value());
    EXPECT_EQ((*run)[1], 2);
    EXPECT_FALSE(cursor.Take(5).has_value());
    EXPECT_FALSE(cursor.Skip(5));
    EXPECT_TRUE(cursor.Skip(4));
    EXPECT_TRUE(cursor.AtEnd());
    EXPECT_FALSE(cursor.Seek(7));
    EXPECT_TRUE(cursor.Seek(1));
    std::array<std::uint8_t, 3> out {};
    EXPECT_TRUE(cursor.ReadBytes(out));
    EXPECT_EQ(out, (std::array<std::uint8_t, 3> { 2, 3, 4 }));
    std::array<std::uint8_t, 3> tooMany { 9, 9, 9 };
    EXPECT_FALSE(cursor.ReadBytes(tooMany));
    EXPECT_EQ(tooMany, (std::array<std::uint8_t, 3> { 9, 9, 9 }));
}

TEST(ByteCursorTest, EmptySpanReadsNothing)
{
    ByteCursor cursor;
    EXPECT_TRUE(cursor.AtEnd());
    EXPECT_FALSE(cursor.ReadU8().has_value());
    EXPECT_TRUE(cursor.Take(0).has_value());
}

} // namespace
} // namespace platform
