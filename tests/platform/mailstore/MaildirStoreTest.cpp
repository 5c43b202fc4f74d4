#include "MailStore.h"
#include "MaildirFixture.h"
#include "MapiMemory.h"
#include "PropertySet.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace platform {
namespace {

using namespace test;

std::string Message(const std::string& from, const std::string& subject, const std::string& extra = "")
{
    return "From: " + from + "\r\nTo: Ann <ann@example.org>\r\nSubject: " + subject + "\r\n" + extra
        + "Content-Type: text/plain; charset=utf-8\r\n\r\nBody of " + subject + "\r\n";
}

class MaildirStoreTest : public testing::Test {
protected:
    void SetUp() override
    {
        maildir_.MakeFolder(".Sent");
        maildir_.MakeFolder(".Lists.foo");
        maildir_.AddMessage("", "cur", "1700000300.M1P1.host:2,S", Message("Carol <carol@example.org>", "banana"), 50);
        maildir_.AddMessage("", "new", "1700000100.M2P1.host", Message("alice@example.org", "Cherry"), 60);
        maildir_.AddMessage("", "cur", "1700000200.M3P1.host:2,", Message("\"Bob\" <bob@example.org>", "apple"), 70);
        // No delivery stamp in the name: the file time stands in.
        maildir_.AddMessage(
            "", "cur", "imported-1:2,S", Message("dave@example.org", "=?utf-8?q?D=C3=A4te?="), 1700000400);
        maildir_.AddMessage(".Lists.foo", "cur", "1700000500.M9P1.host:2,S", Message("list@example.org", "list"));
        ASSERT_EQ(MAPIInitialize(nullptr), S_OK);
        ASSERT_EQ(OpenMaildirSession({ { u"Mine", maildir_.Root() } }, &session_), S_OK);
        ASSERT_EQ(session_->OpenMsgStore(0, {}, 0, &store_), S_OK);
    }
    void TearDown() override { MAPIUninitialize(); }

    // Opens an entry through the store or the session, checking its type.
    template <typename T> static std::unique_ptr<T> Open(auto& opener, const Bytes& id, ULONG expectedType)
    {
        std::unique_ptr<IMAPIProp> object;
        ULONG type = 0;
        EXPECT_EQ(opener.OpenEntry(id, 0, &type, &object), S_OK);
        EXPECT_EQ(type, expectedType);
        return std::unique_ptr<T>(static_cast<T*>(object.release()));
    }
    std::unique_ptr<IMAPIFolder> OpenFolder(const Bytes& id) { return Open<IMAPIFolder>(*store_, id, MAPI_FOLDER); }
    std::unique_ptr<IMessage> OpenMessage(const Bytes& id) { return Open<IMessage>(*session_, id, MAPI_MESSAGE); }

    std::vector<Row> Sorted(ULONG key, ULONG order)
    {
        return Contents(*session_, ReadBinary(*store_, PR_CE_FIRST_FOLDER_ENTRYID), key, order);
    }

