#include "CodePages.h"
#include "ScopedEnvironment.h"

#include <gtest/gtest.h>
#include <string>

namespace {

using namespace platform;

struct AcpRow {
    const char* lcAll;
    const char* lcCtype;
    const char* lang;
    UINT expected;
};

constexpr AcpRow kAcpRows[] = {
    { nullptr, nullptr, nullptr, 1252 },
    { nullptr, nullptr, "C", 1252 },
    { nullptr, nullptr, "POSIX", 1252 },
    { nullptr, nullptr, "en_US.UTF-8", 1252 },
    { nullptr, nullptr, "pl_PL.UTF-8", 1250 },
    { nullptr, nullptr, "sr_RS@latin", 1250 },
    { nullptr, nullptr, "ru_RU.UTF-8", 1251 },
    { nullptr, nullptr, "el_GR.UTF-8", 1253 },
    { nullptr, nullptr, "tr_TR.UTF-8", 1254 },
    { nullptr, nullptr, "he_IL.UTF-8", 1255 },
    { nullptr, nullptr, "ar_EG.UTF-8", 1256 },
    { nullptr, nullptr, "lt_LT.UTF-8", 1257 },
    { nullptr, nullptr, "vi_VN", 1258 },
    { nullptr, nullptr, "th_TH.UTF-8", 874 },
    { nullptr, nullptr, "ja_JP.UTF-8", 932 },
    { nullptr, nullptr, "zh_CN.UTF-8", 936 },
    { nullptr, nullptr, "zh_TW.UTF-8", 950 },
    { nullptr, nullptr, "ko_KR.UTF-8", 949 },
    { nullptr, nullptr, "xx_YY", 1252 },
    { "ru_RU.UTF-8", "ja_JP.UTF-8", "de_DE.UTF-8", 1251 },
    { nullptr, "ja_JP.UTF-8", "C", 932 },
    { "", "", "el_GR.UTF-8", 1253 },
};

TEST(CodePagesTest, AnsiCodePageFollowsLanguage)
{
    for (const AcpRow& row : kAcpRows) {
        ScopedEnvironment environment;
        environment.Set("LC_ALL", row.lcAll);
        environment.Set("LC_CTYPE", row.lcCtype);
        environment.Set("LANG", row.lang);
        EXPECT_EQ(GetACP(), row.expected) << (row.lang ? row.lang : "(unset)");
    }
}

struct ConversionRow {
    UINT codePage;
    const char* bytes;
    int count;
    const char16_t* expected; // null: the conversion fails
};

// Values of the code pages' published tables, including the places where
// they differ from the ISO and JIS standards.
constexpr ConversionRow kConversionRows[] = {
    { 874, "\xA1", 1, u"\u0E01" },
    { 1250, "\x8A", 1, u"\u0160" },
    { 1251, "\xC0", 1, u"\u0410" },
    { 1252, "\x80", 1, u"\u20AC" },
    { 1252, "\x81", 1, u"\u0081" },
    { 1252, "\x9F", 1, u"\u0178" },
    { 1253, "\xC1", 1, u"\u0391" },
    { 1253, "\xD2", 1, nullptr },
    { 1254, "\xD0", 1, u"\u011E" },
    { 1255, "\xE0", 1, u"\u05D0" },
    { 1255, "\xFF", 1, nullptr },
    { 1256, "\xC7", 1, u"\u0627" },
    { 1257, "\xC0", 1, u"\u0104" },
    { 1257, "\xA1", 1, nullptr },
    { 1258, "\xC3", 1, u"\u0102" },
    { 932, "\xB1", 1, u"\uFF71" },
    { 932, "\x82\xA0", 2, u"\u3042" },
    { 932, "\x5C", 1, u"\\" },
    { 932, "\x81\x60", 2, u"\uFF5E" },
    { 932, "\x81\x5F", 2, u"\uFF3C" },
    { 932, "\x82", 1, nullptr },
    { 932, "\x81\x20", 2, nullptr },
    { 936, "\x80", 1, u"\u20AC" },
    { 936, "\xB0\xA1", 2, u"\u554A" },
    { 936, "\x81\x7F", 2, nullptr },
    { 936, "\xB0", 1, nullptr },
    { 949, "\xB0\xA1", 2, u"\uAC00" },
    { 949, "\x81\x41", 2, u"\uAC02" },
    { 949, "\x81\x20", 2, nullptr },
    { 950, "\xA4\x40", 2, u"\u4E00" },
    { 950, "\xF9\xF9", 2, u"\u2550" },
    { 950, "\xA4\x20", 2, nullptr },
    { CP_UTF8, "\xC3\xA9", 2, u"\u00E9" },
    { CP_UTF8, "\xF0\x9F\x98\x80", 4, u"\U0001F600" },
    { CP_UTF8, "\xC3\x28", 2, nullptr },
    { CP_UTF8, "\xC3", 1, nullptr },
    { 1252, "abc", 3, u"abc" },
    { 1252, "abc", -1, u"abc" }, // the terminator is converted too
    { 1252, "", 0, nullptr },
    { 1252, "a", -2, nullptr },
    { 437, "a", 1, nullptr },
    { 1200, "a", 1, nullptr },
};

TEST(CodePagesTest, MultiByteToWideChar)
{
    for (const ConversionRow& row : kConversionRows) {
        char16_t out[8] = {};
        int written = MultiByteToWideChar(row.codePage, 0, row.bytes, row.count, out, 8);
        int needed = MultiByteToWideChar(row.codePage, MB_ERR_INVALID_CHARS, row.bytes, row.count, nullptr, 0);
        std::string context = "code page " + std::to_string(row.codePage) + " bytes " + row.bytes;
        if (row.expected == nullptr) {
            EXPECT_EQ(written, 0) << context;
            EXPECT_EQ(needed, 0) << context;
            continue;
        }
        std::u16string expected(row.expected);
        if (row.count == -1)
            expected.push_back(u'\0');
        EXPECT_EQ(written, static_cast<int>(expected.size())) << context;
        EXPECT_EQ(needed, written) << context;
        EXPECT_EQ(std::u16string(out, static_cast<std::size_t>(std::max(written, 0))), expected) << context;
    }
}

TEST(CodePagesTest, OutputTooSmallFails)
{
    char16_t out[4] = { u'x', u'x', u'x', u'x' };
    EXPECT_EQ(MultiByteToWideChar(1252, 0, "abc", 3, out, 2), 0);
    EXPECT_EQ(MultiByteToWideChar(1252, 0, "abc", 3, out, 3), 3);
    EXPECT_EQ(std::u16string(out, 3), u"abc");
    EXPECT_EQ(MultiByteToWideChar(1252, 0, "abc", 3, nullptr, 3), 0);
    EXPECT_EQ(MultiByteToWideChar(1252, 0, nullptr, 3, out, 3), 0);
}

TEST(CodePagesTest, LongInputSizeQuery)
{
    std::string bytes(1000, '\xE9');
    bytes += "\x82\xA0";
    EXPECT_EQ(MultiByteToWideChar(1252, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0), 1002);
    // 0xE9 0x82 is a valid pair in 932, and so is each following pair.
    EXPECT_EQ(MultiByteToWideChar(932, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0), 501);
    bytes += "\x82";
    EXPECT_EQ(MultiByteToWideChar(932, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0), 0);
}

TEST(CodePagesTest, AnsiCodePageConvertsWithTheEnvironmentsTable)
{
    ScopedEnvironment environment;
    environment.Set("LANG", "ja_JP.UTF-8");
    char16_t out[2] = {};
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "\x82\xA0", 2, out, 2), 1);
    EXPECT_EQ(out[0], u'\u3042');
    EXPECT_TRUE(IsDBCSLeadByteEx(CP_ACP, 0x82));
    environment.Set("LANG", "ru_RU.UTF-8");
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "\xC0", 1, out, 2), 1);
    EXPECT_EQ(out[0], u'\u0410');
    EXPECT_FALSE(IsDBCSLeadByteEx(CP_ACP, 0x82));
}

