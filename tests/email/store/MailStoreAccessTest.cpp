#include "MailStoreAccess.h"
#include "AppSettings.h"
#include "HeadlessMailView.h"
#include "MailStore.h"
#include "MaildirFixture.h"

#include <gtest/gtest.h>

#include <fstream>

namespace email {
namespace {

using platform::test::TempMaildir;

std::string Message(int i)
{
    return "From: Sender " + std::string(1, static_cast<char>('A' + (i * 7) % 26)) + " <s" + std::to_string(i)
        + "@example.org>\r\nSubject: subject " + std::string(1, static_cast<char>('a' + (i * 11) % 26))
        + "\r\n\r\nbody\r\n";
}

class MailStoreAccessTest : public testing::Test {
protected:
    void SetUp() override
    {
        core::ResetAppSettings();
        Mail().SortChoice = kSortReceivedDate;
        Mail().FailStep = 0;
        Mail().LastResult = 0;
        conf_ = maildir_.Root() / "stores.conf";
        env_.Set("TALLOWIN_MAILSTORES", conf_.c_str());
        WriteConfig({ { "Main", maildir_.Root() / "main" } });
        SetMailViewHost(&view_);
    }
    void TearDown() override
    {
        CloseMailSession(true);
        // The folder tree's identifiers live until the next tree is built.
        FreeMapiBuffer(Mail().treeRoot);
        SetMailViewHost(nullptr);
        core::ResetAppSettings();
    }

    void WriteConfig(const std::vector<std::pair<std::string, std::filesystem::path>>& stores)
    {
        std::ofstream out(conf_);
        for (const auto& [name, path] : stores) {
            out << name << " = " << path.string() << "\n";
            for (const char* sub : { "cur", "new", "tmp" }) {
                std::filesystem::create_directories(path / sub);
            }
        }
    }

    void AddMessages(const std::string& folder, int count)
    {
        for (int i = 0; i < count; ++i) {
            maildir_.AddMessage("main/" + folder, "cur", std::to_string(1700000000 + i) + ".M1P1.h:2,S", Message(i));
        }
    }

    std::u16string SubjectOf(const EntryIdBlock* entry)
    {
        std::unique_ptr<platform::IMAPIProp> object;
        EXPECT_EQ(Mail().session->OpenEntry(EntryIdBytesOf(entry), 0, nullptr, &object), platform::S_OK);
        platform::SPropValue* values = nullptr;
        EXPECT_TRUE(ReadSingleProp(*object, platform::PR_SUBJECT_W, &values));
        std::u16string subject = values != nullptr ? values[0].Value.lpszW : u"";
        platform::MAPIFreeBuffer(values);
        return subject;
    }

