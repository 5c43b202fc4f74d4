#include "TextConversion.h"

#include <gtest/gtest.h>

namespace shell {
namespace {

TEST(TextConversionTest, Utf8ToUtf16)
{
    struct Row {
        std::string utf8;
        std::u16string utf16;
    };
    const Row rows[] = {
        { "", u"" },
        { "/F \\a.txt", u"/F \\a.txt" },
        { "Gr\xc3\xbc\xc3\x9f", u"Gr\u00fc\u00df" },
        { "\xe2\x82\xac", u"\u20ac" },
        { "\xf0\x9f\x98\x80", u"\U0001F600" },
        { "a\xff"
          "b",
            u"a\uFFFDb" },
        { "\xc3", u"\uFFFD" },
        { "\xc3(", u"\uFFFD(" },
        { "\xc0\xaf", u"\uFFFD\uFFFD" },
        { "\xe0\x80\xaf", u"\uFFFD" },
        { "\xed\xa0\x80", u"\uFFFD" },
        { "\xf4\x90\x80\x80", u"\uFFFD" },
    };
    for (const Row& row : rows)
        EXPECT_EQ(Utf8ToUtf16(row.utf8), row.utf16) << row.utf8;
}

TEST(TextConversionTest, Utf16ToUtf8)
{
    EXPECT_EQ(Utf16ToUtf8(u"Tall\u00f6win \u20ac \U0001F600"), "Tall\xc3\xb6win \xe2\x82\xac \xf0\x9f\x98\x80");
    EXPECT_EQ(Utf16ToUtf8(std::u16string(1, u'\xD800') + u"x"), "\xef\xbf\xbdx");
    EXPECT_EQ(Utf16ToUtf8(std::u16string(1, u'\xDC00')), "\xef\xbf\xbd");
    EXPECT_EQ(Utf16ToUtf8(u""), "");
}

} // namespace
} // namespace shell
