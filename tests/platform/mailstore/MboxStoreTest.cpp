#include "MboxStore.h"
#include "EntryId.h"
#include "MailStore.h"
#include "MaildirFixture.h"
#include "MaildirLayout.h"
#include "MaildirStore.h"
#include "MboxReader.h"
#include "PropertySet.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace platform {
namespace {

namespace fs = std::filesystem;
using namespace test;

std::string MboxMessage(const std::string& from, const std::string& subject, const std::string& extra,
    const std::string& date = "Mon, 02 Nov 2026 10:00:00 +0000")
{
    return "From " + from + " Mon Nov  2 10:00:00 2026\nFrom: " + from + "\nSubject: " + subject + "\nDate: " + date
        + "\n" + extra + "\nBody of " + subject + "\n>From the escaped line\n\n";
}

std::string ReadAll(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
}

TEST(MboxReader, FindsMessagesOffsetsAndReadFlags)
{
    struct Case {
        const char* name;
        std::string text;
        std::vector<bool> seen;
    };
    const std::string first = MboxMessage("a@example.org", "one", "Status: RO\n");
    const std::string crlf = "From b@example.org Mon Nov  2 10:00:00 2026\r\nFrom: b@example.org\r\n"
                             "X-Mozilla-Status: 0001\r\n\r\nbody\r\n\r\n";
    const std::vector<Case> cases = {
        { "empty", "", {} },
        { "no From line", "Subject: x\n\nbody\n", {} },
        { "flags", first + MboxMessage("b@x.org", "two", "Status: O\n") + MboxMessage("c@x.org", "three", ""),
            { true, false, false } },
        { "mozilla flags, CR LF", crlf + MboxMessage("c@x.org", "m", "X-Mozilla-Status: 8000\n"), { true, false } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<MboxMessageSpan> spans
            = ScanMboxBytes(std::span(reinterpret_cast<const std::uint8_t*>(c.text.data()), c.text.size()));
        ASSERT_EQ(spans.size(), c.seen.size());
        for (std::size_t i = 0; i < spans.size(); ++i) {
            EXPECT_EQ(spans[i].seen, c.seen[i]) << i;
            EXPECT_EQ(c.text.compare(static_cast<std::size_t>(spans[i].markerOffset), 5, "From "), 0);
            EXPECT_EQ(c.text.compare(static_cast<std::size_t>(spans[i].headersBegin), 5, "From:"), 0);
            EXPECT_EQ(spans[i].end, i + 1 < spans.size() ? spans[i + 1].markerOffset : std::int64_t(c.text.size()));
            EXPECT_EQ(ParseMboxMessageName(MboxMessageName(spans[i]))->keyHash, spans[i].keyHash);
        }
    }
    // Without a Date header the "From " line's time stands in, in local time.
    ScopedEnvironment zone;
    zone.Set("TZ", "Europe/Berlin");
    const std::string undated = "From a@x.org  Mon Nov  2 11:00:00 2026\nSubject: s\n\nb\n";
    const auto spans = ScanMboxBytes(std::span(reinterpret_cast<const std::uint8_t*>(undated.data()), undated.size()));
    ASSERT_EQ(spans.size(), 1u);
    ASSERT_TRUE(spans[0].date);
    EXPECT_EQ(spans[0].date->dwLowDateTime, FileTimeFromUnix(1793613600, 0).dwLowDateTime);
    for (const char* bad : { "", "12", "-1-ab", "12-", "x-1", "1-zz" })
        EXPECT_FALSE(ParseMboxMessageName(bad)) << bad;
}

class MboxStoreTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(MAPIInitialize(nullptr), S_OK); }
    void TearDown() override { MAPIUninitialize(); }

