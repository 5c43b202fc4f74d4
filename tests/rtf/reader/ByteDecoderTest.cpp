// Document bytes through the code pages, each byte met again after other
// code pages were used, so that a kept answer is checked as well as a new one.

#include <ByteDecoder.h>

#include <gtest/gtest.h>

#include <cstdint>

namespace rtf {
namespace {

struct ByteCase {
    std::uint16_t CodePage;
    std::uint8_t Byte;
    bool LeadByte;
    char16_t Unit; // when not a lead byte
};

constexpr ByteCase kBytes[] = {
    { 1252, 0x41, false, u'A' },
    { 1252, 0xE9, false, u'\u00E9' },
    { 1252, 0x80, false, u'\u20AC' },
    { 1252, 0x81, false, 0x81 }, // not defined in 1252: stands for itself
    { 1251, 0xE9, false, u'\u0439' },
    { 1251, 0xCF, false, u'\u041F' },
    { 1253, 0xE1, false, u'\u03B1' },
    { 932, 0x41, false, u'A' },
    { 932, 0x82, true, 0 },
    { 932, 0xB1, false, u'\uFF71' }, // a half-width katakana: one byte
    { 936, 0xC4, true, 0 },
    { 437, 0x41, false, u'A' }, // a code page that cannot be converted
    { 437, 0xE9, false, 0xE9 },
};

TEST(ByteDecoderTest, DecodesEachByteInItsCodePage)
{
    ByteDecoder decoder;
    for (int round = 0; round < 2; ++round) {
        for (const ByteCase& row : kBytes) {
            const ByteDecoder::Byte decoded = decoder.Decode(row.CodePage, row.Byte);
            EXPECT_EQ(decoded.LeadByte, row.LeadByte) << row.CodePage << " " << int { row.Byte } << " round " << round;
            if (!row.LeadByte) {
                EXPECT_EQ(decoded.Unit, row.Unit) << row.CodePage << " " << int { row.Byte } << " round " << round;
            }
        }
    }
}

TEST(ByteDecoderTest, DecodesPairs)
{
    const struct {
        std::uint16_t CodePage;
        std::uint8_t Lead;
        std::uint8_t Trail;
        char16_t Unit;
    } rows[] = {
        { 932, 0x82, 0xA0, u'\u3042' },
        { 936, 0xC4, 0xE3, u'\u4F60' },
        { 932, 0x82, 0x20, 0x2082 }, // no such pair: the bytes' little-endian value
        { 437, 0x82, 0xA0, 0xA082 },
    };
    for (const auto& row : rows)
        EXPECT_EQ(ByteDecoder::DecodePair(row.CodePage, row.Lead, row.Trail), row.Unit) << row.CodePage;
}

} // namespace
} // namespace rtf
