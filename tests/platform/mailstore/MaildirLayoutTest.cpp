#include "MaildirLayout.h"
#include "EntryId.h"
#include "MaildirFixture.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

TEST(MaildirLayout, ReadsFileAndFolderNames)
{
    struct FileNameCase {
        const char* name;
        const char* unique;
        bool seen;
        long long stampSeconds; // -1: no stamp
        long long stampMicroseconds;
    };
    const FileNameCase cases[] = {
        { "1733500000.M123456P42.host:2,S", "1733500000.M123456P42.host", true, 1733500000, 123456 },
        { "1733500000.M5P42.host:2,FRS", "1733500000.M5P42.host", true, 1733500000, 5 },
        { "1733500000.M5P42.host:2,", "1733500000.M5P42.host", false, 1733500000, 5 },
        { "1733500000.M5P42.host:2,RT", "1733500000.M5P42.host", false, 1733500000, 5 },
        { "1733500000.42_1.host", "1733500000.42_1.host", false, 1733500000, 0 },
        { "1733500000.R1a2bM77P3.mx,S=1234,W=1270:2,S", "1733500000.R1a2bM77P3.mx,S=1234,W=1270", true, 1733500000,
            77 },
        { "message.eml", "message.eml", false, -1, 0 },
        { "17335x.host:2,S", "17335x.host", true, -1, 0 },
        { "1733500000", "1733500000", false, -1, 0 },
        { ":2,S", "", true, -1, 0 },
    };
    for (const FileNameCase& row : cases) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(UniqueNameOf(row.name), row.unique);
        EXPECT_EQ(HasSeenFlag(row.name), row.seen);
        const std::optional<FILETIME> stamp = DeliveryStampOf(row.name);
        if (row.stampSeconds < 0) {
            EXPECT_FALSE(stamp.has_value());
        } else {
            ASSERT_TRUE(stamp.has_value());
            EXPECT_EQ(FileTimeTicks(*stamp), FileTimeTicks(FileTimeFromUnix(row.stampSeconds, row.stampMicroseconds)));
        }
    }

    const std::pair<const char*, bool> validity[] = {
        { "", true },
        { ".Sent", true },
        { ".Lists.foo", true },
        { ".", false },
        { "..", false },
        { ".a..b", false },
        { ".a.", false },
        { "Sent", false },
        { ".a/b", false },
    };
    for (const auto& [name, valid] : validity)
        EXPECT_EQ(IsValidFolderName(name), valid) << name;
    EXPECT_EQ(ParentFolderName(".Lists.foo"), ".Lists");
    EXPECT_EQ(ParentFolderName(".Lists"), "/");
    EXPECT_EQ(ParentFolderName(""), "/");
    EXPECT_EQ(FolderDisplayName(""), u"Inbox");
    EXPECT_EQ(FolderDisplayName(".Lists.foo"), u"foo");
    EXPECT_EQ(FolderDisplayName(".Entw&APw-rfe"), u"Entw\u00fcrfe");
    EXPECT_EQ(FolderDisplayName(".Tom &- Jerry"), u"Tom & Jerry");
    EXPECT_EQ(FolderDisplayName(".broken&AP"), u"broken&AP");
    EXPECT_EQ(FolderKindBits(""), FOLDER_GENERIC | kFolderKindInbox);
    EXPECT_EQ(FolderKindBits(".Sent"), FOLDER_GENERIC | kFolderKindSent);
    EXPECT_EQ(FolderKindBits(".trash"), FOLDER_GENERIC | kFolderKindTrash);
    EXPECT_EQ(FolderKindBits(".Lists.Sent"), FOLDER_GENERIC);
}

TEST(MaildirLayout, ListsFoldersWithTheirParentsAndFindsMessagesAfterTheirFlagsChange)
{
    test::TempMaildir maildir;
    maildir.MakeFolder(".Sent");
    maildir.MakeFolder(".Lists.foo");
    maildir.MakeFolder(".Lists.bar");
    std::filesystem::create_directories(maildir.Root() / ".NotAFolder");
    std::filesystem::create_directories(maildir.Root() / "tmp" / "x");
    const std::vector<std::string> expected { "", ".Lists", ".Lists.bar", ".Lists.foo", ".Sent" };
    EXPECT_EQ(ListMaildirFolders(maildir.Root()), expected);

    maildir.AddMessage("", "new", "100.M1P1.h", "Subject: a\n\n");
    const auto path = maildir.AddMessage("", "cur", "200.M1P1.h:2,", "Subject: b\n\n");
    maildir.AddMessage("", "cur", ".hidden", "x");
    std::vector<MaildirMessageFile> files = ListMessageFiles(maildir.Root());
    ASSERT_EQ(files.size(), 2u);

    // The store's identifier test renames a message under its reader.
    std::filesystem::rename(path, maildir.Root() / "cur" / "200.M1P1.h:2,RS");
    auto found = FindMessageFile(maildir.Root(), "200.M1P1.h");
    ASSERT_TRUE(found.has_value());
    EXPECT_TRUE(found->seen);
    EXPECT_TRUE(FindMessageFile(maildir.Root(), "100.M1P1.h").has_value());
    EXPECT_FALSE(FindMessageFile(maildir.Root(), "200.M1P1").has_value());
    EXPECT_FALSE(FindMessageFile(maildir.Root(), "../cur").has_value());
}

// That each kind of identifier opens its object again, the store tests check.
TEST(EntryId, RefusesWhatIsNotAnIdentifier)
{
    const std::vector<std::uint8_t> good = MakeEntryId({ EntryKind::Message, "/m", ".A", "u1" });
    ASSERT_TRUE(ParseEntryId(good).has_value());
    // A wrong magic, an unknown kind, a length past the end.
    const auto changed = [&](std::size_t at, std::uint8_t value) {
        std::vector<std::uint8_t> bytes = good;
        bytes[at] = value;
        return bytes;
    };
    std::vector<std::vector<std::uint8_t>> bad { {}, { 'T', 'L', 'W' }, changed(0, 'X'), changed(5, 9),
        changed(6, 0xFF), MakeEntryId({ EntryKind::Store, "", "", "" }),
        MakeEntryId({ EntryKind::Message, "/m", "", "" }) };
    for (std::size_t length = 0; length < good.size(); ++length)
        bad.emplace_back(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(length));
    bad.push_back(good);
    bad.back().push_back(0);
    for (const auto& bytes : bad)
        EXPECT_FALSE(ParseEntryId(bytes).has_value()) << bytes.size();
}

} // namespace
} // namespace platform
