#include "RtfText.h"
#include "CharsetCodePages.h"
#include "RtfDocumentWriter.h"

#include <Fonts.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

using librevenge::RVNGPropertyList;
using librevenge::RVNGPropertyListVector;

std::u16string Convert(std::string_view rtf)
{
    return platform::RtfToUnicodeText(std::span(reinterpret_cast<const std::uint8_t*>(rtf.data()), rtf.size()));
}

struct Row {
    const char* name;
    std::string_view rtf;
    std::u16string_view text;
};

TEST(RtfTextTest, GivesTheTextOfTheBody)
{
    setenv("LC_ALL", "en_US.UTF-8", 1);
    setenv("LANG", "en_US.UTF-8", 1);
    using namespace std::string_view_literals;
    // Text in groups beyond the depth limit is left out; the outer group
    // counts, so depth 1 holds "a" and groups 2 to the limit one "x" each.
    std::string deep = "{\\rtf1 a";
    for (std::size_t i = 0; i < platform::kMaxRtfTextGroupDepth + 10; ++i)
        deep += "{x";
    deep += std::string(platform::kMaxRtfTextGroupDepth + 10, '}') + "b}";
    const std::u16string deepText = u"a" + std::u16string(platform::kMaxRtfTextGroupDepth - 1, u'x') + u"b";
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
        { "groups beyond the depth limit", deep, deepText },
    };
    for (const Row& row : rows)
        EXPECT_EQ(Convert(row.rtf), row.text) << row.name;
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

RVNGPropertyList Span(const char* font, double points)
{
    RVNGPropertyList span;
    span.insert("style:font-name", font);
    span.insert("fo:font-size", points, librevenge::RVNG_POINT);
    return span;
}

// The body of the document: what follows the tables.
std::string Body(const platform::RtfDocumentWriter& writer)
{
    const std::string rtf = writer.Rtf();
    const std::size_t start = rtf.find("\\plain\\f0\n");
    return start == std::string::npos ? rtf : rtf.substr(start + 10);
}

// The body of one paragraph with these properties holding one span with
// these properties, and the span's text.
std::string OneSpan(const RVNGPropertyList& paragraph, const RVNGPropertyList& span, const char* text = "x")
{
    platform::RtfDocumentWriter writer(1252);
    writer.openParagraph(paragraph);
    writer.openSpan(span);
    writer.insertText(text);
    writer.closeSpan();
    writer.closeParagraph();
    return Body(writer);
}

TEST(RtfDocumentWriterTest, WritesCharacterFormatsSizesInHalfPointsAndParagraphFormats)
{
    struct Row {
        const char* name;
        const char* property;
        const char* value;
        const char* expected;
    };
    const Row rows[] = {
        { "bold", "fo:font-weight", "bold", "{\\f0\\fs20\\b x}" },
        { "numeric bold", "fo:font-weight", "700", "{\\f0\\fs20\\b x}" },
        { "normal weight", "fo:font-weight", "normal", "{\\f0\\fs20 x}" },
        { "no underline", "style:text-underline-type", "none", "{\\f0\\fs20 x}" },
        { "colour", "fo:color", "#00ff80", "{\\f0\\fs20\\cf1 x}" },
        { "background", "fo:background-color", "#ffff00", "{\\f0\\fs20\\cb1 x}" },
        { "malformed colour", "fo:color", "#12", "{\\f0\\fs20 x}" },
        { "malformed colour digits", "fo:color", "#12345z", "{\\f0\\fs20 x}" },
    };
    for (const Row& row : rows) {
        RVNGPropertyList span = Span("Tahoma", 10);
        span.insert(row.property, row.value);
        EXPECT_EQ(OneSpan({}, span), std::string("\\pard\\ql ") + row.expected + "\\par\n}\n") << row.name;
    }
    struct SizeRow {
        double value;
        librevenge::RVNGUnit unit;
        const char* expected;
    };
    const SizeRow sizes[] = {
        { 12, librevenge::RVNG_POINT, "\\fs24" },
        { 10.5, librevenge::RVNG_POINT, "\\fs21" },
        { 0.25, librevenge::RVNG_INCH, "\\fs36" },
        { 240, librevenge::RVNG_TWIP, "\\fs24" },
        { 0, librevenge::RVNG_POINT, "" },
        { -3, librevenge::RVNG_POINT, "" },
        { 1e9, librevenge::RVNG_POINT, "" },
    };
    for (const SizeRow& row : sizes) {
        RVNGPropertyList span;
        span.insert("fo:font-size", row.value, row.unit);
        EXPECT_EQ(OneSpan({}, span, ""), std::string("\\pard\\ql {\\f0") + row.expected + " }\\par\n}\n") << row.value;
    }

    struct ParagraphRow {
        const char* name;
        const char* align;
        double left, right, first; // inches
        const char* expected;
    };
    const ParagraphRow paragraphs[] = {
        { "left", "left", 0, 0, 0, "\\pard\\ql " },
        { "start", "start", 0, 0, 0, "\\pard\\ql " },
        { "right", "end", 0, 0, 0, "\\pard\\qr " },
        { "also right", "right", 0, 0, 0, "\\pard\\qr " },
        { "centre", "center", 0, 0, 0, "\\pard\\qc " },
        { "justified", "justify", 0, 0, 0, "\\pard\\qj " },
        { "indents", "left", 0.5, 1, -0.25, "\\pard\\ql\\li720\\ri1440\\fi-360 " },
        { "absurd indent left out", "left", 1e12, 0, 0, "\\pard\\ql " },
    };
    for (const ParagraphRow& row : paragraphs) {
        RVNGPropertyList paragraph;
        paragraph.insert("fo:text-align", row.align);
        paragraph.insert("fo:margin-left", row.left);
        paragraph.insert("fo:margin-right", row.right);
        paragraph.insert("fo:text-indent", row.first);
        EXPECT_EQ(OneSpan(paragraph, {}, ""), std::string(row.expected) + "{\\f0 }\\par\n}\n") << row.name;
    }
}

