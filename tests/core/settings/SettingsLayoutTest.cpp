#include "SettingsFixture.h"
#include "SettingsStore.h"

#include <gtest/gtest.h>

#include <cstring>
#include <type_traits>
#include <utility>

namespace core {
namespace {

using testing::Hex;
using testing::Join;
using testing::Zeros;

// "Courier New" and "Tahoma" as stored: UTF-16LE, zero-padded to 64 bytes.
std::vector<std::uint8_t> CourierNew()
{
    return Join({ Hex("43 00 6f 00 75 00 72 00 69 00 65 00 72 00 20 00 4e 00 65 00 77 00"), Zeros(42) });
}

std::vector<std::uint8_t> Tahoma()
{
    return Join({ Hex("54 00 61 00 68 00 6f 00 6d 00 61 00"), Zeros(52) });
}

// The three records as the first save writes them; the settings store tests
// compare that save with data/defaults.reg.
std::vector<std::uint8_t> DefaultPrStore()
{
    return Join({ Hex("00000000 00000000 ea030000 01000000 f20d0000 0c000000 00000000 04000000 00 00"), CourierNew(),
        Zeros(2) });
}

std::vector<std::uint8_t> DefaultPrStoreInbox()
{
    return Join({ Hex("ffffffff 09000000 01 00 0000 09000000 00 00"), Tahoma(), CourierNew(),
        Hex("0000 ffff0000 00 00 00"), Zeros(9) });
}

std::vector<std::uint8_t> DefaultPrExcel()
{
    return Hex("01000000 00000000 01000000 01000000 00 01 0000 6400 000000000000");
}

class SettingsLayoutTest : public testing::SettingsFixture { };

// One stored integer field: where it lives and how to reach it in memory.
struct FieldRow {
    const char* field;
    const char16_t* value;
    std::size_t offset;
    std::size_t width;
    std::int64_t sample;
    void (*set)(core::AppSettings&, std::int64_t);
    std::int64_t (*get)(const core::AppSettings&);
};

template <auto Member>
FieldRow Field(const char* field, const char16_t* value, std::size_t offset, std::size_t width, std::int64_t sample)
{
    using Type = std::remove_reference_t<decltype(std::declval<core::AppSettings&>().*Member)>;
    return FieldRow { field, value, offset, width, sample,
        [](core::AppSettings& s, std::int64_t v) { s.*Member = static_cast<Type>(v); },
        [](const core::AppSettings& s) { return static_cast<std::int64_t>(s.*Member); } };
}

const FieldRow kFields[] = {
    Field<&core::AppSettings::QuickPrint>("QuickPrint", u"PrStore", 0, 4, 1),
    Field<&core::AppSettings::PlainText>("PlainText", u"PrStore", 4, 4, 1),
    Field<&core::AppSettings::ResizeChoice>("ResizeChoice", u"PrStore", 8, 4, 1004),
    Field<&core::AppSettings::TextFontSize>("TextFontSize", u"PrStore", 20, 4, 0x01020304),
    Field<&core::AppSettings::TextTabSize>("TextTabSize", u"PrStore", 28, 4, 8),
    Field<&core::AppSettings::TextBold>("TextBold", u"PrStore", 32, 1, 1),
    Field<&core::AppSettings::TextItalic>("TextItalic", u"PrStore", 33, 1, 1),
    Field<&core::AppSettings::MailHeaderFontSize>("MailHeaderFontSize", u"PrStoreInbox", 4, 4, 0x0A0B0C0D),
    Field<&core::AppSettings::MailHeaderBold>("MailHeaderBold", u"PrStoreInbox", 8, 1, 0),
    Field<&core::AppSettings::MailHeaderItalic>("MailHeaderItalic", u"PrStoreInbox", 9, 1, 1),
    Field<&core::AppSettings::MailBodyFontSize>("MailBodyFontSize", u"PrStoreInbox", 12, 4, 0x11223344),
    Field<&core::AppSettings::MailBodyBold>("MailBodyBold", u"PrStoreInbox", 16, 1, 1),
    Field<&core::AppSettings::MailBodyItalic>("MailBodyItalic", u"PrStoreInbox", 17, 1, 1),
    Field<&core::AppSettings::MailHeaderOrder>("MailHeaderOrder", u"PrStoreInbox", 146, 2, -2),
    Field<&core::AppSettings::InboxReservedWord>("InboxReservedWord", u"PrStoreInbox", 148, 4, 0x12345678),
    Field<&core::AppSettings::MailHeaderCharset>("MailHeaderCharset", u"PrStoreInbox", 152, 1, 0xEE),
    Field<&core::AppSettings::MailBodyCharset>("MailBodyCharset", u"PrStoreInbox", 153, 1, 0x80),
    Field<&core::AppSettings::TextFontCharset>("TextFontCharset", u"PrStoreInbox", 154, 1, 0xA1),
    Field<&core::AppSettings::SheetGridlines>("SheetGridlines", u"PrExcel", 0, 4, 0),
    Field<&core::AppSettings::SheetHeadings>("SheetHeadings", u"PrExcel", 8, 4, 0),
    Field<&core::AppSettings::SheetBackgroundColors>("SheetBackgroundColors", u"PrExcel", 12, 4, 0),
    Field<&core::AppSettings::SheetSizing>("SheetSizing", u"PrExcel", 16, 1, 2),
    Field<&core::AppSettings::SheetCenter>("SheetCenter", u"PrExcel", 17, 1, 0),
    Field<&core::AppSettings::SheetCustomPercent>("SheetCustomPercent", u"PrExcel", 20, 2, -250),
};

std::vector<std::uint8_t> Defaults(std::u16string_view value)
{
    if (value == u"PrStore")
        return DefaultPrStore();
    if (value == u"PrStoreInbox")
        return DefaultPrStoreInbox();
    return DefaultPrExcel();
}

void PutLittleEndian(std::vector<std::uint8_t>& bytes, std::size_t offset, std::size_t width, std::int64_t value)
{
    for (std::size_t i = 0; i < width; ++i)
        bytes[offset + i] = static_cast<std::uint8_t>(static_cast<std::uint64_t>(value) >> (8 * i));
}

TEST_F(SettingsLayoutTest, EachFieldIsSavedAndLoadedAtItsOffsetAndWidth)
{
    for (const auto& row : kFields) {
        SCOPED_TRACE(row.field);
        core::ResetAppSettings();
        row.set(core::Settings(), row.sample);
        core::SaveSettings();
        auto expected = Defaults(row.value);
        PutLittleEndian(expected, row.offset, row.width, row.sample);
        EXPECT_EQ(StoredValue(row.value), expected);

        core::ResetAppSettings();
        core::SaveSettings();
        StoreValue(row.value, expected);
        core::LoadSettings();
        EXPECT_EQ(row.get(core::Settings()), row.sample);
    }
}

struct FlagsRow {
    std::uint32_t stored;
    bool show;
};

TEST_F(SettingsLayoutTest, OnlyBitZeroOfTheFlagsCounts)
{
    const FlagsRow rows[] = { { 0, false }, { 1, true }, { 0xFFFFFFFE, false }, { 0x80000001, true } };
    for (const auto& row : rows) {
        auto stored = DefaultPrStore();
        PutLittleEndian(stored, 12, 4, row.stored);
        StoreValue(u"PrStore", stored);
        core::Settings().ShowStartupScreen = !row.show;
        core::LoadSettings();
        EXPECT_EQ(core::Settings().ShowStartupScreen, row.show) << row.stored;

        core::SaveSettings();
        auto saved = StoredValue(u"PrStore").value_or(std::vector<std::uint8_t> {});
        ASSERT_EQ(saved.size(), 100u);
        EXPECT_EQ(saved[12], row.show ? 1 : 0) << "other bits are written as 0";
        EXPECT_EQ(saved[13] | saved[14] | saved[15], 0);
    }
}

TEST_F(SettingsLayoutTest, FaceNamesAreStoredAsUtf16AtTheirOffsets)
{
    std::memcpy(core::Settings().TextFontFace, u"Liberation Mono", sizeof(u"Liberation Mono"));
    std::memcpy(core::Settings().MailHeaderFontFace, u"DejaVu Sans \u00C9", sizeof(u"DejaVu Sans \u00C9"));
    std::memcpy(Settings().MailBodyFontFace, u"Serif", sizeof(u"Serif"));
    core::SaveSettings();
    auto store = StoredValue(u"PrStore").value_or(std::vector<std::uint8_t> {});
    auto inbox = StoredValue(u"PrStoreInbox").value_or(std::vector<std::uint8_t> {});
    ASSERT_EQ(store.size(), 100u);
    ASSERT_EQ(inbox.size(), 164u);
    EXPECT_EQ(std::vector<std::uint8_t>(store.begin() + 34, store.begin() + 40), Hex("4c 00 69 00 62 00"));
    EXPECT_EQ(store[34 + 2 * 15], 0);
    EXPECT_EQ(std::vector<std::uint8_t>(inbox.begin() + 18 + 24, inbox.begin() + 18 + 26), Hex("c9 00"));
    EXPECT_EQ(std::vector<std::uint8_t>(inbox.begin() + 82, inbox.begin() + 86), Hex("53 00 65 00"));

    core::ResetAppSettings();
    core::LoadSettings();
    EXPECT_EQ(std::u16string(Settings().TextFontFace), u"Liberation Mono");
    EXPECT_EQ(std::u16string(Settings().MailHeaderFontFace), u"DejaVu Sans \u00C9");
    EXPECT_EQ(std::u16string(Settings().MailBodyFontFace), u"Serif");
}

TEST_F(SettingsLayoutTest, AFaceFillingAll32UnitsStillEndsInZero)
{
    auto stored = DefaultPrStore();
    for (std::size_t i = 34; i < 98; i += 2)
        stored[i] = 'A';
    StoreValue(u"PrStore", stored);
    core::LoadSettings();
    EXPECT_EQ(std::u16string(core::Settings().TextFontFace), std::u16string(31, u'A'));
}

TEST_F(SettingsLayoutTest, AnOlder146BytePrStoreInboxKeepsTheHeaderOrder)
{
    auto stored = DefaultPrStoreInbox();
    PutLittleEndian(stored, 4, 4, 11);
    stored.resize(146);
    StoreValue(u"PrStoreInbox", stored);
    core::Settings().MailHeaderOrder = 2;
    core::Settings().InboxReservedWord = 0xABCD;
    Settings().MailHeaderCharset = 7;
    Settings().MailBodyCharset = 8;
    Settings().TextFontCharset = 9;
    core::LoadSettings();
    EXPECT_EQ(Settings().MailHeaderFontSize, 11);
    EXPECT_EQ(Settings().MailHeaderOrder, 2);
    EXPECT_EQ(Settings().InboxReservedWord, 0xABCDu);
    EXPECT_EQ(Settings().MailHeaderCharset, 0);
    EXPECT_EQ(Settings().MailBodyCharset, 0);
    EXPECT_EQ(Settings().TextFontCharset, 0);
    EXPECT_EQ(std::u16string(Settings().MailBodyFontFace), u"Courier New");
}

TEST_F(SettingsLayoutTest, AValueCutShortMakesTheFileDamagedInsteadOfReadingZeros)
{
    struct Row {
        const char16_t* value;
        std::vector<std::uint8_t> data;
    };
    auto excel = DefaultPrExcel();
    excel.resize(10);
    const Row rows[] = {
        { u"PrExcel", excel }, { u"PrStore", std::vector<std::uint8_t>(60, 0x01) },
        { u"PrStoreInbox", std::vector<std::uint8_t>(150, 0x01) },
        { u"PrMAPI", Hex("0400 0000 aabb") }, // says 4 bytes of store, holds 2
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.value, row.value + std::char_traits<char16_t>::length(row.value)));
        core::ResetAppSettings();
        core::ResetRunOptions();
        std::filesystem::remove(File());
        std::filesystem::remove(File().string() + ".damaged");
        core::Settings().SheetCustomPercent = 77;
        core::SaveSettings();
        StoreValue(row.value, row.data);
        core::ResetAppSettings();
        ::testing::internal::CaptureStderr();
        core::LoadSettings();
        EXPECT_EQ(core::Settings().SheetCustomPercent, 100) << "nothing of a damaged file is read";
        core::SaveSettings();
        ::testing::internal::GetCapturedStderr();
        EXPECT_TRUE(std::filesystem::exists(File().string() + ".damaged"));
    }
}