struct LeadByteRow {
    UINT codePage;
    std::uint8_t byte;
    bool expected;
};

constexpr LeadByteRow kLeadByteRows[] = {
    { 932, 0x80, false },
    { 932, 0x81, true },
    { 932, 0xA0, false },
    { 932, 0xDF, false },
    { 932, 0xE0, true },
    { 932, 0xFC, true },
    { 932, 0xFD, false },
    { 936, 0x80, false },
    { 936, 0x81, true },
    { 936, 0xFF, false },
    { 949, 0x7F, false },
    { 949, 0x81, true },
    { 950, 0x80, false },
    { 950, 0xA4, true },
    { 1252, 0x81, false },
    { 1251, 0xC0, false },
    { CP_UTF8, 0xC3, false },
    { 437, 0x81, false },
};

TEST(CodePagesTest, IsDBCSLeadByteEx)
{
    for (const LeadByteRow& row : kLeadByteRows)
        EXPECT_EQ(IsDBCSLeadByteEx(row.codePage, row.byte), row.expected)
            << "code page " << row.codePage << " byte " << int(row.byte);
}

TEST(CodePagesTest, ValidCodePages)
{
    for (UINT codePage : { 874u, 932u, 936u, 949u, 950u, 1250u, 1251u, 1252u, 1253u, 1254u, 1255u, 1256u, 1257u, 1258u,
             CP_UTF8, CP_ACP })
        EXPECT_TRUE(IsValidCodePage(codePage)) << codePage;
    for (UINT codePage : { 437u, 1200u, 20127u, 54936u })
        EXPECT_FALSE(IsValidCodePage(codePage)) << codePage;
}

} // namespace