using Writer = platform::RtfDocumentWriter;

void WriteParagraph(Writer& writer, const char* text, const RVNGPropertyList& properties = {})
{
    writer.openParagraph(properties);
    writer.insertText(text);
    writer.closeParagraph();
}

struct SequenceRow {
    const char* name;
    void (*write)(Writer&);
    const char* body;
};

const SequenceRow kSequences[] = {
    { "tab stops count from the left indent",
        [](Writer& writer) {
            RVNGPropertyList paragraph;
            paragraph.insert("fo:margin-left", 0.5);
            RVNGPropertyListVector stops;
            for (double position : { 1.0, 0.25, 1.0 }) {
                RVNGPropertyList stop;
                stop.insert("style:position", position);
                stops.append(stop);
            }
            paragraph.insert("librevenge:tab-stops", stops);
            writer.openParagraph(paragraph);
            writer.insertText("a");
            writer.insertTab();
            writer.insertText("b");
            writer.closeParagraph();
        },
        "\\pard\\ql\\li720\\tx1080\\tx2160 a\\tab b\\par\n}\n" },
    { "bullets and numbers start their paragraphs with a tab",
        [](Writer& writer) {
            RVNGPropertyList bullets;
            bullets.insert("text:bullet-char", "\xe2\x80\xa2");
            writer.openUnorderedListLevel(bullets);
            RVNGPropertyList hanging;
            hanging.insert("fo:margin-left", 0.5);
            hanging.insert("fo:text-indent", -0.25);
            writer.openListElement(hanging);
            writer.insertText("one");
            writer.closeListElement();
            writer.closeUnorderedListLevel();
            writer.openOrderedListLevel({});
            for (const char* text : { "first", "" }) {
                writer.openListElement({});
                writer.insertText(text);
                writer.closeListElement();
            }
            writer.closeOrderedListLevel();
            WriteParagraph(writer, "after");
        },
        "\\pard\\ql\\li720\\fi-360\\tx720 \\u8226\\'3f\\tab one\\par\n\\pard\\ql 1.\\tab first\\par\n"
        "\\pard\\ql 2.\\tab \\par\n\\pard\\ql after\\par\n}\n" },
    { "a bullet takes the format of its text",
        [](Writer& writer) {
            writer.openUnorderedListLevel({});
            writer.openListElement({});
            writer.openSpan(Span("Courier New", 18));
            writer.insertText("big");
            writer.closeSpan();
            writer.closeListElement();
            writer.openListElement({});
            writer.closeListElement();
            writer.closeUnorderedListLevel();
        },
        "\\pard\\ql {\\f0\\fs36 \\u8226\\'3f\\tab big}\\par\n\\pard\\ql \\u8226\\'3f\\tab \\par\n}\n" },
    // "{a\b}", e acute, Cyrillic Pe, a CJK character, a character beyond the
    // BMP, a tab, an invalid byte and a control character.
    { "escapes text and writes Unicode characters",
        [](Writer& writer) {
            writer.openParagraph({});
            writer.insertText("{a\\b} \xc3\xa9\xd0\x9f\xe6\x97\xa5\xf0\x9f\x98\x80\t\xff\x01.");
            writer.insertSpace();
            writer.insertLineBreak();
            writer.closeParagraph();
        },
        "\\pard\\ql \\{a\\\\b\\} \\u233\\'3f\\u1055\\'3f\\u26085\\'3f\\u-10179\\'3f\\u-8704\\'3f\\tab "
        "\\u-3\\'3f. \\par\n\\par\n}\n" },
    { "headers, footers and notes are left out",
        [](Writer& writer) {
            writer.openHeader({});
            WriteParagraph(writer, "header");
            writer.closeHeader();
            writer.openParagraph({});
            writer.insertText("body");
            writer.openFootnote({});
            WriteParagraph(writer, "note");
            writer.closeFootnote();
            writer.insertText(".");
            writer.closeParagraph();
            writer.closeFooter(); // one close too many changes nothing
            WriteParagraph(writer, "end");
        },
        "\\pard\\ql body.\\par\n\\pard\\ql end\\par\n}\n" },
    { "spans left open close with the paragraph",
        [](Writer& writer) {
            writer.openParagraph({});
            writer.openSpan(Span("Tahoma", 10));
            writer.insertText("a");
            writer.openParagraph({}); // a paragraph never closed ends at the next
            writer.insertText("b");
            writer.closeSpan(); // no span open: nothing to close
            writer.closeParagraph();
        },
        "\\pard\\ql {\\f0\\fs20 a}\\par\n\\pard\\ql b\\par\n}\n" },
    { "page break before a paragraph",
        [](Writer& writer) {
            RVNGPropertyList paragraph;
            paragraph.insert("fo:break-before", "page");
            WriteParagraph(writer, "p2", paragraph);
        },
        "\\page\n\\pard\\ql p2\\par\n}\n" },
};

TEST(RtfDocumentWriterTest, WritesTheBodyOfEachSequenceOfCalls)
{
    for (const SequenceRow& row : kSequences) {
        Writer writer(1252);
        row.write(writer);
        EXPECT_EQ(Body(writer), row.body) << row.name;
    }
    // Without fonts the default face stands as font 0.
    EXPECT_EQ(Writer(1252).Rtf(),
        "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 Tahoma;}}\n\\plain\\f0\n}\n");
}

} // namespace