struct OversizeRow {
    const char16_t* value;
    std::size_t size;
};

TEST_F(SettingsLayoutTest, AValueLargerThanItsRecordLeavesItsFieldsUnchanged)
{
    const OversizeRow rows[]
        = { { u"PrStore", 101 }, { u"PrStoreInbox", 165 }, { u"PrExcel", 29 }, { u"PrStore", 4096 } };
    for (const auto& row : rows) {
        core::ResetAppSettings();
        core::ResetRunOptions();
        std::filesystem::remove(File());
        core::Settings().TextFontSize = 30;
        core::Settings().MailHeaderFontSize = 31;
        Settings().SheetCustomPercent = 32;
        core::SaveSettings();
        StoreValue(row.value, std::vector<std::uint8_t>(row.size, 0x11));
        Settings().TextFontSize = 40;
        Settings().MailHeaderFontSize = 41;
        Settings().SheetCustomPercent = 42;
        core::Options().StartView = 1;
        core::LoadSettings();
        bool store = std::u16string_view(row.value) == u"PrStore";
        bool inbox = std::u16string_view(row.value) == u"PrStoreInbox";
        bool excel = std::u16string_view(row.value) == u"PrExcel";
        EXPECT_EQ(Settings().TextFontSize, store ? 40 : 30);
        EXPECT_EQ(Settings().MailHeaderFontSize, inbox ? 41 : 31);
        EXPECT_EQ(Settings().SheetCustomPercent, excel ? 42 : 32);
        EXPECT_EQ(core::Options().StartView, inbox ? 1 : -1);
    }
}