    TempMaildir maildir_;
    std::unique_ptr<IMAPISession> session_;
    std::unique_ptr<IMsgStore> store_;
};

TEST_F(MaildirStoreTest, StoreTableFolderTreeErrorTypedValuesAndIdentifiers)
{
    std::unique_ptr<IMAPITable> table;
    ASSERT_EQ(session_->GetMsgStoresTable(0, &table), S_OK);
    const ULONG columns[] = { PR_ENTRYID, PR_DISPLAY_NAME_W, PR_SUBFOLDERS, PR_FOLDER_TYPE };
    ASSERT_EQ(table->SetColumns(columns, 0), S_OK);
    auto rows = AllRows(*table);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].text, u"Mine");
    EXPECT_EQ(rows[0].id, ReadBinary(*store_, PR_ENTRYID));
    std::unique_ptr<IMsgStore> again;
    ASSERT_EQ(session_->OpenMsgStore(0, rows[0].id, 0, &again), S_OK);
    EXPECT_EQ(ReadBinary(*again, PR_CE_FIRST_FOLDER_ENTRYID), ReadBinary(*store_, PR_CE_FIRST_FOLDER_ENTRYID));

    Props missing;
    Read(*store_, { PR_ENTRYID, PR_SUBJECT_W }, missing);
    EXPECT_EQ(missing.result, MAPI_W_ERRORS_RETURNED);
    ASSERT_EQ(missing.count, 2u);
    EXPECT_EQ(missing[1].ulPropTag, PROP_TAG(PT_ERROR, PROP_ID(PR_SUBJECT_W)));
    EXPECT_EQ(missing[1].Value.err, MAPI_E_NOT_FOUND);

    // The folders follow the Maildir++ names; the mail view's folder tree
    // walks them further.
    auto top = OpenFolder(ReadBinary(*store_, PR_IPM_SUBTREE_ENTRYID));
    ASSERT_EQ(top->GetHierarchyTable(MAPI_DEFERRED_ERRORS, &table), S_OK);
    ASSERT_EQ(table->SetColumns(columns, 0), S_OK);
    rows = AllRows(*table);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].text, u"Inbox");
    EXPECT_EQ(rows[0].id, ReadBinary(*store_, PR_CE_FIRST_FOLDER_ENTRYID));
    auto lists = OpenFolder(rows[1].id);
    Props props;
    Read(*lists, { PR_DISPLAY_NAME_W, PR_PARENT_ENTRYID, PR_FOLDER_TYPE }, props);
    EXPECT_EQ(props.result, S_OK);
    EXPECT_EQ(TextOf(props[0]), u"Lists");
    EXPECT_EQ(BinaryOf(props[1]), ReadBinary(*store_, PR_IPM_SUBTREE_ENTRYID));
    EXPECT_EQ(static_cast<ULONG>(props[2].Value.l), FOLDER_GENERIC);

    ULONG same = 0;
    const Bytes topId = ReadBinary(*top, PR_ENTRYID);
    EXPECT_EQ(session_->CompareEntryIDs(ReadBinary(*top, PR_PARENT_ENTRYID), topId, 0, &same), S_OK);
    EXPECT_EQ(same, 1u);
    EXPECT_EQ(session_->CompareEntryIDs(ReadBinary(*lists, PR_ENTRYID), topId, 0, &same), S_OK);
    EXPECT_EQ(same, 0u);

    // Identifiers survive flag changes and new sessions; foreign ones are refused.
    const Bytes cherry = Sorted(PR_SUBJECT_W, TABLE_SORT_ASCEND)[2].id;
    // Reading the message moves it from new/ to cur/ and adds the S flag.
    std::filesystem::rename(
        maildir_.Root() / "new" / "1700000100.M2P1.host", maildir_.Root() / "cur" / "1700000100.M2P1.host:2,S");

    std::unique_ptr<IMAPISession> second;
    ASSERT_EQ(OpenMaildirSession({ { u"Mine", maildir_.Root() / "." } }, &second), S_OK);
    std::unique_ptr<IMAPIProp> object;
    ULONG type = 0;
    ASSERT_EQ(second->OpenEntry(cherry, 0, &type, &object), S_OK);
    Props cherryProps;
    Read(*object, { PR_SUBJECT_W, PR_MESSAGE_FLAGS }, cherryProps);
    EXPECT_EQ(TextOf(cherryProps[0]), u"Cherry");
    EXPECT_EQ(cherryProps[1].Value.l, static_cast<std::int32_t>(MSGFLAG_READ));

    std::filesystem::remove(maildir_.Root() / "cur" / "1700000100.M2P1.host:2,S");
    EXPECT_EQ(second->OpenEntry(cherry, 0, &type, &object), MAPI_E_NOT_FOUND);

    const Bytes garbage { 1, 2, 3 };
    EXPECT_EQ(store_->OpenEntry(garbage, 0, nullptr, &object), MAPI_E_INVALID_ENTRYID);
    EXPECT_EQ(session_->OpenEntry(garbage, 0, nullptr, &object), MAPI_E_INVALID_ENTRYID);

    TempMaildir other;
    std::unique_ptr<IMAPISession> otherSession;
    ASSERT_EQ(OpenMaildirSession({ { u"Other", other.Root() } }, &otherSession), S_OK);
    std::unique_ptr<IMsgStore> otherStore;
    ASSERT_EQ(otherSession->OpenMsgStore(0, {}, 0, &otherStore), S_OK);
    const Bytes otherInbox = ReadBinary(*otherStore, PR_CE_FIRST_FOLDER_ENTRYID);
    EXPECT_EQ(store_->OpenEntry(otherInbox, 0, nullptr, &object), MAPI_E_INVALID_ENTRYID);
    EXPECT_EQ(session_->OpenEntry(otherInbox, 0, nullptr, &object), MAPI_E_NOT_FOUND);
    std::unique_ptr<IMsgStore> store;
    EXPECT_EQ(session_->OpenMsgStore(0, ReadBinary(*otherStore, PR_ENTRYID), 0, &store), MAPI_E_NOT_FOUND);
    EXPECT_EQ(session_->OpenMsgStore(0, otherInbox, 0, &store), MAPI_E_INVALID_ENTRYID);

    // A saved store whose directory is gone.
    std::unique_ptr<IMAPISession> gone;
    ASSERT_EQ(OpenMaildirSession({ { u"Gone", maildir_.Root() / "nothing-here" } }, &gone), S_OK);
    EXPECT_EQ(gone->OpenMsgStore(0, {}, 0, &store), MAPI_E_NOT_FOUND);
}

