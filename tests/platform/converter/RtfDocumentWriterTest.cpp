#include "RtfDocumentWriter.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using librevenge::RVNGPropertyList;
using librevenge::RVNGPropertyListVector;

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

TEST(RtfDocumentWriterTest, WithoutFontsTheDefaultFaceStandsAsFontZero)
{
    platform::RtfDocumentWriter writer(1252);
    EXPECT_EQ(
        writer.Rtf(), "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 Tahoma;}}\n\\plain\\f0\n}\n");
}

TEST(RtfDocumentWriterTest, WritesCharacterFormats)
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
        platform::RtfDocumentWriter writer(1252);
        writer.openParagraph({});
        RVNGPropertyList span = Span("Tahoma", 10);
        span.insert(row.property, row.value);
        writer.openSpan(span);
        writer.insertText("x");
        writer.closeSpan();
        writer.closeParagraph();
        EXPECT_EQ(Body(writer), std::string("\\pard\\ql ") + row.expected + "\\par\n}\n") << row.name;
    }
}

TEST(RtfDocumentWriterTest, SizesBecomeHalfPoints)
{
    struct Row {
        double value;
        librevenge::RVNGUnit unit;
        const char* expected;
    };
    const Row rows[] = {
        { 12, librevenge::RVNG_POINT, "\\fs24" },
        { 10.5, librevenge::RVNG_POINT, "\\fs21" },
        { 0.25, librevenge::RVNG_INCH, "\\fs36" },
        { 240, librevenge::RVNG_TWIP, "\\fs24" },
        { 0, librevenge::RVNG_POINT, "" },
        { -3, librevenge::RVNG_POINT, "" },
        { 1e9, librevenge::RVNG_POINT, "" },
    };
    for (const Row& row : rows) {
        platform::RtfDocumentWriter writer(1252);
        RVNGPropertyList span;
        span.insert("fo:font-size", row.value, row.unit);
        writer.openParagraph({});
        writer.openSpan(span);
        writer.closeSpan();
        writer.closeParagraph();
        EXPECT_EQ(Body(writer), std::string("\\pard\\ql {\\f0") + row.expected + " }\\par\n}\n") << row.value;
    }
}

TEST(RtfDocumentWriterTest, WritesParagraphFormats)
{
    struct Row {
        const char* name;
        const char* align;
        double left, right, first; // inches
        const char* expected;
    };
    const Row rows[] = {
        { "left", "left", 0, 0, 0, "\\pard\\ql " },
        { "start", "start", 0, 0, 0, "\\pard\\ql " },
        { "right", "end", 0, 0, 0, "\\pard\\qr " },
        { "also right", "right", 0, 0, 0, "\\pard\\qr " },
        { "centre", "center", 0, 0, 0, "\\pard\\qc " },
        { "justified", "justify", 0, 0, 0, "\\pard\\qj " },
        { "indents", "left", 0.5, 1, -0.25, "\\pard\\ql\\li720\\ri1440\\fi-360 " },
        { "absurd indent left out", "left", 1e12, 0, 0, "\\pard\\ql " },
    };
    for (const Row& row : rows) {
        platform::RtfDocumentWriter writer(1252);
        RVNGPropertyList paragraph;
        paragraph.insert("fo:text-align", row.align);
        paragraph.insert("fo:margin-left", row.left);
        paragraph.insert("fo:margin-right", row.right);
        paragraph.insert("fo:text-indent", row.first);
        writer.openParagraph(paragraph);
        writer.closeParagraph();
        EXPECT_EQ(Body(writer), std::string(row.expected) + "\\par\n}\n") << row.name;
    }
}

using Writer = platform::RtfDocumentWriter;

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
            writer.openParagraph({});
            writer.insertText("after");
            writer.closeParagraph();
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
            writer.openParagraph({});
            writer.insertText("header");
            writer.closeParagraph();
            writer.closeHeader();
            writer.openParagraph({});
            writer.insertText("body");
            writer.openFootnote({});
            writer.openParagraph({});
            writer.insertText("note");
            writer.closeParagraph();
            writer.closeFootnote();
            writer.insertText(".");
            writer.closeParagraph();
            writer.closeFooter(); // one close too many changes nothing
            writer.openParagraph({});
            writer.insertText("end");
            writer.closeParagraph();
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
            writer.openParagraph(paragraph);
            writer.insertText("p2");
            writer.closeParagraph();
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
}

} // namespace
