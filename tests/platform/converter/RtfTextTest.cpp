#include "RtfText.h"
#include "CharsetCodePages.h"

#include <Fonts.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

std::u16string Convert(std::string_view rtf)
{
    return platform::RtfToUnicodeText(std::span(reinterpret_cast<const std::uint8_t*>(rtf.data()), rtf.size()));
}

class RtfTextTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("LC_ALL", "en_US.UTF-8", 1);
        setenv("LANG", "en_US.UTF-8", 1);
    }
};

struct Row {
    const char* name;
    std::string_view rtf;
    std::u16string_view text;
};

TEST_F(RtfTextTest, GivesTheTextOfTheBody)
{
    using namespace std::string_view_literals;
    const Row rows[] = {
        { "empty", ""sv, u"" },
        { "plain paragraph", "{\\rtf1 Hello world\\par}"sv, u"Hello world\r\n" },
        { "line ends in the source add nothing", "{\\rtf1 Hello\r\nworld}"sv, u"Helloworld" },
        { "tabs, lines and pages", "{\\rtf1 a\\tab b\\line c\\page d}"sv, u"a\tb\r\nc\fd" },
        { "escaped symbols", "{\\rtf1 \\{x\\}\\\\}"sv, u"{x}\\" },
        { "backslash line end ends the paragraph", "{\\rtf1 a\\\nb}"sv, u"a\r\nb" },
        { "typographic characters", "{\\rtf1 \\ldblquote q\\rdblquote \\lquote \\emdash\\endash\\bullet}"sv,
            u"\u201Cq\u201D\u2018\u2014\u2013\u2022" },
        { "hex escape through 1252", "{\\rtf1\\ansi caf\\'e9}"sv, u"caf\u00e9" },
        { "hex escape with a charset font", "{\\rtf1{\\fonttbl{\\f1\\fcharset204 Arial;}}\\f1 \\'cf\\'f0}"sv,
            u"\u041f\u0440" },
        { "ansicpg for a charset without a code page", "{\\rtf1\\ansicpg1251{\\fonttbl{\\f0\\fcharset77 X;}}\\'e9}"sv,
            u"\u0439" },
        { "shift-jis pair", "{\\rtf1{\\fonttbl{\\f0\\fcharset128 MS Mincho;}}\\f0 \\'93\\'fa}"sv, u"\u65e5" },
        { "default font from deff", "{\\rtf1\\deff2{\\fonttbl{\\f2\\fcharset204 A;}}\\'e9}"sv, u"\u0439" },
        { "plain returns to the default font",
            "{\\rtf1\\deff0{\\fonttbl{\\f0\\fcharset0 A;}{\\f1\\fcharset204 B;}}\\f1\\'e9\\plain\\'e9}"sv,
            u"\u0439\u00e9" },
        { "group restores the font", "{\\rtf1{\\fonttbl{\\f0 A;}{\\f1\\fcharset204 B;}}{\\f1\\'e9}\\'e9}"sv,
            u"\u0439\u00e9" },
        { "unicode with hex fallback", "{\\rtf1 \\u1055\\'3fx}"sv, u"\u041fx" },
        { "unicode with plain fallback", "{\\rtf1 \\u8364?}"sv, u"\u20ac" },
        { "uc2 drops two fallback bytes", "{\\rtf1\\uc2\\u26085\\'93\\'fa!}"sv, u"\u65e5!" },
        { "uc0 drops nothing", "{\\rtf1\\uc0\\u26085 !}"sv, u"\u65e5!" },
        { "negative unicode", "{\\rtf1 \\u-3913\\'b7}"sv, u"\uf0b7" },
        { "fallback does not pass the group end", "{\\rtf1{\\u233}x}"sv, u"\u00e9x" },
        { "skipped tables and info",
            "{\\rtf1{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red1\\green2\\blue3;}{\\stylesheet{\\s0 Normal;}}"
            "{\\info{\\title T}{\\author A}}Body}"sv,
            u"Body" },
        { "skipped headers footers and notes", "{\\rtf1{\\header H}{\\footer F}a{\\footnote N}b{\\*\\generator G;}}"sv,
            u"ab" },
        { "unknown destination after star", "{\\rtf1 a{\\*\\shppict{\\pict x}}b}"sv, u"ab" },
        { "unknown word without star keeps its text", "{\\rtf1 a{\\foo x}b}"sv, u"axb" },
        { "field instruction skipped, result kept", "{\\rtf1{\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt link}}}"sv,
            u"link" },
        { "picture data skipped", "{\\rtf1 a{\\pict\\pngblip\\bin3 \x01}{\x02}b}"sv, u"ab" },
        { "binary data outside a picture skipped", "{\\rtf1 a\\bin2 xyb}"sv, u"ab" },
        { "binary count beyond the end", "{\\rtf1 a\\bin99 xy"sv, u"a" },
        { "one closing brace too many", "{\\rtf1 a}}b"sv, u"ab" },
        { "truncated after backslash", "{\\rtf1 a\\"sv, u"a" },
        { "truncated hex escape", "{\\rtf1 a\\'e"sv, u"a" },
        { "invalid hex escape", "{\\rtf1 a\\'zzb}"sv, u"azzb" },
        { "control characters in the text are left out", "{\\rtf1 a\\u0 b\\'00c\\u13 d\\'0ae\x01\tf}"sv, u"ace\tf" },
        { "table cells and rows", "{\\rtf1 a\\cell b\\cell\\row c}"sv, u"a\tb\t\r\nc" },
    };
    for (const Row& row : rows)
        EXPECT_EQ(Convert(row.rtf), row.text) << row.name;
}

TEST_F(RtfTextTest, TextInGroupsBeyondTheDepthLimitIsLeftOut)
{
    std::string rtf = "{\\rtf1 a";
    for (std::size_t i = 0; i < platform::kMaxRtfTextGroupDepth + 10; ++i)
        rtf += "{x";
    for (std::size_t i = 0; i < platform::kMaxRtfTextGroupDepth + 10; ++i)
        rtf += "}";
    rtf += "b}";
    const std::u16string text = Convert(rtf);
    // The outer group counts: depth 1 holds "a", groups 2 to the limit hold
    // one "x" each.
    EXPECT_EQ(text, u"a" + std::u16string(platform::kMaxRtfTextGroupDepth - 1, u'x') + u"b");
}

// The converter reads a document's text in the code pages the print engine
// prints it in: both must agree for every charset.
TEST(CharsetCodePagesTest, AgreesWithThePrintEngineForEveryCharset)
{
    setenv("LC_ALL", "ru_RU.UTF-8", 1);
    for (std::uint16_t charset = 0; charset < 256; ++charset) {
        printengine::ResetCodePageState();
        printengine::CodePages().DocumentCodePage = 1257;
        // Select another charset first, so the selection is not skipped as a
        // repeat of the current one.
        printengine::SelectCodePage(charset == 1 ? 3 : 1);
        printengine::SelectCodePage(charset);
        const std::uint16_t expected = printengine::CodePages().CodePage;
        EXPECT_EQ(platform::CodePageOfCharset(charset).value_or(1257), expected) << charset;
    }
}

} // namespace