// Senders and subjects sort by the collation of the user's locale.
TEST(PropertyValues, TextsSortByTheLocale)
{
    struct Row {
        const char* locale;
        std::u16string first;
        std::u16string second;
        int order;
    };
    const Row rows[] = {
        { "C", u"\u00c9loise", u"plain@example.org", -1 },
        { "C", u"apple", u"Banana", -1 },
        { "C", u"ABC", u"abc", 0 },
        { "C", u"e", u"\u00e9", -1 },
        { "C", u"\u00f6", u"z", -1 },
        { "sv_SE.UTF-8", u"\u00f6", u"z", 1 },
        { "de_DE.ISO-8859-1@euro", u"\u00f6", u"z", -1 },
    };
    ScopedEnvironment environment;
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.locale));
        environment.Set("LC_ALL", row.locale);
        ResetTextCollation();
        const PropertyValue first = row.first;
        const PropertyValue second = row.second;
        EXPECT_EQ(ComparePropertyValues(&first, &second), row.order);
        EXPECT_EQ(ComparePropertyValues(&second, &first), -row.order);
    }
    ResetTextCollation();
}

TEST_F(MaildirStoreTest, MessagesSortPropertiesStreamsAndRecipients)
{
    // The mail view's tests sort by each key; here by date, newest first,
    // where the message without a stamp in its name has the newest file time.
    auto byDate = Sorted(PR_MESSAGE_DELIVERY_TIME, TABLE_SORT_DESCEND);
    ASSERT_EQ(byDate.size(), 4u);
    std::vector<std::u16string> subjects;
    for (const auto& row : byDate) {
        Props subject;
        Read(*OpenMessage(row.id), { PR_SUBJECT_W }, subject);
        subjects.push_back(TextOf(subject[0]));
    }
    EXPECT_EQ(subjects, (std::vector<std::u16string> { u"D\u00e4te", u"banana", u"apple", u"Cherry" }));

    maildir_.AddMessage("", "cur", "1700000600.M1P1.host:2,S",
        "From: x@example.org\r\nTo: just some words\r\nSubject: broken\r\n\r\nBody\r\n");
    const auto rows = Sorted(PR_SUBJECT_W, TABLE_SORT_ASCEND);
    auto apple = OpenMessage(rows[0].id);
    Props props;
    Read(*apple,
        { PR_SENDER_EMAIL_ADDRESS_W, PR_MESSAGE_DELIVERY_TIME, PR_SUBJECT_W, PR_MESSAGE_FLAGS,
            PR_LAST_MODIFICATION_TIME, PR_SENDER_NAME_W, PR_BODY_W, PR_ENTRYID },
        props);
    EXPECT_EQ(props.result, S_OK);
    EXPECT_EQ(TextOf(props[0]), u"bob@example.org");
    EXPECT_EQ(FileTimeTicks(props[1].Value.ft), FileTimeTicks(FileTimeFromUnix(1700000200, 3)));
    EXPECT_EQ(TextOf(props[2]), u"apple");
    EXPECT_EQ(props[3].Value.l, 0);
    EXPECT_EQ(FileTimeTicks(props[4].Value.ft), FileTimeTicks(FileTimeFromUnix(70, 0)));
    EXPECT_EQ(TextOf(props[5]), u"Bob");
    EXPECT_EQ(TextOf(props[6]), u"Body of apple\r\n");
    EXPECT_EQ(BinaryOf(props[7]), rows[0].id);
    Props read;
    Read(*OpenMessage(rows[1].id), { PR_MESSAGE_FLAGS }, read);
    EXPECT_EQ(read[0].Value.l, static_cast<std::int32_t>(MSGFLAG_READ));

    std::unique_ptr<IStream> body;
    ASSERT_EQ(apple->OpenProperty(PR_BODY_W, 0, 0, &body), S_OK);
    STATSTG stat {};
    ASSERT_EQ(body->Stat(&stat, STATFLAG_NONAME), S_OK);
    EXPECT_EQ(stat.cbSize, std::u16string_view(u"Body of apple\r\n").size() * 2);
    char16_t units[64] = {};
    ULONG count = 0;
    ASSERT_EQ(body->Read(units, 8, &count), S_OK);
    EXPECT_EQ(std::u16string(units, count / 2), u"Body");
    std::uint64_t position = 0;
    ASSERT_EQ(body->Seek(-2, STREAM_SEEK_END, &position), S_OK);
    EXPECT_EQ(position, stat.cbSize - 2);
    EXPECT_EQ(body->Seek(-1, STREAM_SEEK_SET, &position), STG_E_INVALIDFUNCTION);
    ASSERT_EQ(body->Seek(0, STREAM_SEEK_SET, nullptr), S_OK);
    ASSERT_EQ(body->Read(units, sizeof units, &count), S_OK);
    EXPECT_EQ(count, stat.cbSize);
    ASSERT_EQ(body->Read(units, sizeof units, &count), S_OK);
    EXPECT_EQ(count, 0u);
    std::unique_ptr<IStream> mime;
    ASSERT_EQ(apple->OpenProperty(PR_CE_MIME_TEXT, 0, 0, &mime), S_OK);
    char raw[6] = {};
    ASSERT_EQ(mime->Read(raw, 5, &count), S_OK);
    EXPECT_EQ(std::string(raw), "From:");
    EXPECT_EQ(apple->OpenProperty(PR_SUBJECT_W, 0, 0, &mime), MAPI_E_NOT_FOUND);

    // A header that is no address list is a recipient named by its text.
    for (const Row& listed : { rows[0], rows[2] }) {
        SCOPED_TRACE(std::string(listed.text.begin(), listed.text.end()));
        std::unique_ptr<IMAPITable> recipients;
        ASSERT_EQ(OpenMessage(listed.id)->GetRecipientTable(MAPI_DEFERRED_ERRORS, &recipients), S_OK);
        SRowSet* set = nullptr;
        ASSERT_EQ(recipients->QueryRows(1, 0, &set), S_OK);
        ASSERT_EQ(set->cRows, 1u);
        const SRow& row = set->aRow[0];
        ASSERT_EQ(row.cValues, 4u);
        if (listed.text == u"broken") {
            EXPECT_EQ(TextOf(row.lpProps[2]), u"just some words");
            EXPECT_NE(row.lpProps[3].ulPropTag, PR_EMAIL_ADDRESS_W);
        } else {
            EXPECT_EQ(row.lpProps[1].ulPropTag, PR_RECIPIENT_TYPE);
            EXPECT_EQ(row.lpProps[1].Value.l, static_cast<std::int32_t>(MAPI_TO));
            EXPECT_EQ(TextOf(row.lpProps[2]), u"Ann");
            EXPECT_EQ(TextOf(row.lpProps[3]), u"ann@example.org");
        }
        FreeProws(set);
    }
}

