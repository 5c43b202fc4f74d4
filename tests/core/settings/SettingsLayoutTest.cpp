#include "SettingsFixture.h"
#include "SettingsStore.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <tuple>
#include <utility>

namespace core {
namespace {

using testing::Field;
using testing::FieldRow;
using testing::Hex;

class SettingsLayoutTest : public testing::SettingsFixture {
protected:
    // A record as the first save writes it.
    std::vector<std::uint8_t> Defaults(const char16_t* value)
    {
        std::filesystem::remove(File());
        core::ResetAppSettings();
        core::SaveSettings();
        return LoadValue(value).value_or(std::vector<std::uint8_t> {});
    }
};

void PutLittleEndian(std::vector<std::uint8_t>& bytes, std::size_t offset, std::size_t width, std::int64_t value)
{
    for (std::size_t i = 0; i < width; ++i)
        bytes[offset + i] = static_cast<std::uint8_t>(static_cast<std::uint64_t>(value) >> (8 * i));
}

// Every field of the three records set apart from its default and from the
// others, with values that need the whole width of the field; the store
// tests compare the first save's bytes with data/defaults.reg.
TEST_F(SettingsLayoutTest, EveryFieldOfEachRecordComesBackFromTheFile)
{
    using S = core::AppSettings;
    const FieldRow fields[] = {
        Field<&S::QuickPrint>(1), Field<&S::PlainText>(1), Field<&S::ResizeChoice>(1004),
        Field<&S::ShowStartupScreen>(0), Field<&S::TextFontSize>(0x01020304), Field<&S::TextTabSize>(0x05060708),
        Field<&S::TextBold>(0x31), Field<&S::TextItalic>(0x32), Field<&S::MailHeaderFontSize>(0x0A0B0C0D),
        Field<&S::MailHeaderBold>(0x33), Field<&S::MailHeaderItalic>(0x34), Field<&S::MailBodyFontSize>(0x11223344),
        Field<&S::MailBodyBold>(0x35), Field<&S::MailBodyItalic>(0x36), Field<&S::MailHeaderOrder>(-2),
        Field<&S::InboxReservedWord>(0x12345678), Field<&S::MailHeaderCharset>(0xEE),
        Field<&S::MailBodyCharset>(0x80), Field<&S::TextFontCharset>(0xA1), Field<&S::SheetGridlines>(0x41424344),
        Field<&S::SheetHeadings>(0x45464748), Field<&S::SheetBackgroundColors>(0x494A4B4C),
        Field<&S::SheetSizing>(2), Field<&S::SheetCenter>(0x4D), Field<&S::SheetCustomPercent>(-250),
    };
    for (const FieldRow& field : fields)
        field.set(core::Settings(), field.sample);
    std::memcpy(Settings().TextFontFace, u"Liberation Mono", sizeof(u"Liberation Mono"));
    std::memcpy(Settings().MailHeaderFontFace, u"DejaVu Sans \u00C9", sizeof(u"DejaVu Sans \u00C9"));
    std::memcpy(Settings().MailBodyFontFace, u"Serif", sizeof(u"Serif"));
    core::SaveSettings();
    EXPECT_EQ(LoadValue(u"PrStore").value_or(std::vector<std::uint8_t> {}).size(), 100u);
    EXPECT_EQ(LoadValue(u"PrStoreInbox").value_or(std::vector<std::uint8_t> {}).size(), 164u);
    EXPECT_EQ(LoadValue(u"PrExcel").value_or(std::vector<std::uint8_t> {}).size(), 28u);

    core::ResetAppSettings();
    core::LoadSettings();
    for (const FieldRow& field : fields)
        EXPECT_EQ(field.get(core::Settings()), field.sample) << &field - fields;
    EXPECT_EQ(std::u16string(Settings().TextFontFace), u"Liberation Mono");
    EXPECT_EQ(std::u16string(Settings().MailHeaderFontFace), u"DejaVu Sans \u00C9");
    EXPECT_EQ(std::u16string(Settings().MailBodyFontFace), u"Serif");
}

// A face filling all 32 units of its field still reads as a string that ends.
TEST_F(SettingsLayoutTest, OnlyBitZeroOfTheFlagsCountsAndAFullFaceStillEnds)
{
    // The flags stored and whether they show the start-up screen.
    for (const auto& [flags, show] : { std::pair { 0xFFFFFFFEu, false }, std::pair { 0x80000001u, true } }) {
        auto stored = Defaults(u"PrStore");
        PutLittleEndian(stored, 12, 4, flags);
        for (std::size_t i = 34; i < 98; i += 2)
            stored[i] = 'A';
        SaveValue(u"PrStore", stored);
        core::Settings().ShowStartupScreen = !show;
        core::LoadSettings();
        EXPECT_EQ(core::Settings().ShowStartupScreen, show) << flags;
        EXPECT_EQ(std::u16string(core::Settings().TextFontFace), std::u16string(31, u'A'));

        core::SaveSettings();
        auto saved = LoadValue(u"PrStore").value_or(std::vector<std::uint8_t> {});
        ASSERT_EQ(saved.size(), 100u);
        EXPECT_EQ(saved[12], show ? 1 : 0) << "other bits are written as 0";
        EXPECT_EQ(saved[13] | saved[14] | saved[15], 0);
    }
}

TEST_F(SettingsLayoutTest, AnOlder146BytePrStoreInboxKeepsTheHeaderOrder)
{
    auto stored = Defaults(u"PrStoreInbox");
    PutLittleEndian(stored, 4, 4, 11);
    stored.resize(146);
    SaveValue(u"PrStoreInbox", stored);
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

// A value longer than its record is not read and leaves its fields as they
// are; one cut short makes the file damaged instead of being read as zeros.
TEST_F(SettingsLayoutTest, AValueOfTheWrongLengthIsNotRead)
{
    auto excel = Defaults(u"PrExcel");
    excel.resize(10);
    const struct {
        const char16_t* value;
        std::vector<std::uint8_t> data;
        bool keepStore, keepInbox, keepExcel; // the fields in memory stay
    } rows[] = {
        { u"PrStore", std::vector<std::uint8_t>(101, 0x11), true, false, false },
        { u"PrStoreInbox", std::vector<std::uint8_t>(165, 0x11), false, true, false },
        { u"PrExcel", std::vector<std::uint8_t>(29, 0x11), false, false, true },
        { u"PrExcel", excel, true, true, true },
        { u"PrMAPI", Hex("0400 0000 aabb"), true, true, true }, // says 4 bytes of store, holds 2
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::Message() << (&row - rows));
        core::ResetAppSettings();
        core::ResetRunOptions();
        std::filesystem::remove(File());
        std::filesystem::remove(File().string() + ".damaged");
        core::Settings().TextFontSize = 30;
        core::Settings().MailHeaderFontSize = 31;
        Settings().SheetCustomPercent = 32;
        core::SaveSettings();
        SaveValue(row.value, row.data);
        Settings().TextFontSize = 40;
        Settings().MailHeaderFontSize = 41;
        Settings().SheetCustomPercent = 42;
        core::Options().StartView = 1;
        ::testing::internal::CaptureStderr();
        core::LoadSettings();
        EXPECT_EQ(Settings().TextFontSize, row.keepStore ? 40 : 30);
        EXPECT_EQ(Settings().MailHeaderFontSize, row.keepInbox ? 41 : 31);
        EXPECT_EQ(Settings().SheetCustomPercent, row.keepExcel ? 42 : 32);
        EXPECT_EQ(core::Options().StartView, row.keepInbox ? 1 : -1);
        core::SaveSettings();
        ::testing::internal::GetCapturedStderr();
        const bool damaged = row.keepStore && row.keepInbox && row.keepExcel;
        EXPECT_EQ(std::filesystem::exists(File().string() + ".damaged"), damaged);
    }
}

// A resize choice, the choice kept and the scale it sets.
const std::tuple<std::int32_t, std::int32_t, std::int32_t, std::int32_t> kResizeRows[] = {
    { 1000, 1000, 1, 2 },
    { 1004, 1004, 3, 2 },
    { 999, 1002, 1, 1 },
    { 1005, 1002, 1, 1 },
};

TEST_F(SettingsLayoutTest, AResizeChoiceSetOrStoredSetsTheScale)
{
    const auto scale = [] { return std::array { Settings().ResizeChoice, Settings().ScaleNum, Settings().ScaleDen }; };
    for (const auto& [choice, stored, num, den] : kResizeRows) {
        SCOPED_TRACE(choice);
        core::Settings().ScaleNum = 9;
        core::Settings().ScaleDen = 9;
        core::SetResizeChoice(choice);
        EXPECT_EQ(scale(), (std::array { stored, num, den }));

        auto record = Defaults(u"PrStore");
        PutLittleEndian(record, 8, 4, choice);
        SaveValue(u"PrStore", record);
        Settings().ScaleNum = 9;
        Settings().ScaleDen = 9;
        core::LoadSettings();
        EXPECT_EQ(scale(), (std::array { stored, num, den }));
    }
}

TEST_F(SettingsLayoutTest, PrMapiIsRebuiltFromTheEntryIdentifiers)
{
    const struct {
        const char* what;
        std::vector<std::uint8_t> store;
        std::vector<std::uint8_t> folder;
        std::vector<std::uint8_t> stored;
    } rows[] = {
        { "neither", {}, {}, {} },
        { "both", { 1, 2, 3 }, { 4, 5 }, Hex("0300 0200 010203 0405 0000") },
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
        EXPECT_EQ(LoadValue(u"PrMAPI"), row.stored);
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
    SaveValue(u"PrStore", Defaults(u"PrStore"));
    core::Settings().MapiBlob = { 1, 2, 3 };
    core::LoadSettings();
    EXPECT_TRUE(core::Settings().MapiBlob.empty()) << "a missing value releases the blob";

    const auto stored = Hex("0100 0200 aa bbcc 0000");
    SaveValue(u"PrMAPI", stored);
    core::Settings().MapiBlob = { 9, 9, 9, 9, 9, 9, 9, 9, 9 };
    core::LoadSettings();
    EXPECT_EQ(core::Settings().MapiBlob, stored) << "read into the blob held, of the same length";
    core::Settings().SheetGridlines = 0; // an unrelated change, saved as a print-only run does
    core::SaveSettings();
    EXPECT_EQ(LoadValue(u"PrMAPI"), stored);
}

} // namespace
} // namespace core
