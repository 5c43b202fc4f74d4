#include "ByteCursor.h"
#include "ByteWriter.h"

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

TEST(ByteCursorTest, ReadPastTheEndFailsAndDoesNotMove)
{
    const std::array<std::uint8_t, 7> bytes {};
    const auto failsInPlace = [&](std::size_t available, auto read) {
        ByteCursor cursor(std::span(bytes.data(), available));
        return !read(cursor).has_value() && cursor.Position() == 0;
    };
    EXPECT_TRUE(failsInPlace(0, [](ByteCursor& cursor) { return cursor.ReadU8(); }));
    EXPECT_TRUE(failsInPlace(1, [](ByteCursor& cursor) { return cursor.ReadU16(); }));
    EXPECT_TRUE(failsInPlace(3, [](ByteCursor& cursor) { return cursor.ReadU32(); }));
    EXPECT_TRUE(failsInPlace(7, [](ByteCursor& cursor) { return cursor.ReadU64(); }));
    ByteCursor empty;
    EXPECT_TRUE(empty.AtEnd());
    EXPECT_FALSE(empty.ReadU8().has_value());
    EXPECT_TRUE(empty.Take(0).has_value());
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

TEST(ByteWriterTest, WritesLittleEndianIntegersInOrder)
{
    std::array<std::uint8_t, 11> buffer {};
    ByteWriter writer(buffer);
    EXPECT_TRUE(writer.WriteU8(0x01));
    EXPECT_TRUE(writer.WriteU16(0x1234));
    EXPECT_TRUE(writer.WriteI32(-2));
    EXPECT_TRUE(writer.WriteI16(0x7F00));
    EXPECT_TRUE(writer.WriteZeros(2));
    EXPECT_TRUE(writer.Ok());
    EXPECT_EQ(buffer, (std::array<std::uint8_t, 11> { 0x01, 0x34, 0x12, 0xFE, 0xFF, 0xFF, 0xFF, 0x00, 0x7F, 0, 0 }));
}

TEST(ByteWriterTest, AWriteThatDoesNotFitWritesNothing)
{
    std::array<std::uint8_t, 3> buffer { 0xAA, 0xAA, 0xAA };
    ByteWriter writer(buffer);
    EXPECT_TRUE(writer.WriteU8(1));
    EXPECT_FALSE(writer.WriteU32(0x11223344));
    EXPECT_FALSE(writer.Ok());
    EXPECT_EQ(writer.Position(), 1u);
    EXPECT_EQ(buffer, (std::array<std::uint8_t, 3> { 1, 0xAA, 0xAA }));
    const std::array<std::uint8_t, 3> run { 7, 8, 9 };
    EXPECT_FALSE(writer.WriteBytes(run));
    EXPECT_FALSE(writer.WriteZeros(3));
    EXPECT_EQ(buffer, (std::array<std::uint8_t, 3> { 1, 0xAA, 0xAA }));
}

TEST(ByteWriterTest, WriteAtChecksTheOffset)
{
    std::array<std::uint8_t, 4> buffer {};
    ByteWriter writer(buffer);
    EXPECT_TRUE(writer.WriteAt<std::uint16_t>(2, 0xBEEF));
    EXPECT_FALSE(writer.WriteAt<std::uint16_t>(3, 1));
    EXPECT_FALSE(writer.WriteAt<std::uint8_t>(static_cast<std::size_t>(-1), 1));
    EXPECT_FALSE(writer.Seek(5));
    EXPECT_EQ(writer.Position(), 0u);
    EXPECT_EQ(buffer, (std::array<std::uint8_t, 4> { 0, 0, 0xEF, 0xBE }));
}

} // namespace
} // namespace platform
