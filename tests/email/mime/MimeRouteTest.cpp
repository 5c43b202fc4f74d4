#include "MailStore.h"
#include "MimeMessage.h"
#include "MimeTestSupport.h"

#include <gtest/gtest.h>

namespace email {
namespace {

// The MIME text of a message gives To, Cc and the body as written, even a
// To header that is no address list.
TEST(MimeRoute, TheMimeTextGivesRecipientsAndBodyAsWritten)
{
    test::ResetMailState();
    const std::string text = "From: x@example.org\r\n"
                             "To: just some words,\r\n"
                             "\tmore words\r\n"
                             "Cc: c@example.org\r\n"
                             "Content-Type: multipart/alternative; boundary=\"b\"\r\n"
                             "\r\n"
                             "--b\r\nContent-Type: text/plain; charset=iso-8859-1\r\nContent-Transfer-Encoding: "
                             "quoted-printable\r\n\r\nK=F6ln a=3Db\r\n"
                             "--b\r\nContent-Type: text/html\r\n\r\n<p>K&ouml;ln</p>\r\n--b--\r\n";
    std::unique_ptr<platform::IMessage> message;
    ASSERT_EQ(
        platform::OpenMessageBytes(std::vector<std::uint8_t>(text.begin(), text.end()), &message), platform::S_OK);
    std::optional<std::u16string> to;
    std::optional<std::u16string> cc;
    std::vector<std::uint8_t> body;
    const std::int32_t length = ExtractMimeMessage(*message, to, cc, body);
    EXPECT_EQ(to, u"just some words,more words");
    EXPECT_EQ(cc, u"c@example.org");
    EXPECT_EQ(std::string(body.begin(), body.end()), "K=F6ln a=3Db\r\n");
    EXPECT_EQ(length, 14);
    EXPECT_EQ(Mail().FailStep, 0);
}

} // namespace
} // namespace email
