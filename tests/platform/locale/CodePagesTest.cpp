#include "CodePages.h"

#include <gtest/gtest.h>
#include <string>

namespace {

using namespace platform;

struct ConversionRow {
    UINT codePage;
    const char* bytes;
    int count;
    const char16_t* expected; // null: the conversion fails
};

// One row for each way a conversion goes; the places where the tables
// differ from the ISO and JIS standards show the right converter is used.
constexpr ConversionRow kConversionRows[] = {
    { 1252, "\x80", 1, u"\u20AC" },
    { 1252, "\x81", 1, u"\u0081" },
    { 1253, "\xD2", 1, nullptr },
    { 932, "\x82\xA0", 2, u"\u3042" },
    { 932, "\x5C", 1, u"\\" },
    { 932, "\x81\x60", 2, u"\uFF5E" },
    { 932, "\x82", 1, nullptr },
    { 932, "\x81\x20", 2, nullptr },
    { 936, "\x80", 1, u"\u20AC" },
    { 949, "\x81\x41", 2, u"\uAC02" },
    { CP_UTF8, "\xF0\x9F\x98\x80", 4, u"\U0001F600" },
    { CP_UTF8, "\xC3\x28", 2, nullptr },
    { 1252, "abc", -1, u"abc" }, // the terminator is converted too
    { 1252, "", 0, nullptr },
    { 1252, "a", -2, nullptr },
    { 437, "a", 1, nullptr },
};

TEST(CodePagesTest, MultiByteToWideCharInTheValidCodePages)
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
    // An output too small fails.
    char16_t out[4] = { u'x', u'x', u'x', u'x' };
    EXPECT_EQ(MultiByteToWideChar(1252, 0, "abc", 3, out, 2), 0);
    EXPECT_EQ(MultiByteToWideChar(1252, 0, "abc", 3, out, 3), 3);
    EXPECT_EQ(std::u16string(out, 3), u"abc");
    EXPECT_EQ(MultiByteToWideChar(1252, 0, "abc", 3, nullptr, 3), 0);
    EXPECT_EQ(MultiByteToWideChar(1252, 0, nullptr, 3, out, 3), 0);

    // Every code page the table names opens its converter.
    for (UINT codePage : { 874u, 932u, 936u, 949u, 950u, 1250u, 1251u, 1252u, 1253u, 1254u, 1255u, 1256u, 1257u, 1258u,
             CP_UTF8, CP_ACP }) {
        EXPECT_TRUE(IsValidCodePage(codePage)) << codePage;
        EXPECT_EQ(MultiByteToWideChar(codePage, 0, "A", 1, out, 2), 1) << codePage;
    }
    for (UINT codePage : { 437u, 1200u, 20127u, 54936u })
        EXPECT_FALSE(IsValidCodePage(codePage)) << codePage;
}

} // namespace
