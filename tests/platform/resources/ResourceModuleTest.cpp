#include "ResourceModule.h"
#include "ProgramStrings.h"
#include "ScopedEnvironment.h"
#include "StringEntry.h"
#include "StringIds.h"
#include "StringTable.h"

#include <array>
#include <filesystem>
#include <gtest/gtest.h>
#include <span>
#include <string>

namespace {

using namespace platform;
namespace fs = std::filesystem;

struct Placement {
    const char* fileName;
    const char* library;
};

struct ChoiceRow {
    const char* lang;
    std::array<Placement, 3> placements; // ends at the first null file name
    const char16_t* identity;
    const char16_t* expectedMarker; // null: the program module
};

constexpr ChoiceRow kChoiceRows[] = {
    // Four digits, then the primary language, then the base name alone.
    { "de_AT.UTF-8",
        { { { "tallowinlang0c07.so", TEST_LANGUAGE_A }, { "tallowinlang07.so", TEST_LANGUAGE_B },
            { "tallowinlang.so", TEST_LANGUAGE_C } } },
        u"tallowin3", u"A" },
    { "de_AT.UTF-8", { { { "tallowinlang07.so", TEST_LANGUAGE_B }, { "tallowinlang.so", TEST_LANGUAGE_C } } },
        u"tallowin3", u"B" },
    // Hex digits are lower case.
    { "de_AT.UTF-8", { { { "tallowinlang0C07.so", TEST_LANGUAGE_A } } }, u"tallowin3", nullptr },
    // Another language's libraries are not candidates.
    { "fr_FR.UTF-8", { { { "tallowinlang0407.so", TEST_LANGUAGE_A }, { "tallowinlang07.so", TEST_LANGUAGE_B } } },
        u"tallowin3", nullptr },
    { "fr_FR.UTF-8", { { { "tallowinlang07.so", TEST_LANGUAGE_B }, { "tallowinlang.so", TEST_LANGUAGE_C } } },
        u"tallowin3", u"C" },
    // A different identity is skipped; a missing one is accepted through
    // the program's own entry, unless the program's differs as well.
    { "de_AT.UTF-8", { { { "tallowinlang0c07.so", TEST_LANGUAGE_OTHER }, { "tallowinlang07.so", TEST_LANGUAGE_B } } },
        u"tallowin3", u"B" },
    { "de_AT.UTF-8", { { { "tallowinlang0c07.so", TEST_LANGUAGE_OTHER } } }, u"tallowin3", nullptr },
    { "de_AT.UTF-8", { { { "tallowinlang0c07.so", TEST_LANGUAGE_OTHER } } }, u"tallowin2", u"Other" },
    { "de_AT.UTF-8",
        { { { "tallowinlang0c07.so", TEST_LANGUAGE_ANONYMOUS }, { "tallowinlang07.so", TEST_LANGUAGE_B } } },
        u"tallowin3", u"Anonymous" },
    { "de_AT.UTF-8", { { { "tallowinlang0c07.so", TEST_LANGUAGE_ANONYMOUS } } }, u"tallowin4", nullptr },
    // The identity compares whole texts, not prefixes.
    { "de_AT.UTF-8", { { { "tallowinlang0c07.so", TEST_LANGUAGE_A } } }, u"tallowin", nullptr },
    // Without a locale the language is U.S. English.
    { nullptr, { { { "tallowinlang0409.so", TEST_LANGUAGE_A }, { "tallowinlang09.so", TEST_LANGUAGE_B } } },
        u"tallowin3", u"A" },
    // A file that is not a library is passed over.
    { "de_AT.UTF-8", { { { "tallowinlang0c07.so", "" }, { "tallowinlang07.so", TEST_LANGUAGE_B } } }, u"tallowin3",
        u"B" },
};

TEST(ResourceModuleTest, CandidatesInOrderAndIdentityAndStringTablesWellFormed)
{
    for (const ChoiceRow& row : kChoiceRows) {
        TempDirectory directory;
        for (const Placement& placement : row.placements) {
            if (placement.fileName == nullptr)
                break;
            fs::path target = directory.Root() / placement.fileName;
            if (*placement.library == '\0')
                fs::create_directory(target);
            else
                fs::copy_file(placement.library, target);
        }
        SCOPED_TRACE(::testing::Message() << "row " << &row - kChoiceRows);
        ScopedEnvironment environment;
        environment.Set("TALLOWIN_LIBDIR", directory.Root().c_str());
        environment.Set("LANG", row.lang);

        ModuleHandle chosen = ChooseResourceModule("tallowinlang", row.identity, ProgramModule());
        if (row.expectedMarker == nullptr) {
            EXPECT_EQ(chosen, ProgramModule());
            continue;
        }
        ASSERT_NE(chosen, ProgramModule());
        EXPECT_EQ(LoadStringW(chosen, kStrAlertCaption), std::u16string_view(row.expectedMarker));
        FreeLibrary(chosen);
    }

    // The program's own texts end with their terminator; missing entries and
    // modules give nothing.
    for (const TallowinString& entry : kProgramStrings) {
        std::u16string_view text = LoadStringW(ProgramModule(), entry.id);
        ASSERT_EQ(text.size(), entry.length) << entry.id;
        EXPECT_EQ(text.data()[text.size()], u'\0') << entry.id;
        // The loader hands out the stored text itself, not a copy.
        EXPECT_EQ(text.data(), LoadStringW(ProgramModule(), entry.id).data()) << entry.id;
    }
    for (unsigned id : { 0u, 4u, 39999u, 65535u, 4294967295u })
        EXPECT_TRUE(LoadStringW(ProgramModule(), id).empty()) << id;
    EXPECT_TRUE(LoadStringW(nullptr, kStrAlertCaption).empty());
    EXPECT_EQ(ModuleResources(nullptr), nullptr);

    ScopedEnvironment environment;
    environment.Set("TALLOWIN_LIBDIR", fs::path(GERMAN_LANGUAGE).parent_path().c_str());
    ModuleHandle german = LoadLibraryW("tallowinlang07.so");
    ASSERT_NE(german, nullptr);
    const TallowinResources* resources = ModuleResources(german);
    ASSERT_NE(resources, nullptr);
    std::span<const TallowinString> strings(resources->strings, resources->stringCount);
    EXPECT_TRUE(IsWellFormedStringTable(strings));
    // A translation fills the same placeholders as the program's text.
    auto placeholders = [](std::u16string_view text) {
        std::size_t count = 0;
        for (std::size_t at = text.find(u"%s"); at != std::u16string_view::npos; at = text.find(u"%s", at + 2))
            ++count;
        return count;
    };
    for (const TallowinString& entry : strings) {
        std::u16string_view own = LoadStringW(ProgramModule(), entry.id);
        EXPECT_FALSE(own.empty()) << entry.id;
        EXPECT_EQ(placeholders(LoadStringW(german, entry.id)), placeholders(own)) << entry.id;
    }
    // Every message of the print-only road speaks German.
    for (unsigned id : { kStrPlotwiseMissing, kStrFileOpenFailed, kStrInvalidFileType, kStrRtfParseError,
             kStrInvalidPageSettings, kStrAlertCaption, kStrEmailPrintFailed, kStrPxlOpenFailed, kStrPxlInvalid,
             kStrPxlVersion1, kStrPxlUnsupported, kStrPxlPasswordProtected, kStrHelpText, kStrUsageErrorLine,
             kStrUnknownOption, kStrOutputEndingRefused }) {
        std::u16string_view text = LoadStringW(german, id);
        EXPECT_FALSE(text.empty()) << id;
        EXPECT_NE(text, LoadStringW(ProgramModule(), id)) << id;
    }
    FreeLibrary(german);
}

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

} // namespace