    void Write(const fs::path& path, const std::string& text, std::ios::openmode mode = std::ios::trunc)
    {
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary | std::ios::out | mode) << text;
    }

    void Open(const fs::path& path)
    {
        ASSERT_EQ(OpenMaildirSession({ { u"Mail", path } }, &session_), S_OK);
        ASSERT_EQ(session_->OpenMsgStore(0, {}, 0, &store_), S_OK);
    }

    std::vector<Row> Subfolders(const Bytes& folderId)
    {
        auto folder = OpenEntry(*session_, folderId);
        std::unique_ptr<IMAPITable> table;
        EXPECT_EQ(static_cast<IMAPIFolder*>(folder.get())->GetHierarchyTable(0, &table), S_OK);
        const ULONG columns[] = { PR_ENTRYID, PR_DISPLAY_NAME_W, PR_FOLDER_TYPE };
        EXPECT_EQ(table->SetColumns(columns, 0), S_OK);
        return AllRows(*table);
    }

    std::u16string SubjectAndBody(const Bytes& id, HRESULT expected = S_OK)
    {
        auto object = OpenEntry(*session_, id, expected);
        if (!object)
            return {};
        Props props;
        Read(*object, { PR_SUBJECT_W, PR_BODY_W }, props);
        return props.result == S_OK ? TextOf(props[0]) + u"|" + TextOf(props[1]) : u"";
    }

    TempDirectory directory_;
    const fs::path root_ = directory_.Root();
    std::unique_ptr<IMAPISession> session_;
    std::unique_ptr<IMsgStore> store_;
};

TEST_F(MboxStoreTest, OneFileListsSortsReadsAndNeverChanges)
{
    const fs::path file = root_ / "spool";
    Write(file,
        MboxMessage("carol@x.org", "banana", "Status: RO\nMessage-ID: <b@x>\n", "Tue, 03 Nov 2026 10:00:00 +0000")
            + MboxMessage("alice@x.org", "Cherry", "Message-ID: <c@x>\n", "Sun, 01 Nov 2026 10:00:00 +0000")
            + MboxMessage("bob@x.org", "apple", "X-Mozilla-Status: 0001\n", "Mon, 02 Nov 2026 10:00:00 +0000"));
    ::chmod(file.c_str(), 0444);
    const std::string before = ReadAll(file);
    struct stat statBefore { };
    ::stat(file.c_str(), &statBefore);
    Open(file);
    EXPECT_EQ(StoreKindOf(file), StoreKind::MboxFile);
    const Bytes inbox = ReadBinary(*store_, PR_CE_FIRST_FOLDER_ENTRYID);
    const auto top = Subfolders(ReadBinary(*store_, PR_IPM_SUBTREE_ENTRYID));
    ASSERT_EQ(top.size(), 1u);
    EXPECT_EQ(top[0].id, inbox);
    EXPECT_EQ(top[0].text, u"Inbox");

    struct Sort {
        ULONG key;
        ULONG order;
        std::vector<std::u16string> subjects;
        std::vector<std::int32_t> flags;
    };
    const std::vector<Sort> sorts = {
        { PR_SUBJECT_W, TABLE_SORT_ASCEND, { u"apple", u"banana", u"Cherry" }, { MSGFLAG_READ, MSGFLAG_READ, 0 } },
        { PR_SENDER_NAME_W, TABLE_SORT_ASCEND, { u"Cherry", u"apple", u"banana" }, { 0, MSGFLAG_READ, MSGFLAG_READ } },
        { PR_MESSAGE_DELIVERY_TIME, TABLE_SORT_DESCEND, { u"banana", u"apple", u"Cherry" }, {} },
    };
    std::vector<Bytes> ids;
    for (const Sort& sort : sorts) {
        std::vector<std::u16string> subjects;
        std::vector<std::int32_t> flags;
        for (const Row& row : Contents(*session_, inbox, sort.key, sort.order)) {
            const std::u16string text = SubjectAndBody(row.id);
            subjects.push_back(text.substr(0, text.find(u'|')));
            flags.push_back(row.number);
            ids.push_back(row.id);
        }
        EXPECT_EQ(subjects, sort.subjects);
        if (!sort.flags.empty()) {
            EXPECT_EQ(flags, sort.flags);
        }
    }
    // The body ends where the next message starts; escaped lines stay as
    // the file has them.
    EXPECT_EQ(SubjectAndBody(ids[0]), u"apple|Body of apple\r\n>From the escaped line\r\n\r\n");

    // Mail appended later, and a rewrite that drops the first message,
    // leave the identifiers of the others valid.
    ::chmod(file.c_str(), 0644);
    Write(file, MboxMessage("dave@x.org", "date", ""), std::ios::app);
    Open(file);
    EXPECT_EQ(Contents(*session_, inbox, PR_SUBJECT_W, TABLE_SORT_ASCEND).size(), 4u);
    EXPECT_EQ(SubjectAndBody(ids[1]).substr(0, 7), u"banana|");
    const std::string all = ReadAll(file);
    Write(file, all.substr(all.find("From alice")));
    EXPECT_EQ(SubjectAndBody(ids[2]).substr(0, 7), u"Cherry|");
    SubjectAndBody(ids[1], MAPI_E_NOT_FOUND);
    EXPECT_EQ(ReadAll(file), all.substr(all.find("From alice")));

    // Before the append nothing had changed the file.
    EXPECT_EQ(before, all.substr(0, before.size()));
    EXPECT_EQ(statBefore.st_size, static_cast<off_t>(before.size()));
}

