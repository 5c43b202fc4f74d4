#include "MailPrintFixture.h"

#include "MailStoreAccess.h"
#include "SettingsStore.h"

#include <fstream>
#include <tuple>

namespace email::test {
namespace {

using platform::MAPI_BCC;
using platform::MAPI_CC;
using platform::MAPI_TO;

using printengine::testing::CallCount;
using printengine::testing::DrawnText;
using printengine::testing::FakeLog;

class MailPrintTest : public MailPrintFixture { };

// The header lines follow the chosen order; a missing value prints a
// blank, the modification time stands in for a missing delivery time, and
// recipient lists are quoted and separated; then the body as it came.
TEST_F(MailPrintTest, HeaderLinesInTheChosenOrderThenTheBody)
{
    const std::u16string subject = u"Subject: Quarterly figures";
    const std::u16string sent = u"Sent: Tuesday,  March 4, 2025  2:05 PM";
    const std::u16string from = u"From: ann@example.org";
    const std::u16string to = u"To: \"Bob Stone\" <bob@example.org>";
    const std::u16string cc = u"Cc: <cc@example.org>";
    const std::u16string body1 = u"Hello Bob,";
    const std::u16string body2 = u"the figures.";
    MessageContent modified;
    modified.props.Set(platform::PR_LAST_MODIFICATION_TIME, platform::FileTimeFromUnix(1751412600, 0));
    // A recipient with neither part is skipped; blind copies never appear.
    MessageContent partial = FullMessage();
    partial.recipients = { Recipient(MAPI_TO, std::nullopt, std::nullopt), Recipient(MAPI_TO, std::nullopt, u"b@x") };
    MessageContent blind = FullMessage();
    blind.recipients = { Recipient(MAPI_BCC, u"Hidden", u"h@x"), Recipient(MAPI_CC, u"Seen", std::nullopt),
        Recipient(7, u"Odd", u"o@x") };
    // The store has decoded the body: an "=" in it is an ordinary character.
    const auto withBody = [](std::u16string body) {
        MessageContent message = FullMessage();
        message.body = std::move(body);
        return message;
    };
    // A refused recipient table: To, Cc and the body come from the MIME text,
    // the body through the escape filter. (The MIME text's own cases are the
    // extractor's.)
    MessageContent refused = FullMessage();
    refused.refuseRecipients = true;
    refused.attachments = { Attachment(u"kept.pdf") };
    refused.mimeText = "To: a@x.org, b@x.org\r\nCc: c@x.org\r\nSubject: ignored\r\nContent-Type: text/plain\r\n\r\n"
                       "plain =3D body\r\nline=20two\r\n";
    // Without attachments, or without an attachment table, no heading.
    MessageContent bare = FullMessage();
    bare.body.reset();
    MessageContent noTable = bare;
    noTable.noAttachmentTable = true;
    const std::tuple<std::int16_t, MessageContent, std::vector<std::u16string>> rows[] = {
        { 0, FullMessage(), { subject, sent, from, to, cc, body1, body2 } },
        { 0, bare, { subject, sent, from, to, cc } },
        { 0, noTable, { subject, sent, from, to, cc } },
        { 1, FullMessage(), { to, cc, from, subject, sent, body1, body2 } },
        { 2, FullMessage(), { from, sent, to, cc, subject, body1, body2 } },
        { 3, FullMessage(), { body1, body2 } },
        { -1, FullMessage(), { body1, body2 } },
        { 0, modified, { u"Subject:  ", u"Sent: Tuesday,  July 1, 2025  11:30 PM", u"From:  ", u"To:  " } },
        { 0, MessageContent {}, { u"Subject:  ", u"Sent:  ", u"From:  ", u"To:  " } },
        { 1, partial, { u"To: <b@x>", from, subject, sent, body1, body2 } },
        { 1, blind, { u"To:  ", u"Cc: \"Seen\"", from, subject, sent, body1, body2 } },
        { 9, withBody(u"a=3Db=20c=41d\r\n"), { u"a=3Db=20c=41d" } },
        { 9, withBody(u"ends with=\r\nbreak"), { u"ends with=", u"break" } },
        { 9, withBody(u"K\u00f6ln \u4f1a\u8b70\r\nend"), { u"K\u00f6ln \u4f1a\u8b70", u"end" } },
        { 9, withBody(u""), {} },
        { 0, refused,
            { subject, sent, from, u"To: a@x.org, b@x.org", u"Cc: c@x.org", u"Attachments: ", u"kept.pdf",
                u"plain = body", u"linetwo" } },
    };
    for (const auto& row : rows) {
        const auto& [order, message, lines] = row;
        core::Settings().MailHeaderOrder = order;
        EXPECT_EQ(PrintMessage(message), 0);
        EXPECT_EQ(Lines(), lines) << "row " << (&row - rows);
        EXPECT_TRUE(shown_.empty());
    }
}

TEST_F(MailPrintTest, AttachmentNamesFollowTheirHeadingOneTabIn)
{
    MessageContent message = FullMessage();
    message.body.reset();
    message.attachments = { Attachment(u"agenda.txt"), Attachment(std::nullopt), Attachment(u"budget.csv") };
    EXPECT_EQ(PrintMessage(message), 0);
    const std::vector<DrawnText>& texts = FakeLog().Texts;
    ASSERT_GE(texts.size(), 3u);
    const DrawnText* tail = &texts[texts.size() - 3]; // the heading and the two names
    ASSERT_EQ((std::vector<std::u16string> { tail[0].Text, tail[1].Text, tail[2].Text }),
        (std::vector<std::u16string> { u"Attachments: ", u"agenda.txt", u"budget.csv" }));
    EXPECT_GT(tail[1].X, tail[0].X);
    EXPECT_EQ(tail[1].X, tail[2].X);
    EXPECT_GT(tail[2].Y, tail[1].Y);
}

TEST_F(MailPrintTest, HeaderAndBodyUseTheirOwnFontsAtFullSizeWhateverTheResizeChoice)
{
    core::SetResizeChoice(core::kResizeChoice150);
    core::Settings().MailHeaderFontSize = 12;
    core::Settings().MailBodyFontSize = 12;
    core::Settings().MailBodyItalic = 1;
    EXPECT_EQ(PrintMessage(FullMessage()), 0);
    const std::vector<DrawnText>& texts = FakeLog().Texts;
    ASSERT_EQ(texts.size(), 7u);
    // Face, bold, italic and 12 points at 100 dots per inch, unscaled.
    const auto font
        = [](const DrawnText& text) { return std::tie(text.Face, text.Bold, text.Italic, text.FontHeight); };
    EXPECT_EQ(font(texts.front()), std::make_tuple(u"Tahoma", true, false, -17));
    EXPECT_EQ(font(texts.back()), std::make_tuple(u"Courier New", false, true, -17));
    EXPECT_EQ(core::Settings().ResizeChoice, core::kResizeChoice150);
    EXPECT_EQ(printengine::Job().PlainTextMode, 0);
    EXPECT_EQ(CallCount("EndDoc"), 1);
    EXPECT_EQ(CallCount("EndPage"), 2) << "the message ends with a page break";
}

TEST_F(MailPrintTest, FailuresShowOneMessageAndStillEndTheJob)
{
    for (std::uint8_t id : { 2, 3, 4 }) {
        store_->messages[id] = FullMessage();
    }
    store_->messages[2].propsResult = platform::MAPI_E_CALL_FAILED;
    store_->messages[3].body = std::u16string(300, u'b');
    store_->messages[3].bodyGoodReads = 1;
    store_->messages[4].refuseRecipients = true;
    const std::tuple<const char*, std::uint8_t, std::uint16_t> rows[] = {
        { "unknown message", 9, kStepPrintOpenMessage },
        { "properties fail", 2, kStepPrintProperties },
        { "body read fails", 3, kStepPrintBodyRead },
        { "no MIME text", 4, 2 },
    };
    for (const auto& [what, id, step] : rows) {
        InstallMailPrinter();
        shown_.clear();
        core::SetResizeChoice(core::kResizeChoice75);
        EXPECT_EQ(Print(id), step) << what;
        EXPECT_EQ(shown_, (std::vector<std::u16string> { kPrintFailedText })) << what;
        EXPECT_EQ(CallCount("EndDoc"), 1) << what;
        EXPECT_EQ(core::Settings().ResizeChoice, core::kResizeChoice75) << what;
        EXPECT_EQ(Mail().FailStep, 0) << what;
    }
    // The part of the body read before the failure is printed.
    InstallMailPrinter();
    Print(3);
    EXPECT_NE(printengine::testing::PrintedText().find(std::u16string(60, u'b')), std::u16string::npos);

    shown_.clear();
    Mail().store.reset();
    EXPECT_EQ(Print(1), kStepPrintOpenStore);
    EXPECT_EQ(shown_, (std::vector<std::u16string> { kPrintFailedText }));
}

TEST_F(MailPrintTest, CancelledPrintDialogShowsNothingAndRestoresTheResizeChoice)
{
    printengine::testing::FakeSetup().DialogResult = 0;
    core::SetResizeChoice(core::kResizeChoice125);
    store_->messages[1] = FullMessage();
    EXPECT_EQ(Print(1), 0);
    EXPECT_TRUE(shown_.empty());
    EXPECT_TRUE(FakeLog().Texts.empty());
    EXPECT_EQ(core::Settings().ResizeChoice, core::kResizeChoice125);
}

TEST_F(MailPrintTest, TappedRowPrintsFromACopyOfItsEntry)
{
    store_->messages[1] = FullMessage();
    std::uint8_t bytes[] = { 1 };
    EntryIdBlock entry { 1, bytes };
    Mail().messageEntries = { &entry };
    Mail().messageCount = 1;

    PrintTappedMessage(-1);
    EXPECT_EQ(SelectedMailRow(), -1);
    PrintTappedMessage(1);
    EXPECT_EQ(SelectedMailRow(), 1);
    EXPECT_EQ(CallCount("EndDoc"), 0);

    // The refresh after the print empties the list the entry came from.
    const std::string emptyConfig = ::testing::TempDir() + "/mailprint-no-stores.conf";
    ASSERT_TRUE(std::ofstream(emptyConfig).good());
    setenv("TALLOWIN_MAILSTORES", emptyConfig.c_str(), 1);
    PrintTappedMessage(0);
    unsetenv("TALLOWIN_MAILSTORES");
    EXPECT_EQ(SelectedMailRow(), 0);
    EXPECT_EQ(CallCount("EndDoc"), 1);
    EXPECT_EQ(Lines().front(), u"Subject: Quarterly figures");
    EXPECT_TRUE(Mail().messageEntries.empty());
    EXPECT_FALSE(printengine::Job().Printing);
    CloseMailSession(true);
}

} // namespace
} // namespace email::test
