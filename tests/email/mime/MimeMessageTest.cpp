#include "MimeMessage.h"
#include "MailDoubles.h"
#include "PutMailChar.h"

#include <gtest/gtest.h>

#include <iterator>
#include <optional>
#include <string>
#include <tuple>
#include <utility>

namespace email {
namespace {

struct ExtractCase {
    const char* name;
    std::string text;
    std::optional<std::u16string> to;
    std::optional<std::u16string> cc;
    std::string body; // expected body bytes; empty for none
};

// What ExtractMimeMessage gives for a message whose MIME text is `text`
// (none when null), with that many good reads of it.
struct Extracted {
    std::int32_t length = 0;
    std::optional<std::u16string> to;
    std::optional<std::u16string> cc;
    std::string body;
};

Extracted Extract(std::optional<std::string> text, int goodReads = -1)
{
    test::MessageContent content;
    content.mimeText = std::move(text);
    content.mimeGoodReads = goodReads;
    test::MessageDouble message(content);
    Extracted result;
    std::vector<std::uint8_t> body;
    result.length = ExtractMimeMessage(message, result.to, result.cc, body);
    result.body.assign(body.begin(), body.end());
    return result;
}

// The notice as the single-byte body it is given as.
const std::string kNotice(std::begin(test::kNoticeText), std::end(test::kNoticeText) - 1);

const std::string kNested = "To: a@x.org\r\nContent-Type: multipart/mixed; boundary=\"outer\"\r\n\r\n"
                            "--outer\r\nContent-Type: multipart/alternative; boundary=\"inner\"\r\n\r\n"
                            "--inner\r\nContent-Type: text/html\r\n\r\n<b>n</b>\r\n"
                            "--inner\r\nContent-Type: text/plain\r\n\r\nNested text\r\n"
                            "--inner\r\nContent-Type: text/enriched\r\n\r\n<bold>n</bold>\r\n--inner--\r\n"
                            "--outer\r\nContent-Type: application/pdf; name=\"a.pdf\"\r\n\r\nJVBERi0=\r\n--outer--\r\n";

const ExtractCase kExtractCases[] = {
    { "NoContentTypeGivesNotice", "To: a@b.org\r\nSubject: x\r\n\r\nHello\r\n", u"a@b.org", std::nullopt, kNotice },
    { "HtmlAtTopGivesNotice", "Content-Type: text/html\r\n\r\n<p>Hi</p>\r\n", std::nullopt, std::nullopt, kNotice },
    { "PlainInCapitalsWithCharset", "Content-Type: TEXT/PLAIN; charset=us-ascii\r\n\r\nHello world\r\nBye\r\n",
        std::nullopt, std::nullopt, "Hello world\r\nBye\r\n" },
    // The closing delimiter does not end a part: a last plain part runs to
    // the end of the text, less the line that ends the stream.
    { "PlainPartAfterHtml",
        "Content-Type: multipart/alternative; boundary=\"XYZ\"\r\n\r\n--XYZ\r\nContent-Type: text/html\r\n\r\n"
        "<p>Hi</p>\r\n--XYZ\r\nContent-Type: text/plain\r\n\r\nHi\r\n--XYZ--\r\n",
        std::nullopt, std::nullopt, "Hi\r\n--XYZ--" },
    { "NestedMultipartSwitchesBoundary", kNested, u"a@x.org", std::nullopt, "Nested text\r\n" },
    { "MultipartWithoutPlainPartHasNoBody",
        "Content-Type: multipart/alternative; boundary=\"XYZ\"\r\n\r\n--XYZ\r\nContent-Type: text/html\r\n\r\n"
        "<p>Hi</p>\r\n--XYZ--\r\n",
        std::nullopt, std::nullopt, "" },
    { "BareBoundaryLineIsDelimiterClosingIsNot",
        "Content-Type: multipart/alternative; boundary=XYZ\r\n\r\nXYZ\r\nContent-Type: text/plain\r\n\r\n"
        "Line one\r\n--XYZ--\r\ntrailer\r\n",
        std::nullopt, std::nullopt, "Line one\r\n--XYZ--\r\ntrailer" },
    { "BoundaryOnContinuationLine",
        "Content-Type: multipart/alternative;\r\n\tboundary=\"B1\"\r\n\r\n--B1\r\nContent-Type: text/plain\r\n\r\n"
        "Body\r\n--B1\r\nContent-Type: text/html\r\n\r\n<p>Body</p>\r\n--B1--\r\n",
        std::nullopt, std::nullopt, "Body\r\n" },
    // The blank line that ends the headers is taken as the line after the
    // semicolon; the part's own Content-type then counts as the message's.
    { "ParameterRightBehindSemicolonIsNotFound",
        "Content-Type: multipart/mixed;boundary=X\r\n\r\n--X\r\nContent-Type: text/plain\r\n\r\nPart\r\n--X--\r\n",
        std::nullopt, std::nullopt, "Part\r\n--X--\r\n" },
    { "LineAfterSemicolonIsSwallowed",
        "Content-Type: multipart/mixed;boundary=X\r\nCc: c@d.org\r\n\r\n--X\r\nContent-Type: text/plain\r\n\r\n"
        "Part\r\n--X--\r\n",
        std::nullopt, std::nullopt, "" },
    { "ToContinuedAfterComma", "To: a@x.org,\r\n b@y.org\r\nCc: \"C\" <c@z.org>\r\n\r\nBody\r\n", u"a@x.org,b@y.org",
        u"\"C\" <c@z.org>", kNotice },
    { "HeaderBytesAreSingleByteCharacters", "To: J\xfcrgen <j@x.de>\r\nContent-type: text/plain\r\n\r\nB\r\n",
        u"J\u00fcrgen <j@x.de>", std::nullopt, "B\r\n" },
    { "LineFeedLineEnds", "Content-Type: text/plain\nTo: a@b\n\nBody\nmore\n", u"a@b", std::nullopt, "Body\nmore\n" },
    { "CarriageReturnLineEnds", "Content-Type: text/plain\rTo: a@b\r\rBody\r", u"a@b", std::nullopt, "Body\r" },
    { "HeadersThatReachTheEndGiveNothing", "To: a@b.org\r\nContent-Type: text/plain\r\n", u"a@b.org", std::nullopt,
        "" },
    { "EmptyStream", "", std::nullopt, std::nullopt, "" },
    { "MultipartWithoutBoundary", "Content-Type: multipart/mixed\r\n\r\n--X\r\nContent-Type: text/plain\r\n\r\nB\r\n",
        std::nullopt, std::nullopt, "" },
    // A boundary of one quote character would have a length of -1.
    { "QuotedBoundaryOfOneCharacter",
        "Content-Type: multipart/mixed; boundary=\"\r\n\r\n\"\r\nContent-Type: text/plain\r\n\r\nB\r\n\"\r\n",
        std::nullopt, std::nullopt, "" },
    { "EmptyQuotedBoundary",
        "Content-Type: multipart/mixed; boundary=\"\"\r\n\r\n\r\nContent-Type: text/plain\r\n\r\nB\r\n\r\n",
        std::nullopt, std::nullopt, "" },
    // A text part with nothing between its headers and the next delimiter,
    // and one that ends the stream inside its headers, have no body.
    { "EmptyPartBeforeDelimiter",
        "Content-Type: multipart/mixed; boundary=\"B\"\r\n\r\n--B\r\nContent-Type: text/plain\r\n\r\n--B\r\n"
        "Content-Type: text/html\r\n\r\nx\r\n--B--\r\n",
        std::nullopt, std::nullopt, "" },
    { "PartEndingTheStream",
        "Content-Type: multipart/mixed; boundary=\"B\"\r\n\r\n--B\r\nContent-Type: text/plain\r\n\r\n", std::nullopt,
        std::nullopt, "" },
};

TEST(ExtractMimeMessage, GivesHeadersAndBody)
{
    for (const ExtractCase& row : kExtractCases) {
        SCOPED_TRACE(row.name);
        test::ResetMailState();
        const Extracted extracted = Extract(row.text);
        EXPECT_EQ(extracted.length, static_cast<std::int32_t>(row.body.size()));
        EXPECT_EQ(extracted.body, row.body);
        EXPECT_EQ(extracted.to, row.to);
        EXPECT_EQ(extracted.cc, row.cc);
        EXPECT_EQ(Mail().FailStep, 0);
    }
}

// Header lines past the 256-byte line block and bodies past one buffer are
// read whole.
TEST(ExtractMimeMessage, LongHeaderLinesAndBodiesAreReadWhole)
{
    test::ResetMailState();
    for (std::size_t length : { 255u, 256u, 257u, 600u, 5000u }) {
        std::string address(length, 'a');
        address += "@x.org";
        const Extracted extracted = Extract("To: " + address + "\r\nContent-Type: text/plain\r\n\r\nB\r\n");
        EXPECT_EQ(extracted.length, 3);
        EXPECT_EQ(extracted.to, std::u16string(address.begin(), address.end()));
    }
    std::string text;
    for (int i = 0; i < 200; ++i) {
        text += "line " + std::to_string(i) + "\r\n";
    }
    const Extracted extracted = Extract("Content-Type: multipart/mixed; boundary=\"B\"\r\n\r\n--B\r\n"
                                        "Content-Type: text/plain\r\n\r\n"
        + text + "--B\r\nContent-Type: text/html\r\n\r\n<p>x</p>\r\n--B--\r\n");
    EXPECT_EQ(extracted.length, static_cast<std::int32_t>(text.size()));
    EXPECT_EQ(extracted.body, text);
}

// Without the notice in the string table an HTML message has no body; an
// earlier failure stops the extraction at once.
TEST(ExtractMimeMessage, NoNoticeOrAnEarlierFailureGivesNothing)
{
    test::ResetMailState();
    SetMailStringLoader(nullptr);
    Extracted extracted = Extract("Content-Type: text/html\r\n\r\n<p>x</p>\r\n");
    EXPECT_EQ(extracted.length, 0);
    EXPECT_TRUE(extracted.body.empty());

    test::ResetMailState();
    Mail().FailStep = 20;
    extracted = Extract("To: a@b.org\r\nContent-Type: text/plain\r\n\r\nBody\r\n");
    EXPECT_EQ(extracted.length, 0);
    EXPECT_EQ(Mail().FailStep, 20);
    EXPECT_FALSE(extracted.to.has_value());
}

TEST(ExtractMimeMessage, FailuresRecordTheirStep)
{
    // The To header sits in the first 256-byte block; the body lies beyond it.
    const std::string text
        = "To: a@b.org\r\nContent-Type: text/plain\r\n" + std::string(300, 'X') + ": y\r\n\r\nBody\r\n";
    // What fails, the MIME text, its good reads, the step kept and whether To was found.
    const std::tuple<const char*, std::optional<std::string>, int, std::uint16_t, bool> rows[] = {
        { "no MIME text", std::nullopt, -1, 2, false },
        { "first read fails", text, 0, 24, false },
        { "second read fails", text, 1, 24, true },
        { "body read fails", text, 2, 24, true },
    };
    for (const auto& [name, mimeText, goodReads, step, toFound] : rows) {
        SCOPED_TRACE(name);
        test::ResetMailState();
        const Extracted extracted = Extract(mimeText, goodReads);
        EXPECT_EQ(extracted.length, 0);
        EXPECT_TRUE(extracted.body.empty());
        EXPECT_EQ(Mail().FailStep, step);
        EXPECT_TRUE(platform::Failed(Mail().LastResult));
        EXPECT_EQ(extracted.to.has_value(), toFound);
    }
}

std::u16string sunk;

TEST(PutMailChar, FiltersEscapesFromCallToCall)
{
    const std::pair<std::u16string_view, std::u16string_view> rows[] = {
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
    const auto record = [](char16_t ch) { sunk.push_back(ch); };
    SetMailCharSink(record);
    for (const auto& [input, output] : rows) {
        SCOPED_TRACE(std::string(input.begin(), input.end()));
        sunk.clear();
        ResetMailCharFilter();
        for (char16_t ch : input) {
            PutMailChar(ch);
        }
        EXPECT_EQ(sunk, output);
    }
    // The state lasts from call to call; without a sink characters are dropped.
    sunk.clear();
    ResetMailCharFilter();
    PutMailChar(u'=');
    PutMailChar(u'3');
    EXPECT_EQ(sunk, u"");
    PutMailChar(u'D');
    EXPECT_EQ(sunk, u"=");
    SetMailCharSink(nullptr);
    EXPECT_EQ(PutMailChar(u'a'), 1);
    SetMailCharSink(record);
    PutMailChar(u'x');
    EXPECT_EQ(sunk, u"=x");
}

} // namespace
} // namespace email