TEST(MailStore, LogonReadsTheConfigurationNeedsInitializeAndMessageFilesOpenAlone)
{
    TempMaildir maildir;
    const auto conf = maildir.Root() / "stores.conf";
    std::ofstream(conf) << "Sample = " << maildir.Root().string() << "\n";
    ScopedEnvironment environment;
    environment.Set("TALLOWIN_MAILSTORES", conf.c_str());
    std::unique_ptr<IMAPISession> session;
    EXPECT_EQ(MAPILogonEx(0, nullptr, nullptr, 0, &session), MAPI_E_NOT_INITIALIZED);
    ASSERT_EQ(MAPIInitialize(nullptr), S_OK);
    // The mail view's tests open the configured stores through the session.
    EXPECT_EQ(MAPILogonEx(0, nullptr, nullptr, 0, &session), S_OK);
    MAPIUninitialize();

    // A message file of its own, and its attachments.
    const auto path = maildir.Root() / "one.eml";
    std::ofstream(path, std::ios::binary)
        << "From: Eve <eve@example.org>\r\nTo: a@example.org\r\nCc: \"B\" <b@example.org>\r\nSubject: file\r\n"
           "Date: Thu, 01 Jan 2026 00:00:00 +0000\r\nContent-Type: text/html\r\n\r\n<p>Hi <b>there</b></p>\r\n";
    std::unique_ptr<IMessage> message;
    ASSERT_EQ(OpenMessageFile(path, &message), S_OK);
    Props props;
    Read(*message, { PR_SUBJECT_W, PR_MESSAGE_DELIVERY_TIME, PR_BODY_W, PR_ENTRYID, PR_MESSAGE_FLAGS }, props);
    EXPECT_EQ(props.result, S_OK);
    EXPECT_EQ(TextOf(props[0]), u"file");
    EXPECT_EQ(FileTimeTicks(props[1].Value.ft), FileTimeTicks(FileTimeFromUnix(1767225600, 0)));
    EXPECT_EQ(TextOf(props[2]), u"Hi there\r\n");
    EXPECT_EQ(props[4].Value.l, static_cast<std::int32_t>(MSGFLAG_READ));

    // Its identifier opens it again through a session.
    ASSERT_EQ(MAPIInitialize(nullptr), S_OK);
    ASSERT_EQ(OpenMaildirSession({}, &session), S_OK);
    std::unique_ptr<IMAPIProp> again;
    ASSERT_EQ(session->OpenEntry(BinaryOf(props[3]), 0, nullptr, &again), S_OK);
    ASSERT_NE(AsMessage(again.get()), nullptr);
    MAPIUninitialize();
    EXPECT_EQ(OpenMessageFile(maildir.Root() / "missing.eml", &message), MAPI_E_NOT_FOUND);
    EXPECT_EQ(OpenMessageFile(maildir.Root(), &message), MAPI_E_NOT_FOUND);

    // The attachment table lists the file names, error-typed where there is none.
    const std::string text
        = "From: a@b.org\nContent-Type: multipart/mixed; boundary=x\n\n--x\nContent-Type: text/plain\n\n"
          "Body\n--x\nContent-Type: application/zip\nContent-Disposition: attachment; filename=a.zip\n\n"
          "z\n--x\nContent-Type: application/octet-stream\nContent-Disposition: attachment\n\nq\n--x--\n";
    ASSERT_EQ(OpenMessageBytes(std::vector<std::uint8_t>(text.begin(), text.end()), &message), S_OK);
    std::unique_ptr<IMAPITable> table;
    ASSERT_EQ(message->GetAttachmentTable(0, &table), S_OK);
    const ULONG columns[] = { PR_ATTACH_FILENAME_W };
    ASSERT_EQ(table->SetColumns(columns, 0), S_OK);
    SRowSet* rows = nullptr;
    ASSERT_EQ(table->QueryRows(10, 0, &rows), S_OK);
    ASSERT_EQ(rows->cRows, 2u);
    EXPECT_EQ(TextOf(rows->aRow[0].lpProps[0]), u"a.zip");
    EXPECT_EQ(rows->aRow[1].lpProps[0].ulPropTag, PROP_TAG(PT_ERROR, PROP_ID(PR_ATTACH_FILENAME_W)));
    FreeProws(rows);
}

