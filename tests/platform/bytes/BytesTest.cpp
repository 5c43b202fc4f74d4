#include "ByteCursor.h"
#include "ByteWriter.h"

#include <gtest/gtest.h>

#include <array>

namespace platform {
namespace {

TEST(BytesTest, ReadsAndWritesLittleEndianIntegersOnlyWhollyInside)
{
    const std::array<std::uint8_t, 7> bytes { 0x01, 0x34, 0x12, 0xFE, 0xFF, 0xFF, 0x7F };
    ByteCursor cursor(bytes);
    EXPECT_EQ(cursor.ReadAt<std::uint8_t>(0), 0x01);
    EXPECT_EQ(cursor.ReadAt<std::uint16_t>(1), 0x1234);
    EXPECT_EQ(cursor.ReadAt<std::int16_t>(3), -2);
    EXPECT_EQ(cursor.ReadAt<std::int32_t>(3), 0x7FFFFFFE);
    EXPECT_FALSE(cursor.ReadAt<std::uint16_t>(6).has_value());
    EXPECT_FALSE(cursor.ReadAt<std::uint8_t>(7).has_value());
    EXPECT_FALSE(cursor.ReadAt<std::uint32_t>(static_cast<std::size_t>(-2)).has_value());
    EXPECT_FALSE(ByteCursor().ReadAt<std::uint8_t>(0).has_value());

    // A write that does not fit writes nothing.
    std::array<std::uint8_t, 6> buffer { 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA };
    ByteWriter writer(buffer);
    EXPECT_TRUE(writer.WriteAt<std::int8_t>(0, -2));
    EXPECT_TRUE(writer.Seek(1));
    const std::array<std::uint8_t, 3> run { 7, 8, 9 };
    EXPECT_TRUE(writer.WriteBytes(run));
    EXPECT_FALSE(writer.WriteBytes(run));
    EXPECT_FALSE(writer.WriteZeros(3));
    EXPECT_TRUE(writer.WriteZeros(1));
    EXPECT_FALSE(writer.WriteAt<std::uint16_t>(5, 1));
    EXPECT_FALSE(writer.WriteAt<std::uint8_t>(static_cast<std::size_t>(-1), 1));
    EXPECT_FALSE(writer.Seek(7));
    EXPECT_EQ(writer.Position(), 5u);
    EXPECT_EQ(buffer, (std::array<std::uint8_t, 6> { 0xFE, 7, 8, 9, 0, 0xAA }));
}

} // namespace
} // namespace platform