struct ResizeRow {
    std::int32_t choice;
    std::int32_t stored;
    std::int32_t num;
    std::int32_t den;
};

const ResizeRow kResizeRows[] = {
    { 1000, 1000, 1, 2 },
    { 1001, 1001, 3, 4 },
    { 1002, 1002, 1, 1 },
    { 1003, 1003, 5, 4 },
    { 1004, 1004, 3, 2 },
    { 999, 1002, 1, 1 },
    { 1005, 1002, 1, 1 },
    { 0, 1002, 1, 1 },
    { -1, 1002, 1, 1 },
    { 2, 1002, 1, 1 },
};

TEST_F(SettingsLayoutTest, AResizeChoiceSetOrStoredSetsTheScale)
{
    for (const auto& row : kResizeRows) {
        SCOPED_TRACE(row.choice);
        core::Settings().ScaleNum = 9;
        core::Settings().ScaleDen = 9;
        core::SetResizeChoice(row.choice);
        EXPECT_EQ(Settings().ResizeChoice, row.stored);
        EXPECT_EQ(Settings().ScaleNum, row.num);
        EXPECT_EQ(Settings().ScaleDen, row.den);

        auto stored = DefaultPrStore();
        PutLittleEndian(stored, 8, 4, row.choice);
        StoreValue(u"PrStore", stored);
        Settings().ScaleNum = 9;
        Settings().ScaleDen = 9;
        core::LoadSettings();
        EXPECT_EQ(Settings().ResizeChoice, row.stored);
        EXPECT_EQ(Settings().ScaleNum, row.num);
        EXPECT_EQ(Settings().ScaleDen, row.den);
    }
}

