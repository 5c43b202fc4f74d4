#include "ByteWriter.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace platform {
namespace {

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
