#include "PutMailChar.h"

#include <gtest/gtest.h>

#include <ostream>

#include <string>

namespace email {
namespace {

std::u16string sunk;

void Record(char16_t ch)
{
    sunk.push_back(ch);
}

std::u16string Filter(std::u16string_view text)
{
    sunk.clear();
    SetMailCharSink(Record);
    ResetMailCharFilter();
    for (char16_t ch : text) {
        PutMailChar(ch);
    }
    return sunk;
}

struct FilterCase {
    std::u16string_view input;
    std::u16string_view output;
};

void PrintTo(const FilterCase& row, std::ostream* out)
{
    for (char16_t ch : row.input) {
        *out << (ch >= u'0' && ch <= u'z' && ch != u'\\' ? static_cast<char>(ch) : '_');
    }
}

class PutMailCharTest : public testing::TestWithParam<FilterCase> { };

TEST_P(PutMailCharTest, FiltersEscapes)
{
    EXPECT_EQ(Filter(GetParam().input), GetParam().output);
}

INSTANTIATE_TEST_SUITE_P(Cases, PutMailCharTest,
    testing::Values(FilterCase { u"", u"" }, FilterCase { u"plain text", u"plain text" },
        FilterCase { u"a=3Db", u"a=b" }, // escaped equals sign
        FilterCase { u"a=20b", u"ab" }, // escaped space prints nothing
        FilterCase { u"soft=\r\nbreak", u"soft\r\nbreak" }, // soft line break stays a line end
        FilterCase { u"soft=\nbreak", u"soft\nbreak" },
        FilterCase { u"=41", u"1" }, // other escapes lose "=" and first digit
        FilterCase { u"caf=E9", u"caf9" }, FilterCase { u"x= y", u"xy" }, // equals and blank: neither prints
        FilterCase { u"x=yz", u"xz" }, // equals and letter: neither prints
        FilterCase { u"=2x", u"=2x" }, // broken escapes print as they were
        FilterCase { u"=3x", u"=3x" }, FilterCase { u"=3d", u"=3d" }, // only a capital D completes =3D
        FilterCase { u"=21", u"=21" }, FilterCase { u"=3=3D", u"=3=3D" }, // the held "=3" and then "=" pass as text
        FilterCase { u"==3D", u"3D" }, FilterCase { u"a=3D=3D=20b", u"a==b" },
        FilterCase { u"\u00e9=3D\u4e2d", u"\u00e9=\u4e2d" }));

TEST(PutMailChar, StatePersistsBetweenCalls)
{
    sunk.clear();
    SetMailCharSink(Record);
    ResetMailCharFilter();
    PutMailChar(u'=');
    PutMailChar(u'3');
    EXPECT_EQ(sunk, u"");
    PutMailChar(u'D');
    EXPECT_EQ(sunk, u"=");
    PutMailChar(u'x');
    EXPECT_EQ(sunk, u"=x");
}

TEST(PutMailChar, WithoutSinkDropsCharacters)
{
    SetMailCharSink(nullptr);
    ResetMailCharFilter();
    EXPECT_EQ(PutMailChar(u'a'), 1);
    sunk.clear();
    SetMailCharSink(Record);
    PutMailChar(u'b');
    EXPECT_EQ(sunk, u"b");
}

} // namespace
} // namespace email