struct MapiRow {
    const char* what;
    std::vector<std::uint8_t> store;
    std::vector<std::uint8_t> folder;
    std::vector<std::uint8_t> stored;
};

TEST_F(SettingsLayoutTest, PrMapiIsRebuiltFromTheEntryIdentifiers)
{
    const MapiRow rows[] = {
        { "neither", {}, {}, {} },
        { "both", { 1, 2, 3 }, { 4, 5 }, Hex("0300 0200 010203 0405 0000") },
        { "store only", { 0xAA }, {}, Hex("0100 0000 aa 0000") },
        { "folder only", {}, { 0xBB, 0xCC }, Hex("0000 0200 bbcc 0000") },
        { "identifier too long to store", std::vector<std::uint8_t>(32768, 1), { 7 }, Hex("0000 0100 07 0000") },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        core::ResetAppSettings();
        core::Settings().MapiBlob = { 9, 9, 9 };
        core::Settings().MailEntryIdsTaken = true;
        Settings().MailStoreEntryId = row.store;
        Settings().MailFolderEntryId = row.folder;
        core::SaveSettings();
        EXPECT_EQ(StoredValue(u"PrMAPI"), row.stored);
        EXPECT_EQ(Settings().MapiBlob, row.stored);

        core::ResetAppSettings();
        Settings().MapiBlob = { 9 };
        core::LoadSettings();
        EXPECT_EQ(Settings().MapiBlob, row.stored);
        EXPECT_TRUE(Settings().MailStoreEntryId.empty()) << "the e-mail view reads the identifiers from the blob";
    }
}

TEST_F(SettingsLayoutTest, AStoredPrMapiIsKeptByRunsThatNeverOpenedTheMailViewAndReadIntoTheBlob)
{
    StoreValue(u"PrStore", DefaultPrStore());
    core::Settings().MapiBlob = { 1, 2, 3 };
    core::LoadSettings();
    EXPECT_TRUE(core::Settings().MapiBlob.empty()) << "a missing value releases the blob";

    const auto stored = Hex("0100 0200 aa bbcc 0000");
    StoreValue(u"PrMAPI", stored);
    core::Settings().MapiBlob = { 9, 9, 9, 9, 9, 9, 9, 9, 9 };
    core::LoadSettings();
    EXPECT_EQ(core::Settings().MapiBlob, stored) << "read into the blob held, of the same length";
    core::Settings().SheetGridlines = 0; // an unrelated change, saved as a print-only run does
    core::SaveSettings();
    EXPECT_EQ(StoredValue(u"PrMAPI"), stored);
}

} // namespace
} // namespace core
