#include "PutMailChar.h"

#include <gtest/gtest.h>

#include <string>

namespace email {
namespace {

std::u16string sunk;

void Record(char16_t ch)
{
    sunk.push_back(ch);
}

TEST(PutMailChar, FiltersEscapes)
{
    const struct {
        std::u16string_view input;
        std::u16string_view output;
    } rows[] = {
        { u"plain text", u"plain text" },
        { u"a=3Db", u"a=b" }, // escaped equals sign
        { u"a=20b", u"ab" }, // escaped space prints nothing
        { u"soft=\r\nbreak", u"soft\r\nbreak" }, // soft line break stays a line end
        { u"soft=\nbreak", u"soft\nbreak" },
        { u"=41", u"1" }, // other escapes lose "=" and first digit
        { u"x= y", u"xy" }, // equals and blank: neither prints
        { u"x=yz", u"xz" }, // equals and letter: neither prints
        { u"=2x", u"=2x" }, // broken escapes print as they were
        { u"=3x", u"=3x" },
        { u"=3d", u"=3d" }, // only a capital D completes =3D
        { u"=3=3D", u"=3=3D" }, // the held "=3" and then "=" pass as text
        { u"==3D", u"3D" },
        { u"\u00e9=3D\u4e2d", u"\u00e9=\u4e2d" },
    };
    SetMailCharSink(Record);
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.input.begin(), row.input.end()));
        sunk.clear();
        ResetMailCharFilter();
        for (char16_t ch : row.input) {
            PutMailChar(ch);
        }
        EXPECT_EQ(sunk, row.output);
    }
}

TEST(PutMailChar, StatePersistsBetweenCallsAndNoSinkDropsCharacters)
{
    sunk.clear();
    SetMailCharSink(Record);
    ResetMailCharFilter();
    PutMailChar(u'=');
    PutMailChar(u'3');
    EXPECT_EQ(sunk, u"");
    PutMailChar(u'D');
    EXPECT_EQ(sunk, u"=");
    SetMailCharSink(nullptr);
    EXPECT_EQ(PutMailChar(u'a'), 1);
    SetMailCharSink(Record);
    PutMailChar(u'x');
    EXPECT_EQ(sunk, u"=x");
}

} // namespace
} // namespace email
