#include "MailMessageContent.h"
#include "HtmlToText.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <string_view>
#include <vector>

namespace platform {
namespace {

MailMessageContent Parse(std::string_view text)
{
    return ParseMailMessage(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

TEST(MailMessageContent, DecodesTheFirstTextPart)
{
    struct BodyCase {
        const char* name;
        std::string_view message;
        std::optional<std::u16string_view> body; // none: the message has no text
    };
    const BodyCase rows[] = {
        { "NoContentType", "Subject: x\n\nHello\nworld\n", u"Hello\r\nworld\r\n" },
        { "QuotedPrintableLatin1",
            "Content-Type: text/plain; charset=iso-8859-1\r\nContent-Transfer-Encoding: quoted-printable\r\n\r\n"
            "Gr=FC=DFe aus K=F6ln, a=3Db, soft=\r\nbreak\r\n",
            u"Gr\u00fc\u00dfe aus K\u00f6ln, a=b, softbreak\r\n" },
        { "Base64Utf8",
            "Content-Type: text/plain; charset=UTF-8\nContent-Transfer-Encoding: base64\n\n5pel5pys6Kqe44Gu5pys5paH\n",
            u"\u65e5\u672c\u8a9e\u306e\u672c\u6587" },
        { "Windows1252", "Content-Type: text/plain; charset=windows-1252\n\n\x93quoted\x94 \x80\n",
            u"\u201cquoted\u201d \u20ac\r\n" },
        { "UnknownCharsetInvalidUtf8IsLatin1", "Content-Type: text/plain; charset=x-nothing\n\ncaf\xe9\n",
            u"caf\u00e9\r\n" },
        { "NoCharsetUtf8", "Content-Type: text/plain\n\ncaf\xc3\xa9\n", u"caf\u00e9\r\n" },
        { "AlternativeTakesPlain",
            "Content-Type: multipart/alternative; boundary=b\n\n--b\nContent-Type: text/html\n\n<p>H</p>\n"
            "--b\nContent-Type: text/plain\n\nPlain\n--b--\n",
            u"Plain" },
        { "HtmlOnly",
            "Content-Type: text/html; charset=utf-8\n\n<html><body><p>Hello &amp; welcome</p><p>Line<br>two</p>"
            "</body></html>\n",
            u"Hello & welcome\r\n\r\nLine\r\ntwo\r\n" },
        { "NestedHtmlOnlyWithAttachment",
            "Content-Type: multipart/mixed; boundary=o\n\n--o\nContent-Type: multipart/alternative; boundary=i\n\n"
            "--i\nContent-Type: text/html\n\n<div>Only html</div>\n--i--\n--o\nContent-Type: text/plain\n"
            "Content-Disposition: attachment; filename=notes.txt\n\nnot the body\n--o--\n",
            u"Only html\r\n" },
        { "AttachmentOnly",
            "Content-Type: image/png\nContent-Disposition: attachment; filename=pic.png\n"
            "Content-Transfer-Encoding: base64\n\niVBO\n",
            std::nullopt },
    };
    for (const BodyCase& row : rows) {
        const MailMessageContent content = Parse(row.message);
        ASSERT_EQ(content.body.has_value(), row.body.has_value()) << row.name;
        if (row.body) {
            EXPECT_EQ(*content.body, *row.body) << row.name;
        } else {
            EXPECT_EQ(content.attachmentNames, std::vector<std::u16string> { u"pic.png" });
        }
    }
}

TEST(MailMessageContent, ReadsHeadersRecipientsAndAttachments)
{
    const MailMessageContent content
        = Parse("From: =?iso-8859-1?q?J=FCrgen_M=FCller?= <juergen@example.de>\r\n"
                "To: \"Ann Lee\" <ann@example.org>, bob@example.org\r\n"
                "Cc: Team: carl@example.org, dora@example.org;\r\n"
                "Bcc: eve@example.org\r\n"
                "Subject: =?utf-8?b?5pel5pys6Kqe?= and =?iso-8859-1?q?caf=E9?=\r\n"
                "Date: Sat, 05 Dec 2026 14:30:00 +0100\r\n"
                "Content-Type: multipart/mixed; boundary=\"m\"\r\n"
                "\r\n"
                "--m\r\nContent-Type: text/plain\r\n\r\nBody\r\n"
                "--m\r\nContent-Type: application/pdf; name=\"report.pdf\"\r\n"
                "Content-Disposition: attachment; filename=\"report.pdf\"\r\nContent-Transfer-Encoding: base64\r\n\r\n"
                "JVBERi0=\r\n"
                "--m\r\nContent-Type: image/png\r\nContent-Disposition: inline; "
                "filename=\"=?utf-8?q?Gr=C3=BC=C3=9Fe.png?=\"\r\n\r\n"
                "x\r\n"
                "--m--\r\n");
    EXPECT_EQ(content.senderName, u"J\u00fcrgen M\u00fcller");
    EXPECT_EQ(content.senderAddress, u"juergen@example.de");
    EXPECT_EQ(content.subject, u"\u65e5\u672c\u8a9e and caf\u00e9");
    ASSERT_TRUE(content.date.has_value());
    EXPECT_EQ(FileTimeTicks(*content.date), FileTimeTicks(FileTimeFromUnix(1796477400, 0)));
    EXPECT_TRUE(content.recipientsReadable);
    std::vector<std::u16string> recipients;
    for (const MailRecipient& recipient : content.recipients)
        recipients.push_back(std::u16string(1, u'0' + recipient.type) + recipient.name + u"|" + recipient.address);
    EXPECT_EQ(recipients,
        (std::vector<std::u16string> { u"1Ann Lee|ann@example.org", u"1|bob@example.org", u"2|carl@example.org",
            u"2|dora@example.org", u"3|eve@example.org" }));
    EXPECT_EQ(content.attachmentNames, (std::vector<std::u16string> { u"report.pdf", u"Gr\u00fc\u00dfe.png" }));
    // The line end before a boundary belongs to the boundary.
    EXPECT_EQ(content.body, std::u16string(u"Body"));
}

// 8-bit bytes in headers read as UTF-8, else in the charset the message
// declares for its text, else as windows-1252.
TEST(MailMessageContent, EightBitHeaderBytesReadAsTheMessageDoesAndSummariesReadOnlyTheHeaderBlock)
{
    struct Row {
        const char* name;
        std::string_view message;
        std::u16string_view sender;
        std::u16string_view subject;
        std::u16string_view recipient;
    };
    const Row rows[] = {
        { "Utf8",
            "From: Heinz M\xc3\xbcller <h@x.org>\nTo: \"Ren\xc3\xa9\" <r@x.org>\nSubject: Gr\xc3\xbc\xc3\x9f"
            "e\n\nx\n",
            u"Heinz M\u00fcller", u"Gr\u00fc\u00dfe", u"Ren\u00e9" },
        { "Windows1252WithoutCharset", "From: Ren\xe9 \x93Q\x94 <r@x.org>\nTo: =?utf-8?q?Ann?= \x80 <a@x.org>\n\nx\n",
            u"Ren\u00e9 \u201cQ\u201d", u"", u"Ann \u20ac" },
        { "DeclaredCharset",
            "From: \xf0\xd2\xc9\xd7\xc5\xd4 <a@x.org>\nTo: \xf0\xd2 <b@x.org>\nSubject: \xf0\xd2\xc9\xd7\xc5\xd4\n"
            "Content-Type: multipart/mixed; boundary=b\n\n--b\nContent-Type: text/plain; charset=koi8-r\n\n"
            "\xf0\n--b--\n",
            u"\u041f\u0440\u0438\u0432\u0435\u0442", u"\u041f\u0440\u0438\u0432\u0435\u0442", u"\u041f\u0440" },
        // UTF-8 inside encoded words that name another charset; a word
        // whose bytes are that charset's stays as it is.
        { "Utf8InALatinWord",
            "From: =?iso-8859-1?q?Heinz_M\xc3\xbcller?= <h@x.org>\nTo: =?iso-8859-1?q?Ren=E9?= <r@x.org>\n"
            "Subject: =?iso-8859-1?q?Gr=FC=DFe?=\n\nx\n",
            u"Heinz M\u00fcller", u"Gr\u00fc\u00dfe", u"Ren\u00e9" },
        { "UnknownDeclaredCharset", "From: Ren\xe9 <r@x.org>\nContent-Type: text/plain; charset=x-bogus\n\nx\n",
            u"Ren\u00e9", u"", u"" },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const MailMessageContent content = Parse(row.message);
        EXPECT_EQ(content.senderName, row.sender);
        EXPECT_EQ(content.subject, row.subject);
        EXPECT_EQ(content.recipients.empty() ? u"" : content.recipients[0].name, row.recipient);
    }
    EXPECT_EQ(SummarizeMailHeaders("From: Ren\xe9 \x93Q\x94 <r@x.org>\n", SummaryFields::Sender).senderName,
        u"Ren\u00e9 \u201cQ\u201d");
    EXPECT_EQ(
        SummarizeMailHeaders("From: =?iso-8859-1?q?M\xc3\xbcller?= <m@x.org>\n", SummaryFields::Sender).senderName,
        u"M\u00fcller");

    // The summary reads only the header block.
    const std::string_view headers = "Received: from x\r\n"
                                     "Subject: =?utf-8?q?Gr=C3=BC=C3=9Fe?=\r\n"
                                     "  continued\r\n"
                                     "From: \"Lee, Ann\" <ann@example.org>\r\n"
                                     "\r\n"
                                     "From: body@example.org\r\n";
    MailHeaderSummary summary = SummarizeMailHeaders(headers, SummaryFields::Both);
    EXPECT_EQ(summary.subject, u"Gr\u00fc\u00dfe  continued");
    EXPECT_EQ(summary.senderName, u"Lee, Ann");
    EXPECT_EQ(summary.senderAddress, u"ann@example.org");

    EXPECT_TRUE(SummarizeMailHeaders(headers, SummaryFields::Subject).senderName.empty());
    summary = SummarizeMailHeaders("from: bare@example.org\n", SummaryFields::Sender);
    EXPECT_EQ(summary.senderName, u"bare@example.org");
    EXPECT_TRUE(summary.subject.empty());
    EXPECT_TRUE(SummarizeMailHeaders("", SummaryFields::Both).senderName.empty());
}

// A header that is no address list costs only itself.
TEST(MailMessageContent, RecipientsAreReadWhereReadable)
{
    struct RecipientCase {
        const char* name;
        std::string_view message;
        bool readable;
        // The recipients' names and addresses, each "name|address", in order.
        std::vector<std::u16string> recipients;
    };
    const RecipientCase rows[] = {
        { "Good", "To: a@b.org\n\nx\n", true, { u"|a@b.org" } },
        { "NoRecipients", "Subject: s\n\nx\n", true, {} },
        { "UndisclosedGroup", "To: undisclosed-recipients:;\n\nx\n", true, {} },
        { "EmptyTo", "To:   \n\nx\n", true, {} },
        { "GarbageTo", "To: <<<@@@\n\nx\n", true, { u"<<<@@@|" } },
        { "EmptyAngles", "To: <>\nCc: c@d.org\n\nx\n", true, { u"<>|", u"|c@d.org" } },
        { "NoDomain", "To: john@\n\nx\n", true, { u"john@|" } },
        { "MalformedToKeepsTheBodyDecoded",
            "To: <>\nContent-Type: text/plain; charset=utf-8\nContent-Transfer-Encoding: base64\n\neA0K\n", true,
            { u"<>|" } },
        { "WordsInCc", "To: a@b.org\nCc: just some\n words\n\nx\n", true, { u"|a@b.org", u"just some words|" } },
        { "SemicolonsOutsideQuotesAndGroups",
            "To: a@b.org; \"Lee; Ann\" <ann@b.org>;c@b.org\nCc: Team: d@b.org, e@b.org;\n\nx\n", true,
            { u"|a@b.org", u"Lee; Ann|ann@b.org", u"|c@b.org", u"|d@b.org", u"|e@b.org" } },
        { "EncodedGarbage", "To: =?utf-8?q?M=C3=BCller?= <\n\nx\n", true, { u"M\u00fcller <|" } },
        { "NoHeaderSection", "\nonly a body\n", false, {} },
        { "Empty", "", false, {} },
    };
    for (const RecipientCase& row : rows) {
        SCOPED_TRACE(row.name);
        const MailMessageContent content = Parse(row.message);
        EXPECT_EQ(content.recipientsReadable, row.readable);
        std::vector<std::u16string> got;
        for (const MailRecipient& recipient : content.recipients)
            got.push_back(recipient.name + u"|" + recipient.address);
        EXPECT_EQ(got, row.recipients);
        if (row.readable) {
            EXPECT_EQ(content.body, std::u16string(u"x\r\n"));
        }
    }
}

// Thousands of fields before the ones printed, and a subject far longer than
// any reader shows: the printed fields are still read, the subject cut at its
// bound, and the body still found; a million fields parse in modest memory.
TEST(MailMessageContent, HugeHeaderBlocksAreBoundedKeepWhatIsPrintedAndParseInModestMemory)
{
    std::string huge = "From: Ann <ann@example.org>\r\n";
    for (int i = 0; i < 5000; ++i)
        huge += "X-Trace-" + std::to_string(i) + ": hop\r\n";
    huge += "To: bob@example.org\r\nSubject: " + std::string(200 * 1024, 's') + "\r\n\r\nthe body\r\n";
    auto content = Parse(huge);
    EXPECT_EQ(content.senderAddress, u"ann@example.org");
    ASSERT_EQ(content.recipients.size(), 1u);
    EXPECT_GT(content.subject.size(), 60000u);
    EXPECT_LE(content.subject.size(), 64u * 1024);
    ASSERT_TRUE(content.body.has_value());
    EXPECT_EQ(*content.body, u"the body\r\n");
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer reserves more address space than the limit allows";
#else
    std::string message = "From: ann@example.org\r\nSubject: many\r\n";
    message.reserve(16 << 20);
    for (int i = 0; i < 1000000; ++i)
        message += "X-H" + std::to_string(i) + ": v\r\n";
    message += "\r\nbody\r\n";
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // The message itself is 14 MB; the limit leaves room for the
        // program and the parser, not for an object per field.
        struct rlimit limit {
            512ul << 20, 512ul << 20
        };
        ::setrlimit(RLIMIT_AS, &limit);
        ::_exit(Parse(message).subject == u"many" ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
#endif
}

TEST(HtmlToTextTest, RendersPlainText)
{
    const std::pair<std::string_view, std::u16string_view> rows[] = {
        { "", u"" },
        { "plain", u"plain\r\n" },
        { "<html><head><title>T</title><style>p{x}</style></head><body><p>One</p><p>Two</p></body></html>",
            u"One\r\n\r\nTwo\r\n" },
        { "a<br>b<br/><br />c", u"a\r\nb\r\n\r\nc\r\n" },
        { "<div>x</div><div>y</div>", u"x\r\ny\r\n" },
        { "  lots \n\t of   space  ", u"lots of space\r\n" },
        { "&lt;a&gt; &amp; &quot;q&quot; &#233; &#x4E2D; &euro;&nbsp;x &hearts;",
            u"<a> & \"q\" \u00e9 \u4e2d \u20ac x \u2665\r\n" },
        // References to no character are dropped; the text around them stays.
        { "a &#0; b &#x110000; c &#xD800; d", u"a b c d\r\n" },
        { "&#x1F600;", u"\U0001F600\r\n" },
        { "<ul><li>a</li><li>b</li></ul>after", u"a\r\nb\r\n\r\nafter\r\n" },
        { "x<!-- <p>hidden</p> -->y", u"xy\r\n" },
        { "<script>if (a < b) alert(1)</script>shown", u"shown\r\n" },
        { "<pre>a  b\nc</pre>d", u"a  b\r\nc\r\n\r\nd\r\n" },
        // Attribute values, quoted or not, hold any character and print nothing.
        { "<p title=\"a>swordfish\">shown</p><img alt='b > c' src=x>y", u"shown\r\n\r\ny\r\n" },
        { "<a href=\"x\" onclick=\"if(a>b)\">link</a> <noscript>no</noscript>", u"link\r\n" },
        { "<style>p > b { }</style><b>bold <i>mixed</b> up</i>", u"bold mixed up\r\n" },
        { "unterminated <b", u"unterminated\r\n" },
        { "<!-- never closed", u"" },
    };
    for (const auto& [html, text] : rows)
        EXPECT_EQ(HtmlToText(html), text) << html;
}

} // namespace
} // namespace platform
