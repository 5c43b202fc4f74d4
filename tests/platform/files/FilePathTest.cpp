#include "FilePath.h"

#include <gtest/gtest.h>
#include <string>

namespace {

struct PathRow {
    std::u16string path;
    const char* expected; // null: no path
};

TEST(FilePathTest, BackslashSeparatesAndTextBecomesUtf8)
{
    const PathRow rows[] = {
        { u"docs\\a.txt", "docs/a.txt" },
        { u"\\tmp\\docs\\a.txt", "/tmp/docs/a.txt" },
        { u"docs/a.txt", "docs/a.txt" },
        { u"Gr\u00fc\u00dfe\\\u6587\u66f8.rtf",
            "Gr\xc3\xbc\xc3\x9f"
            "e/\xe6\x96\x87\xe6\x9b\xb8.rtf" },
        { u"\U0001F600.txt", "\xf0\x9f\x98\x80.txt" },
        { u"", nullptr },
        { std::u16string(u"a\0b", 3), nullptr },
        { std::u16string(1, u'\xD800') + u".txt", nullptr },
        { u"x" + std::u16string(1, u'\xDC00'), nullptr },
        { std::u16string(32768, u'a'), nullptr },
    };
    for (const PathRow& row : rows) {
        std::optional<std::string> path = platform::FileSystemPath(row.path);
        if (row.expected == nullptr) {
            EXPECT_FALSE(path.has_value()) << row.path.size();
            continue;
        }
        ASSERT_TRUE(path.has_value()) << row.expected;
        EXPECT_EQ(*path, row.expected);
    }
    EXPECT_TRUE(platform::FileSystemPath(std::u16string(32767, u'a')).has_value());
}

} // namespace
