#include "EntryId.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

TEST(EntryId, RoundTripsEveryKind)
{
    const ParsedEntryId ids[] = {
        { EntryKind::Store, "/home/a/Maildir", "", "" },
        { EntryKind::Folder, "/home/a/Maildir", "", "" },
        { EntryKind::Folder, "/home/a/Maildir", ".Lists.foo", "" },
        { EntryKind::Message, "/home/a/Maildir", ".Sent", "1733500000.M1P2.host" },
        { EntryKind::MessageFile, "/tmp/one.eml", "", "" },
    };
    for (const ParsedEntryId& id : ids) {
        const std::vector<std::uint8_t> bytes = MakeEntryId(id);
        const std::optional<ParsedEntryId> parsed = ParseEntryId(bytes);
        ASSERT_TRUE(parsed.has_value());
        EXPECT_EQ(parsed->kind, id.kind);
        EXPECT_EQ(parsed->storePath, id.storePath);
        EXPECT_EQ(parsed->folder, id.folder);
        EXPECT_EQ(parsed->message, id.message);
    }
}

TEST(EntryId, RefusesWhatIsNotAnIdentifier)
{
    const std::vector<std::uint8_t> good = MakeEntryId({ EntryKind::Message, "/m", ".A", "u1" });
    std::vector<std::vector<std::uint8_t>> bad;
    bad.push_back({});
    bad.push_back({ 'T', 'L', 'W' });
    for (std::size_t length = 0; length < good.size(); ++length) {
        bad.emplace_back(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(length));
    }
    std::vector<std::uint8_t> trailing = good;
    trailing.push_back(0);
    bad.push_back(trailing);
    std::vector<std::uint8_t> wrongMagic = good;
    wrongMagic[0] = 'X';
    bad.push_back(wrongMagic);
    std::vector<std::uint8_t> wrongKind = good;
    wrongKind[5] = 9;
    bad.push_back(wrongKind);
    std::vector<std::uint8_t> hugeLength = good;
    hugeLength[6] = 0xFF;
    hugeLength[7] = 0xFF;
    bad.push_back(hugeLength);
    bad.push_back(MakeEntryId({ EntryKind::Store, "", "", "" }));
    bad.push_back(MakeEntryId({ EntryKind::Message, "/m", "", "" }));
    for (const auto& bytes : bad) {
        EXPECT_FALSE(ParseEntryId(bytes).has_value()) << bytes.size();
    }
}

} // namespace
} // namespace platform
