#include "HtmlToText.h"

#include <gtest/gtest.h>

#include <ostream>

namespace platform {
namespace {

struct HtmlCase {
    std::u16string_view html;
    std::u16string_view text;
};

void PrintTo(const HtmlCase& row, std::ostream* out)
{
    for (char16_t ch : row.html) {
        *out << (ch >= u'0' && ch <= u'z' && ch != u'\\' ? static_cast<char>(ch) : '_');
    }
}

class HtmlToTextTest : public testing::TestWithParam<HtmlCase> { };

TEST_P(HtmlToTextTest, RendersPlainText)
{
    EXPECT_EQ(HtmlToText(GetParam().html), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Cases, HtmlToTextTest,
    testing::Values(HtmlCase { u"", u"" }, HtmlCase { u"plain", u"plain\r\n" },
        HtmlCase { u"<html><head><title>T</title><style>p{x}</style></head><body><p>One</p><p>Two</p></body></html>",
            u"One\r\n\r\nTwo\r\n" },
        HtmlCase { u"a<br>b<br/><br />c", u"a\r\nb\r\n\r\nc\r\n" },
        HtmlCase { u"<div>x</div><div>y</div>", u"x\r\ny\r\n" },
        HtmlCase { u"  lots \n\t of   space  ", u"lots of space\r\n" },
        HtmlCase {
            u"&lt;a&gt; &amp; &quot;q&quot; &#233; &#x4E2D; &euro;&nbsp;x", u"<a> & \"q\" \u00e9 \u4e2d \u20ac x\r\n" },
        HtmlCase { u"&unknown; & &#xZZ; &#; &", u"&unknown; & &#xZZ; &#; &\r\n" },
        HtmlCase { u"&#0; &#x110000; &#xD800;", u"\uFFFD \uFFFD \uFFFD\r\n" },
        HtmlCase { u"&#x1F600;", u"\U0001F600\r\n" },
        HtmlCase { u"<ul><li>a</li><li>b</li></ul>after", u"a\r\nb\r\n\r\nafter\r\n" },
        HtmlCase { u"x<!-- <p>hidden</p> -->y", u"xy\r\n" },
        HtmlCase { u"<script>if (a < b) alert(1)</script>shown", u"shown\r\n" },
        HtmlCase { u"<pre>a  b\nc</pre>d", u"a  b\r\nc\r\n\r\nd\r\n" },
        HtmlCase { u"<P>Caps</P><BR>x", u"Caps\r\n\r\n\r\nx\r\n" },
        HtmlCase { u"unterminated <b", u"unterminated\r\n" }, HtmlCase { u"<!-- never closed", u"" }));

} // namespace
} // namespace platform