    TempMaildir maildir_;
    std::filesystem::path conf_;
    ScopedEnvironment env_;
    test::HeadlessMailView view_;
};

// The first run opens the default store's inbox and keeps both identifiers
// for the next settings save; each order then sorts the list.
TEST_F(MailStoreAccessTest, FirstRunOpensTheInboxAndEachOrderSorts)
{
    AddMessages("", 4);
    ASSERT_EQ(OpenMailView(true), 0);
    EXPECT_EQ(view_.fontsCreated, 1);
    EXPECT_EQ(view_.folderText, u"Inbox");
    EXPECT_EQ(view_.columnWidth, 240);
    EXPECT_FALSE(core::Settings().MailStoreEntryId.empty());
    EXPECT_FALSE(core::Settings().MailFolderEntryId.empty());
    const std::pair<std::int32_t, std::vector<std::u16string>> orders[] = {
        { kSortFrom, { u"subject a", u"subject l", u"subject w", u"subject h" } },
        { kSortSubject, { u"subject a", u"subject h", u"subject l", u"subject w" } },
        { kSortReceivedDate, { u"subject h", u"subject w", u"subject l", u"subject a" } },
    };
    for (const auto& [choice, subjects] : orders) {
        Mail().SortChoice = choice;
        RefreshMailView();
        EXPECT_EQ(view_.busy, 0);
        EXPECT_EQ(view_.sortChoice, choice);
        ASSERT_EQ(Mail().messageCount, 4);
        std::vector<std::u16string> listed;
        for (int i = 0; i < 4; ++i) {
            listed.push_back(SubjectOf(Mail().messageEntries[i]));
        }
        EXPECT_EQ(listed, subjects) << choice;
    }
}

TEST_F(MailStoreAccessTest, EmptyFolderIsNoFailureAndTheEntryArrayGrowsByTwentyFive)
{
    EXPECT_EQ(OpenMailView(true), 0);
    EXPECT_EQ(view_.itemCount, 0);
    EXPECT_EQ(Mail().LastResult, 0);
    CloseMailSession(true);
    AddMessages("", 26);
    ASSERT_EQ(OpenMailView(true), 0);
    EXPECT_EQ(Mail().messageCount, 26);
    EXPECT_EQ(Mail().messageEntries.size(), 50u);
    // More rows than fit: room for the scroll bar.
    EXPECT_EQ(view_.columnWidth, 240 - kScrollBarWidth);
}

TEST_F(MailStoreAccessTest, SavedFolderReopensFromTheStoredBlock)
{
    maildir_.AddMessage("main/.Sent", "cur", "1.M1P1.h:2,S", Message(1));
    ASSERT_EQ(OpenMailView(true), 0);
    ASSERT_TRUE(BuildFolderTree());
    const TreeItem store = view_.Find(0, u"Main");
    const TreeItem sent = view_.Find(store, u"Sent");
    ASSERT_NE(sent, 0u);
    const std::vector<std::uint8_t> storeId = view_.Item(store).id;
    const std::vector<std::uint8_t> sentId = view_.Item(sent).id;
    CloseMailSession(true);

    core::ResetAppSettings();
    std::vector<std::uint8_t>& blob = core::Settings().MapiBlob;
    blob = { static_cast<std::uint8_t>(storeId.size() & 0xFF), static_cast<std::uint8_t>(storeId.size() >> 8),
        static_cast<std::uint8_t>(sentId.size() & 0xFF), static_cast<std::uint8_t>(sentId.size() >> 8) };
    blob.insert(blob.end(), storeId.begin(), storeId.end());
    blob.insert(blob.end(), sentId.begin(), sentId.end());
    blob.insert(blob.end(), { 0, 0 });
    ASSERT_EQ(OpenMailView(true), 0);
    EXPECT_EQ(view_.folderText, u"Sent");
    EXPECT_EQ(Mail().messageCount, 1);
}

TEST_F(MailStoreAccessTest, ATruncatedBlockOrAStoreThatIsGoneOpensTheDefaultInbox)
{
    for (const std::vector<std::uint8_t>& blob : std::vector<std::vector<std::uint8_t>> { {}, { 0x10 },
             { 0x10, 0x00, 0x10, 0x00, 1, 2 }, { 0xFF, 0xFF, 0x01, 0x00, 7, 0, 0 }, { 0x00, 0x80, 0x00, 0x80 } }) {
        core::ResetAppSettings();
        core::Settings().MapiBlob = blob;
        EXPECT_EQ(OpenMailView(true), 0) << blob.size();
        EXPECT_EQ(view_.folderText, u"Inbox");
        EXPECT_TRUE(core::Settings().MailEntryIdsTaken);
        CloseMailSession(true);
    }

    // A saved store that is gone: the default store opens and the saved
    // folder is forgotten.
    core::ResetAppSettings();
    TempMaildir gone;
    std::unique_ptr<platform::IMAPISession> other;
    ASSERT_EQ(platform::OpenMaildirSession({ { u"Gone", gone.Root() } }, &other), platform::S_OK);
    std::unique_ptr<platform::IMsgStore> store;
    ASSERT_EQ(other->OpenMsgStore(0, {}, 0, &store), platform::S_OK);
    platform::SPropValue* values = nullptr;
    ASSERT_TRUE(ReadSingleProp(*store, platform::PR_ENTRYID, &values));
    core::Settings().MailStoreEntryId.assign(values[0].Value.bin.lpb, values[0].Value.bin.lpb + values[0].Value.bin.cb);
    platform::MAPIFreeBuffer(values);
    core::Settings().MailFolderEntryId = { 1, 2, 3 };

    EXPECT_EQ(OpenMailView(true), 0);
    EXPECT_EQ(view_.folderText, u"Inbox");
    EXPECT_NE(core::Settings().MailFolderEntryId, (std::vector<std::uint8_t> { 1, 2, 3 }));
}

TEST_F(MailStoreAccessTest, FolderTreeRevealsThePathToTheCurrentFolder)
{
    const std::filesystem::path second = maildir_.Root() / "second";
    WriteConfig({ { "Main", maildir_.Root() / "main" }, { "Second", second } });
    maildir_.MakeFolder("main/.Sent");
    maildir_.MakeFolder("main/.Lists.foo");
    maildir_.MakeFolder("second/.Archive");
    ASSERT_EQ(OpenMailView(true), 0);
    ASSERT_TRUE(BuildFolderTree());
    const TreeItem mainItem = view_.Find(0, u"Main");
    const TreeItem inbox = view_.Find(mainItem, u"Inbox");
    ASSERT_NE(inbox, 0u);
    EXPECT_EQ(view_.currentItem, inbox);
    EXPECT_EQ(view_.Item(mainItem).image, kStoreTreeImage);
    EXPECT_EQ(view_.Item(inbox).image, 1);
    const TreeItem lists = view_.Find(mainItem, u"Lists");
    ASSERT_NE(lists, 0u);
    EXPECT_EQ(view_.Item(view_.Find(mainItem, u"Sent")).image, 2);
    EXPECT_TRUE(view_.Item(lists).hasChildren);
    const TreeItem secondItem = view_.Find(0, u"Second");
    ASSERT_NE(secondItem, 0u);
    EXPECT_EQ(view_.Find(secondItem, u"Archive"), 0u); // not expanded yet

    // Expanding a store, then a folder of the current store.
    EntryIdBlock secondId = view_.Block(secondItem);
    EXPECT_TRUE(AddStoreFolders(secondItem, &secondId, nullptr));
    EXPECT_NE(view_.Find(secondItem, u"Archive"), 0u);
    EntryIdBlock listsId = view_.Block(lists);
    EntryIdBlock mainId = view_.Block(mainItem);
    EXPECT_TRUE(AddStoreFolders(lists, &listsId, &mainId));
    const TreeItem foo = view_.Find(lists, u"foo");
    ASSERT_NE(foo, 0u);
    EXPECT_EQ(view_.Item(foo).image, 4);

    // With the current folder deep in the tree, every level on the way is
    // filled in, siblings included, and the current item is the deep one.
    std::vector<std::uint8_t> fooBytes = view_.Item(foo).id;
    platform::SBinary fooId { static_cast<platform::ULONG>(fooBytes.size()), fooBytes.data() };
    ASSERT_TRUE(CopyEntryId(Mail().MailFolderEntryId, &fooId));
    RefreshMailView();
    EXPECT_EQ(view_.folderText, u"foo");
    view_.tree.clear();
    ASSERT_TRUE(BuildFolderTree());
    const TreeItem mainAgain = view_.Find(0, u"Main");
    const TreeItem listsAgain = view_.Find(mainAgain, u"Lists");
    ASSERT_NE(listsAgain, 0u);
    EXPECT_NE(view_.Find(mainAgain, u"Inbox"), 0u);
    EXPECT_NE(view_.Find(mainAgain, u"Sent"), 0u);
    EXPECT_EQ(view_.currentItem, view_.Find(listsAgain, u"foo"));
    EXPECT_NE(view_.currentItem, 0u);
}

TEST(MailSessionFailure, FirstStepIsKeptAndEntryIdsAreCopied)
{
    Mail() = MailSession {};
    EXPECT_FALSE(FailMailStep(26));
    EXPECT_EQ(Mail().FailStep, 26);
    EXPECT_EQ(Mail().LastResult, platform::E_FAIL);
    EXPECT_FALSE(CheckMailStep(platform::S_OK, 27));
    EXPECT_EQ(Mail().FailStep, 26);
    Mail() = MailSession {};
    EXPECT_TRUE(CheckMailStep(platform::S_OK, 27));
    EXPECT_FALSE(CheckMailStep(platform::MAPI_E_NOT_FOUND, 28));
    EXPECT_EQ(Mail().FailStep, 28);
    EXPECT_EQ(Mail().LastResult, platform::MAPI_E_NOT_FOUND);

    // Copying an entry identifier, and its failures' steps.
    Mail() = MailSession {};
    std::uint8_t bytes[] = { 1, 2, 3, 4 };
    platform::SBinary source { 4, bytes };
    EntryIdBlock* target = nullptr;
    ASSERT_TRUE(CopyEntryId(target, &source));
    EntryIdBlock* first = target;
    bytes[0] = 9;
    ASSERT_TRUE(CopyEntryId(target, &source));
    EXPECT_EQ(target, first); // same length: the block is reused
    EXPECT_EQ(target->lpb[0], 9);
    platform::SBinary longer { 3, bytes };
    ASSERT_TRUE(CopyEntryId(target, &longer));
    EXPECT_EQ(target->cb, 3u);
    EXPECT_FALSE(CopyEntryId(target, nullptr));
    EXPECT_EQ(Mail().FailStep, 10);
    Mail().FailStep = 0;
    EntryIdBlock* under = nullptr;
    EXPECT_FALSE(CopyEntryIdUnder(nullptr, under, &source));
    EXPECT_EQ(Mail().FailStep, 37);
    Mail().FailStep = 0;
    EXPECT_FALSE(CopyEntryIdUnder(nullptr, under, nullptr));
    EXPECT_EQ(Mail().FailStep, 36);
    FreeMapiBuffer(target);
    EXPECT_EQ(target, nullptr);
    Mail() = MailSession {};
}

} // namespace
} // namespace email
