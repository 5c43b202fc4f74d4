#include "HtmlToText.h"

#include <gtest/gtest.h>

#include <string>

namespace platform {
namespace {

struct HtmlCase {
    std::string_view html;
    std::u16string_view text;
};

TEST(HtmlToTextTest, RendersPlainText)
{
    const HtmlCase rows[] = {
        { "", u"" },
        { "plain", u"plain\r\n" },
        { "<html><head><title>T</title><style>p{x}</style></head><body><p>One</p><p>Two</p></body></html>",
            u"One\r\n\r\nTwo\r\n" },
        { "a<br>b<br/><br />c", u"a\r\nb\r\n\r\nc\r\n" },
        { "<div>x</div><div>y</div>", u"x\r\ny\r\n" },
        { "  lots \n\t of   space  ", u"lots of space\r\n" },
        { "&lt;a&gt; &amp; &quot;q&quot; &#233; &#x4E2D; &euro;&nbsp;x &hearts;",
            u"<a> & \"q\" \u00e9 \u4e2d \u20ac x \u2665\r\n" },
        { "&unknown; & &#; &", u"&unknown; & &\r\n" },
        // References to no character are dropped; the text around them stays.
        { "a &#0; b &#x110000; c &#xD800; d", u"a b c d\r\n" },
        { "&#x1F600;", u"\U0001F600\r\n" },
        { "<ul><li>a</li><li>b</li></ul>after", u"a\r\nb\r\n\r\nafter\r\n" },
        { "x<!-- <p>hidden</p> -->y", u"xy\r\n" },
        { "<script>if (a < b) alert(1)</script>shown", u"shown\r\n" },
        { "<pre>a  b\nc</pre>d", u"a  b\r\nc\r\n\r\nd\r\n" },
        { "<P>Caps</P><BR>x", u"Caps\r\n\r\n\r\nx\r\n" },
        // Attribute values, quoted or not, hold any character and print nothing.
        { "<p title=\"a>swordfish\">shown</p><img alt='b > c' src=x>y", u"shown\r\n\r\ny\r\n" },
        { "<a href=\"x\" onclick=\"if(a>b)\">link</a> <noscript>no</noscript>", u"link\r\n" },
        { "<style>p > b { }</style><b>bold <i>mixed</b> up</i>", u"bold mixed up\r\n" },
        { "unterminated <b", u"unterminated\r\n" },
        { "<!-- never closed", u"" },
    };
    for (const HtmlCase& row : rows)
        EXPECT_EQ(HtmlToText(row.html), row.text) << "row " << (&row - rows);
}

} // namespace
} // namespace platform