TEST(MapiMemory, BlocksAreZeroFilledChildrenFreeWithTheirParentAndBadArgumentsAreRefused)
{
    const std::size_t before = MapiLiveBufferCount();
    void* parent = nullptr;
    ASSERT_EQ(MAPIAllocateBuffer(64, &parent), S_OK);
    const auto* bytes = static_cast<const unsigned char*>(parent);
    EXPECT_EQ(std::count(bytes, bytes + 64, 0), 64);
    void* child = nullptr;
    void* second = nullptr;
    ASSERT_EQ(MAPIAllocateMore(32, parent, &child), S_OK);
    ASSERT_EQ(MAPIAllocateMore(0, parent, &second), S_OK);
    EXPECT_NE(child, nullptr);
    EXPECT_NE(second, nullptr);
    EXPECT_EQ(MapiLiveBufferCount(), before + 1);
    // A child is not freed on its own, nor given children of its own.
    void* grandChild = nullptr;
    EXPECT_EQ(MAPIAllocateMore(8, child, &grandChild), MAPI_E_INVALID_PARAMETER);
    EXPECT_EQ(MAPIFreeBuffer(child), MAPI_E_INVALID_PARAMETER);
    EXPECT_EQ(MAPIFreeBuffer(parent), S_OK);
    EXPECT_EQ(MapiLiveBufferCount(), before);

    void* block = reinterpret_cast<void*>(1);
    EXPECT_EQ(MAPIAllocateMore(8, nullptr, &block), MAPI_E_INVALID_PARAMETER);
    EXPECT_EQ(block, reinterpret_cast<void*>(1));
    EXPECT_EQ(MAPIAllocateBuffer(8, nullptr), MAPI_E_INVALID_PARAMETER);
    EXPECT_EQ(MAPIFreeBuffer(nullptr), S_OK);
    FreeProws(nullptr);
}

} // namespace
} // namespace platform
