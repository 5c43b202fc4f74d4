#include "HtmlToText.h"

#include <gtest/gtest.h>

#include <string>

namespace platform {
namespace {

struct HtmlCase {
    std::u16string_view html;
    std::u16string_view text;
};

TEST(HtmlToTextTest, RendersPlainText)
{
    const HtmlCase rows[] = {
        { u"", u"" },
        { u"plain", u"plain\r\n" },
        { u"<html><head><title>T</title><style>p{x}</style></head><body><p>One</p><p>Two</p></body></html>",
            u"One\r\n\r\nTwo\r\n" },
        { u"a<br>b<br/><br />c", u"a\r\nb\r\n\r\nc\r\n" },
        { u"<div>x</div><div>y</div>", u"x\r\ny\r\n" },
        { u"  lots \n\t of   space  ", u"lots of space\r\n" },
        { u"&lt;a&gt; &amp; &quot;q&quot; &#233; &#x4E2D; &euro;&nbsp;x", u"<a> & \"q\" \u00e9 \u4e2d \u20ac x\r\n" },
        { u"&unknown; & &#xZZ; &#; &", u"&unknown; & &#xZZ; &#; &\r\n" },
        { u"&#0; &#x110000; &#xD800;", u"\uFFFD \uFFFD \uFFFD\r\n" },
        { u"&#x1F600;", u"\U0001F600\r\n" },
        { u"<ul><li>a</li><li>b</li></ul>after", u"a\r\nb\r\n\r\nafter\r\n" },
        { u"x<!-- <p>hidden</p> -->y", u"xy\r\n" },
        { u"<script>if (a < b) alert(1)</script>shown", u"shown\r\n" },
        { u"<pre>a  b\nc</pre>d", u"a  b\r\nc\r\n\r\nd\r\n" },
        { u"<P>Caps</P><BR>x", u"Caps\r\n\r\n\r\nx\r\n" },
        { u"unterminated <b", u"unterminated\r\n" },
        { u"<!-- never closed", u"" },
    };
    for (const HtmlCase& row : rows)
        EXPECT_EQ(HtmlToText(row.html), row.text) << "row " << (&row - rows);
}

} // namespace
} // namespace platform
