#include "SettingsStore.h"
#include "SettingsFixture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include <sys/wait.h>
#include <unistd.h>

namespace shell {
namespace {

namespace fs = std::filesystem;

constexpr char kKeyLine[] = "[HKEY_LOCAL_MACHINE\\Software\\Apps\\Brackwater\\Tallowin]";

class SettingsStoreTest : public testing::SettingsFixture {
protected:
    static fs::path DataFile(const char* name) { return fs::path(TALLOWIN_SETTINGS_TEST_DATA) / name; }

    static void ExpectDefaults()
    {
        const AppSettings defaults;
        const auto& s = Settings();
        EXPECT_EQ(s.QuickPrint, defaults.QuickPrint);
        EXPECT_EQ(s.ResizeChoice, defaults.ResizeChoice);
        EXPECT_EQ(s.ShowStartupScreen, defaults.ShowStartupScreen);
        EXPECT_EQ(s.TextFontSize, defaults.TextFontSize);
        EXPECT_EQ(std::u16string(s.TextFontFace), std::u16string(defaults.TextFontFace));
        EXPECT_EQ(s.MailHeaderFontSize, defaults.MailHeaderFontSize);
        EXPECT_EQ(s.MailHeaderOrder, defaults.MailHeaderOrder);
        EXPECT_EQ(s.InboxReservedWord, defaults.InboxReservedWord);
        EXPECT_EQ(s.SheetGridlines, defaults.SheetGridlines);
        EXPECT_EQ(s.SheetCustomPercent, defaults.SheetCustomPercent);
        EXPECT_TRUE(s.MapiBlob.empty());
        EXPECT_EQ(Options().StartView, RunOptions {}.StartView);
    }
};

TEST_F(SettingsStoreTest, TheFirstRunKeepsTheDefaultsAndTheFirstSaveWritesAllFourValues)
{
    LoadSettings();
    ExpectDefaults();
    EXPECT_FALSE(fs::exists(File())) << "loading never writes";

    SaveSettings();
    EXPECT_EQ(testing::ReadFileBytes(File()), testing::ReadFileBytes(DataFile("defaults.reg")));
}

TEST_F(SettingsStoreTest, AFileWithoutTheKeyKeepsTheDefaults)
{
    testing::WriteFileBytes(File(), "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\Software]\r\n");
    LoadSettings();
    ExpectDefaults();
}

TEST_F(SettingsStoreTest, EveryStoredFieldSurvivesASaveAndALoad)
{
    auto& s = Settings();
    s.QuickPrint = 1;
    s.PlainText = 1;
    SetResizeChoice(kResizeChoice75);
    s.ShowStartupScreen = false;
    s.TextFontSize = 10;
    s.TextTabSize = 8;
    s.TextBold = 1;
    s.TextItalic = 1;
    std::memcpy(s.TextFontFace, u"Liberation Mono", sizeof(u"Liberation Mono"));
    s.ViewMode = kViewEmail;
    s.MailHeaderFontSize = 11;
    s.MailHeaderBold = 0;
    s.MailHeaderItalic = 1;
    s.MailBodyFontSize = 13;
    s.MailBodyBold = 1;
    s.MailBodyItalic = 1;
    std::memcpy(s.MailHeaderFontFace, u"DejaVu Sans", sizeof(u"DejaVu Sans"));
    std::memcpy(s.MailBodyFontFace, u"DejaVu Serif", sizeof(u"DejaVu Serif"));
    s.MailHeaderOrder = 2;
    s.InboxReservedWord = 0x1234;
    s.MailHeaderCharset = 161;
    s.MailBodyCharset = 162;
    s.TextFontCharset = 204;
    s.SheetGridlines = 0;
    s.SheetHeadings = 0;
    s.SheetBackgroundColors = 0;
    s.SheetSizing = 2;
    s.SheetCenter = 0;
    s.SheetCustomPercent = 250;
    s.MailStoreEntryId = { 1, 2, 3, 4 };
    s.MailFolderEntryId = { 5, 6 };
    SaveSettings();
    const AppSettings saved = s;

    ResetAppSettings();
    LoadSettings();
    const auto& r = Settings();
    EXPECT_EQ(r.QuickPrint, saved.QuickPrint);
    EXPECT_EQ(r.PlainText, saved.PlainText);
    EXPECT_EQ(r.ResizeChoice, kResizeChoice75);
    EXPECT_EQ(r.ScaleNum, 3);
    EXPECT_EQ(r.ScaleDen, 4);
    EXPECT_EQ(r.ShowStartupScreen, false);
    EXPECT_EQ(r.TextFontSize, saved.TextFontSize);
    EXPECT_EQ(r.TextTabSize, saved.TextTabSize);
    EXPECT_EQ(r.TextBold, saved.TextBold);
    EXPECT_EQ(r.TextItalic, saved.TextItalic);
    EXPECT_EQ(std::u16string(r.TextFontFace), u"Liberation Mono");
    EXPECT_EQ(r.ViewMode, kViewNone) << "the stored view becomes the start view, not the current one";
    EXPECT_EQ(Options().StartView, kViewEmail);
    EXPECT_EQ(r.MailHeaderFontSize, saved.MailHeaderFontSize);
    EXPECT_EQ(r.MailHeaderBold, saved.MailHeaderBold);
    EXPECT_EQ(r.MailHeaderItalic, saved.MailHeaderItalic);
    EXPECT_EQ(r.MailBodyFontSize, saved.MailBodyFontSize);
    EXPECT_EQ(r.MailBodyBold, saved.MailBodyBold);
    EXPECT_EQ(r.MailBodyItalic, saved.MailBodyItalic);
    EXPECT_EQ(std::u16string(r.MailHeaderFontFace), u"DejaVu Sans");
    EXPECT_EQ(std::u16string(r.MailBodyFontFace), u"DejaVu Serif");
    EXPECT_EQ(r.MailHeaderOrder, saved.MailHeaderOrder);
    EXPECT_EQ(r.InboxReservedWord, saved.InboxReservedWord);
    EXPECT_EQ(r.MailHeaderCharset, saved.MailHeaderCharset);
    EXPECT_EQ(r.MailBodyCharset, saved.MailBodyCharset);
    EXPECT_EQ(r.TextFontCharset, saved.TextFontCharset);
    EXPECT_EQ(r.SheetGridlines, saved.SheetGridlines);
    EXPECT_EQ(r.SheetHeadings, saved.SheetHeadings);
    EXPECT_EQ(r.SheetBackgroundColors, saved.SheetBackgroundColors);
    EXPECT_EQ(r.SheetSizing, saved.SheetSizing);
    EXPECT_EQ(r.SheetCenter, saved.SheetCenter);
    EXPECT_EQ(r.SheetCustomPercent, saved.SheetCustomPercent);
    EXPECT_EQ(r.MapiBlob, testing::Hex("0400 0200 01020304 0506 0000"));
}

struct StartViewRow {
    const char* what;
    std::int32_t viewMode; // as the command line left it
    std::int32_t startView;
    std::int32_t stored;
    std::int32_t expected;
};

TEST_F(SettingsStoreTest, TheStoredViewIsUsedUnlessTheCommandLineChoseOne)
{
    const StartViewRow rows[] = {
        { "no switch", kViewNone, kViewDocuments, kViewEmail, kViewEmail },
        { "no switch, workbooks stored", kViewNone, kViewDocuments, kViewWorkbooks, kViewWorkbooks },
        { "/W after an e-mail run", kViewDocuments, kViewDocuments, kViewEmail, kViewDocuments },
        { "/X", kViewWorkbooks, kViewWorkbooks, kViewEmail, kViewWorkbooks },
        { "/I", kViewEmail, kViewEmail, kViewDocuments, kViewEmail },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        ResetAppSettings();
        ResetRunOptions();
        Settings().ViewMode = row.stored;
        SaveSettings();
        ResetAppSettings();
        Settings().ViewMode = row.viewMode;
        Options().StartView = row.startView;
        LoadSettings();
        EXPECT_EQ(Options().StartView, row.expected);
        EXPECT_EQ(Settings().ViewMode, row.viewMode);
    }
}

TEST_F(SettingsStoreTest, MissingOrEmptyFilesKeepTheDefaults)
{
    for (const char* content : { "", "\r\n", "\xEF\xBB\xBF" }) {
        testing::WriteFileBytes(File(), content);
        ResetAppSettings();
        LoadSettings();
        ExpectDefaults();
    }
}

TEST_F(SettingsStoreTest, ADamagedFileKeepsTheDefaultsAndIsKeptAsideOnTheNextSave)
{
    const std::string damaged = std::string("Windows Registry Editor Version 5.00\r\n\r\n") + kKeyLine
        + "\r\n\"PrStore\"=hex:01,00,00,00,00,00,00,00,e8,03,\\\r\n  00,00,\"oops\r\n";
    testing::WriteFileBytes(File(), damaged);
    ::testing::internal::CaptureStderr();
    LoadSettings();
    ExpectDefaults();
    SaveSettings();
    std::string told = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(told.find("is damaged"), std::string::npos) << told;
    EXPECT_NE(told.find("registry.reg.damaged"), std::string::npos) << told;
    EXPECT_EQ(testing::ReadFileBytes(File().string() + ".damaged"), damaged);
    EXPECT_EQ(testing::ReadFileBytes(File()), testing::ReadFileBytes(DataFile("defaults.reg")));
}

TEST_F(SettingsStoreTest, ASaveKeepsKeysAndValuesItDoesNotOwn)
{
    const std::string foreign = std::string("Windows Registry Editor Version 5.00\r\n\r\n")
        + "[HKEY_LOCAL_MACHINE\\Software\\Apps\\Brackwater\\Other]\r\n\"Setting\"=dword:00000001\r\n\r\n" + kKeyLine
        + "\r\n\"Extra\"=\"keep me\"\r\n\r\n";
    testing::WriteFileBytes(File(), foreign);
    Settings().QuickPrint = 1;
    SaveSettings();
    auto text = testing::ReadFileBytes(File());
    EXPECT_NE(text.find("[HKEY_LOCAL_MACHINE\\Software\\Apps\\Brackwater\\Other]\r\n\"Setting\"=dword:00000001\r\n"),
        std::string::npos)
        << text;
    EXPECT_NE(text.find(std::string(kKeyLine) + "\r\n\"Extra\"=\"keep me\"\r\n\"PrStore\"=hex:01,"), std::string::npos)
        << text;
}

TEST_F(SettingsStoreTest, APrintOnlyStartAndAnInteractiveCopySavingTogetherLoseNothing)
{
    // The two copies share the four values; each also owns one more value.
    constexpr int kSaves = 25;
    auto saveMany = [](std::int32_t quickPrint, const char16_t* own) {
        for (int i = 0; i < kSaves; ++i) {
            Settings().QuickPrint = quickPrint;
            SaveSettings();
            platform::HKEY key = nullptr;
            if (platform::RegCreateKeyExW(platform::HKEY_LOCAL_MACHINE, u"Software\\Apps\\Brackwater\\Tallowin", 0,
                    nullptr, 0, platform::KEY_ALL_ACCESS, nullptr, &key, nullptr)
                != platform::ERROR_SUCCESS)
                return false;
            const platform::BYTE count = static_cast<platform::BYTE>(i);
            platform::RegSetValueExW(key, own, 0, platform::REG_BINARY, &count, 1);
            if (platform::RegCloseKey(key) != platform::ERROR_SUCCESS)
                return false;
        }
        return true;
    };
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0)
        ::_exit(saveMany(1, u"Child") ? 0 : 1);
    EXPECT_TRUE(saveMany(0, u"Parent"));
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

    EXPECT_EQ(StoredValue(u"Child"), std::vector<std::uint8_t> { kSaves - 1 });
    EXPECT_EQ(StoredValue(u"Parent"), std::vector<std::uint8_t> { kSaves - 1 });
    auto store = StoredValue(u"PrStore");
    ASSERT_TRUE(store.has_value());
    EXPECT_EQ(store->size(), 100u);
    EXPECT_EQ(StoredValue(u"PrStoreInbox").value_or(std::vector<std::uint8_t> {}).size(), 164u);
    EXPECT_EQ(StoredValue(u"PrExcel").value_or(std::vector<std::uint8_t> {}).size(), 28u);
}

} // namespace
} // namespace shell
