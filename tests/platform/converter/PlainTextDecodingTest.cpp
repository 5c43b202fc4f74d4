#include "PlainTextDecoding.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

using platform::TextEncoding;

std::vector<std::uint8_t> Bytes(std::string_view text)
{
    return { text.begin(), text.end() };
}

TEST(PlainTextDecodingTest, DetectsTheEncodingFromTheBytes)
{
    struct Row {
        std::string_view bytes;
        TextEncoding encoding;
    };
    using namespace std::string_view_literals;
    const Row rows[] = {
        { ""sv, TextEncoding::Ansi }, { "plain ASCII\n"sv, TextEncoding::Ansi }, { "caf\xe9\n"sv, TextEncoding::Ansi },
        { "caf\xc3\xa9\n"sv, TextEncoding::Utf8 }, { "\xef\xbb\xbfplain"sv, TextEncoding::Utf8WithMark },
        { "\xef\xbb\xbf"sv, TextEncoding::Utf8WithMark },
        { "\xff\xfe"
          "a\0"sv,
            TextEncoding::Refused },
        { "\xfe\xff\0a"sv, TextEncoding::Refused }, { "\xff"sv, TextEncoding::Ansi },
        { "a\0b"sv, TextEncoding::Refused }, { "\xef\xbb\xbf\0"sv, TextEncoding::Refused },
        { "\xc0\xaf"sv, TextEncoding::Ansi }, // overlong form
        { "\xed\xa0\x80"sv, TextEncoding::Ansi }, // a surrogate
        { "\xf4\x90\x80\x80"sv, TextEncoding::Ansi }, // above U+10FFFF
        { "ok \xc3"sv, TextEncoding::Ansi }, // truncated at the end
        { "\xe2\x82"sv, TextEncoding::Ansi }, // truncated three-byte form
        { "\xf0\x9f\x98\x80 smile"sv, TextEncoding::Utf8 }, // four bytes
        { "\xc3\xa9 then \xe9"sv, TextEncoding::Ansi }, // mixed: not UTF-8
    };
    for (const Row& row : rows)
        EXPECT_EQ(platform::DetectTextEncoding(Bytes(row.bytes)), row.encoding) << row.bytes;
}

TEST(PlainTextDecodingTest, DecodesUtf8ReplacingWhatIsInvalid)
{
    struct Row {
        std::string_view bytes;
        std::u16string text;
    };
    const Row rows[] = {
        { "", u"" },
        { "\xd0\x9f\xd1\x80\xd0\xb8", u"При" },
        { "\xce\xb1\xce\xb2", u"αβ" },
        { "\xe6\x97\xa5\xe6\x9c\xac", u"日本" },
        { "\xf0\x9f\x98\x80", u"\U0001F600" },
        { "a\xc3", u"a\uFFFD" },
        { "\xc0\xafz", u"\uFFFD\uFFFDz" },
        { "\xed\xa0\x80", u"\uFFFD\uFFFD\uFFFD" },
    };
    for (const Row& row : rows)
        EXPECT_EQ(platform::DecodeUtf8(Bytes(row.bytes)), row.text) << row.bytes;
}

TEST(PlainTextDecodingTest, PlainTextDropsTheUtf8MarkAndReadsTheRest)
{
    setenv("LC_ALL", "en_US.UTF-8", 1);
    setenv("LANG", "en_US.UTF-8", 1);
    struct Row {
        std::string_view bytes;
        std::optional<std::u16string> text;
    };
    using namespace std::string_view_literals;
    const Row rows[] = {
        { "\xef\xbb\xbfna\xc3\xafve"sv, u"naïve" },
        { "na\xc3\xafve"sv, u"naïve" },
        { "na\xefve \x80"sv, u"naïve €" },
        { "\xe9\xe8\xff"sv, u"éèÿ" },
        { "\xff\xfeh\0"sv, std::nullopt },
        { "bin\0ary"sv, std::nullopt },
        { ""sv, u"" },
    };
    for (const Row& row : rows)
        EXPECT_EQ(platform::DecodePlainText(Bytes(row.bytes)), row.text) << row.bytes;
}

} // namespace