TEST_F(MboxStoreTest, ThunderbirdFoldersFormATree)
{
    Write(root_ / "Inbox", MboxMessage("a@x.org", "in", "X-Mozilla-Status: 0001\n"));
    Write(root_ / "Inbox.msf", "// <!-- <mdb:mork:z v=\"1.4\"/> -->\n");
    Write(root_ / "msgFilterRules.dat", "version=\"9\"\n");
    Write(root_ / "Trash", "");
    Write(root_ / "Archives.sbd" / "2024",
        MboxMessage("b@x.org", "old", "") + MboxMessage("d@x.org", "deleted", "X-Mozilla-Status: 0009\n"));
    Write(root_ / "Archives.sbd" / "2024.sbd" / "Q1", "");
    Write(root_ / "Lists.sbd" / "dev", MboxMessage("c@x.org", "dev", ""));
    EXPECT_EQ(StoreKindOf(root_), StoreKind::MboxTree);
    Open(root_);
    EXPECT_EQ(ListMboxFolders({ u"", root_.string(), StoreKind::MboxTree }),
        (std::vector<std::string> {
            "Inbox", "Archives", "Archives/2024", "Archives/2024/Q1", "Lists", "Lists/dev", "Trash" }));
    const auto top = Subfolders(ReadBinary(*store_, PR_IPM_SUBTREE_ENTRYID));
    ASSERT_EQ(top.size(), 4u);
    EXPECT_EQ(top[0].id, ReadBinary(*store_, PR_CE_FIRST_FOLDER_ENTRYID));
    EXPECT_EQ(top[0].number, static_cast<std::int32_t>(FolderKindBits("")));
    EXPECT_EQ(top[3].text, u"Trash");
    EXPECT_EQ(top[3].number, static_cast<std::int32_t>(FolderKindBits(".Trash")));
    const auto archives = Subfolders(top[1].id);
    ASSERT_EQ(archives.size(), 1u);
    EXPECT_EQ(archives[0].text, u"2024");
    EXPECT_EQ(ReadBinary(*OpenEntry(*session_, archives[0].id), PR_PARENT_ENTRYID), top[1].id);
    const auto messages = Contents(*session_, archives[0].id, PR_SUBJECT_W, TABLE_SORT_ASCEND);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(SubjectAndBody(messages[0].id).substr(0, 4), u"old|");
    EXPECT_TRUE(Contents(*session_, top[3].id, PR_SUBJECT_W, TABLE_SORT_ASCEND).empty());
    EXPECT_TRUE(Contents(*session_, top[1].id, PR_SUBJECT_W, TABLE_SORT_ASCEND).empty());

    // Names that leave the tree are refused.
    for (const char* bad : { "../Inbox", "Archives.sbd/2024", "Inbox/", "/Inbox", "Missing" }) {
        SCOPED_TRACE(bad);
        std::unique_ptr<IMAPIProp> object;
        EXPECT_TRUE(Failed(
            store_->OpenEntry(MakeEntryId({ EntryKind::Folder, root_.string(), bad, {} }), 0, nullptr, &object)));
    }
}

} // namespace
} // namespace platform
