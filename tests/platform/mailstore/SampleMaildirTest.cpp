#include "MailStore.h"

#include <gtest/gtest.h>

#include <map>

namespace platform {
namespace {

struct SampleMessage {
    std::u16string subject;
    std::u16string body;
    std::vector<std::u16string> attachments;
    bool read = false;
    bool recipientsReadable = false;
};

std::u16string Text(const SPropValue& value)
{
    return PROP_TYPE(value.ulPropTag) == PT_UNICODE ? std::u16string(value.Value.lpszW) : std::u16string();
}

SampleMessage ReadSample(IMessage& message)
{
    SampleMessage sample;
    const ULONG tags[] = { PR_SUBJECT_W, PR_BODY_W, PR_MESSAGE_FLAGS };
    ULONG count = 0;
    SPropValue* values = nullptr;
    EXPECT_TRUE(Succeeded(message.GetProps(tags, MAPI_UNICODE, &count, &values)));
    sample.subject = Text(values[0]);
    sample.body = Text(values[1]);
    sample.read = (values[2].Value.l & MSGFLAG_READ) != 0;
    MAPIFreeBuffer(values);
    std::unique_ptr<IMAPITable> table;
    sample.recipientsReadable = message.GetRecipientTable(0, &table) == S_OK;
    EXPECT_EQ(message.GetAttachmentTable(0, &table), S_OK);
    const ULONG columns[] = { PR_ATTACH_FILENAME_W };
    table->SetColumns(columns, 0);
    SRowSet* rows = nullptr;
    while (table->QueryRows(1, 0, &rows) == S_OK && rows->cRows == 1) {
        sample.attachments.push_back(Text(rows->aRow[0].lpProps[0]));
        FreeProws(rows);
    }
    FreeProws(rows);
    return sample;
}

// The sample Maildir that ships with the project reads as intended.
TEST(SampleMaildir, EveryMessageReads)
{
    ASSERT_EQ(MAPIInitialize(nullptr), S_OK);
    std::unique_ptr<IMAPISession> session;
    ASSERT_EQ(OpenMaildirSession({ { u"Samples", TALLOWIN_SAMPLE_MAILDIR } }, &session), S_OK);
    std::unique_ptr<IMsgStore> store;
    ASSERT_EQ(session->OpenMsgStore(0, {}, 0, &store), S_OK);
    ULONG count = 0;
    SPropValue* values = nullptr;
    const ULONG inboxTag[] = { PR_CE_FIRST_FOLDER_ENTRYID };
    ASSERT_EQ(store->GetProps(inboxTag, 0, &count, &values), S_OK);
    std::unique_ptr<IMAPIProp> inbox;
    ASSERT_EQ(store->OpenEntry({ values[0].Value.bin.lpb, values[0].Value.bin.cb }, 0, nullptr, &inbox), S_OK);
    MAPIFreeBuffer(values);

    std::unique_ptr<IMAPITable> table;
    ASSERT_EQ(AsFolder(inbox.get())->GetContentsTable(0, &table), S_OK);
    const ULONG columns[] = { PR_ENTRYID, PR_SUBJECT_W };
    ASSERT_EQ(table->SetColumns(columns, 0), S_OK);
    std::map<std::u16string, SampleMessage> messages;
    SRowSet* rows = nullptr;
    while (table->QueryRows(1, 0, &rows) == S_OK && rows->cRows == 1) {
        const SBinary& id = rows->aRow[0].lpProps[0].Value.bin;
        std::unique_ptr<IMAPIProp> object;
        EXPECT_EQ(session->OpenEntry({ id.lpb, id.cb }, 0, nullptr, &object), S_OK);
        SampleMessage sample = ReadSample(*AsMessage(object.get()));
        EXPECT_EQ(sample.subject, Text(rows->aRow[0].lpProps[1]));
        EXPECT_FALSE(sample.body.empty()) << std::string(sample.subject.begin(), sample.subject.end());
        messages[sample.subject] = sample;
        FreeProws(rows);
    }
    FreeProws(rows);
    ASSERT_EQ(messages.size(), 6u);

    const SampleMessage& german = messages[u"Gr\u00fc\u00dfe aus K\u00f6ln"];
    EXPECT_NE(german.body.find(u"Stra\u00dfenbahn f\u00e4hrt heute p\u00fcnktlich, und"), std::u16string::npos);
    EXPECT_NE(german.body.find(u"a=b+c"), std::u16string::npos);
    const SampleMessage& japanese = messages[u"\u4f1a\u8b70\u306e\u8cc7\u6599"];
    EXPECT_EQ(japanese.attachments, (std::vector<std::u16string> { u"agenda.txt", u"budget.csv" }));
    EXPECT_FALSE(japanese.read);
    EXPECT_EQ(japanese.body.substr(0, 6), u"\u30d1\u30c3\u30c8\u3055\u3093\r");
    EXPECT_EQ(messages[u"\u041f\u0440\u0438\u0432\u0435\u0442!"].body.substr(0, 11),
        u"\u041f\u0440\u0438\u0432\u0435\u0442, \u041f\u0430\u0442");
    EXPECT_EQ(messages[u"Weekly news (HTML only)"].body.substr(0, 11), u"This week\r\n");
    EXPECT_NE(messages[u"Menu de la semaine \u2013 caf\u00e9"].body.find(u"cr\u00eapes"), std::u16string::npos);
    for (const auto& [subject, sample] : messages) {
        EXPECT_TRUE(sample.recipientsReadable);
    }
    MAPIUninitialize();
}

} // namespace
} // namespace platform
