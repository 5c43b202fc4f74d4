#include "StringTable.h"
#include "ProgramStrings.h"

#include <gtest/gtest.h>
#include <string>

namespace {

using namespace platform;

constexpr std::array kUnsorted { StringEntry(5, u"b"), StringEntry(4, u"a") };
constexpr std::array kDuplicate { StringEntry(4, u"a"), StringEntry(4, u"b") };
constexpr std::array kEmptyText { StringEntry(4, u"a"), StringEntry(5, u"") };
constexpr std::array kEmbeddedZero { StringEntry(4, u"a\0b") };
constexpr std::array kSorted { StringEntry(1, u"x"), StringEntry(40078, u"y") };
static_assert(!IsWellFormedStringTable(kUnsorted));
static_assert(!IsWellFormedStringTable(kDuplicate));
static_assert(!IsWellFormedStringTable(kEmptyText));
static_assert(!IsWellFormedStringTable(kEmbeddedZero));
static_assert(IsWellFormedStringTable(kSorted));
static_assert(IsWellFormedStringTable(kProgramStrings));

constexpr auto kJoined = JoinText(u"ab", u"cd");
static_assert(sizeof kJoined.text == 5 * sizeof(char16_t) && kJoined.text[3] == u'd' && kJoined.text[4] == u'\0');

TEST(StringTableTest, StoredTextsEndWithTheirTerminator)
{
    for (const TallowinString& entry : kProgramStrings) {
        std::u16string_view text = LoadStringW(ProgramModule(), entry.id);
        ASSERT_EQ(text.size(), entry.length) << entry.id;
        EXPECT_EQ(text.data()[text.size()], u'\0') << entry.id;
        // The loader hands out the stored text itself, not a copy.
        EXPECT_EQ(text.data(), LoadStringW(ProgramModule(), entry.id).data()) << entry.id;
    }
}

struct LoadRow {
    ModuleHandle module;
    unsigned id;
    int size;
    int expected;
    const char16_t* contents;
};

TEST(StringTableTest, CopiesIntoBuffer)
{
    const LoadRow rows[] = {
        { ProgramModule(), kStrAlertCaption, 20, 8, u"Alert..." },
        { ProgramModule(), kStrAlertCaption, 9, 8, u"Alert..." },
        { ProgramModule(), kStrAlertCaption, 8, 7, u"Alert.." },
        { ProgramModule(), kStrAlertCaption, 1, 0, u"" },
        { ProgramModule(), kStrAlertCaption, 0, 0, u"untouched" },
        { ProgramModule(), kStrAlertCaption, -1, 0, u"untouched" },
        { ProgramModule(), 0, 20, 0, u"" },
        { nullptr, kStrAlertCaption, 20, 0, u"" },
    };
    for (const LoadRow& row : rows) {
        char16_t buffer[32] = u"untouched";
        EXPECT_EQ(LoadStringW(row.module, row.id, buffer, row.size), row.expected) << row.id << " " << row.size;
        EXPECT_EQ(std::u16string(buffer), row.contents) << row.id << " " << row.size;
    }
    EXPECT_EQ(LoadStringW(ProgramModule(), kStrAlertCaption, nullptr, 20), 0);
    for (unsigned id : { 0u, 4u, 39999u, 65535u, 4294967295u })
        EXPECT_TRUE(LoadStringW(ProgramModule(), id).empty()) << id;
    EXPECT_TRUE(LoadStringW(nullptr, kStrAlertCaption).empty());
    EXPECT_EQ(ModuleResources(nullptr), nullptr);
}

} // namespace
