#include "SettingsStore.h"
#include "SettingsFixture.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <sys/wait.h>
#include <unistd.h>

namespace core {
namespace {

namespace fs = std::filesystem;

constexpr char kKeyLine[] = "[HKEY_LOCAL_MACHINE\\Software\\Apps\\Brackwater\\Tallowin]";

class SettingsStoreTest : public testing::SettingsFixture {
protected:
    static fs::path DataFile(const char* name) { return fs::path(TALLOWIN_SETTINGS_TEST_DATA) / name; }

    static void ExpectDefaults()
    {
        const core::AppSettings defaults;
        const auto& s = core::Settings();
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
        EXPECT_EQ(core::Options().StartView, core::RunOptions {}.StartView);
    }
};

TEST_F(SettingsStoreTest, TheFirstRunKeepsTheDefaultsAndTheFirstSaveWritesAllFourValues)
{
    core::LoadSettings();
    ExpectDefaults();
    EXPECT_FALSE(fs::exists(File())) << "loading never writes";

    core::SaveSettings();
    EXPECT_EQ(testing::ReadFileBytes(File()), testing::ReadFileBytes(DataFile("defaults.reg")));
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
        { "no switch", core::kViewNone, core::kViewDocuments, core::kViewEmail, core::kViewEmail },
        { "no switch, workbooks stored", core::kViewNone, core::kViewDocuments, core::kViewWorkbooks,
            core::kViewWorkbooks },
        { "/W after an e-mail run", kViewDocuments, kViewDocuments, kViewEmail, kViewDocuments },
        { "/X", kViewWorkbooks, kViewWorkbooks, kViewEmail, kViewWorkbooks },
        { "/I", kViewEmail, kViewEmail, kViewDocuments, kViewEmail },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        core::ResetAppSettings();
        core::ResetRunOptions();
        core::Settings().ViewMode = row.stored;
        core::SaveSettings();
        core::ResetAppSettings();
        core::Settings().ViewMode = row.viewMode;
        core::Options().StartView = row.startView;
        core::LoadSettings();
        EXPECT_EQ(core::Options().StartView, row.expected);
        EXPECT_EQ(Settings().ViewMode, row.viewMode);
    }
}

TEST_F(SettingsStoreTest, EmptyFilesOrFilesWithoutTheKeyKeepTheDefaults)
{
    for (const char* content : { "", "\r\n", "\xEF\xBB\xBF",
             "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\Software]\r\n" }) {
        SCOPED_TRACE(content);
        testing::WriteFileBytes(File(), content);
        core::ResetAppSettings();
        core::LoadSettings();
        ExpectDefaults();
    }
}

TEST_F(SettingsStoreTest, ADamagedFileKeepsTheDefaultsAndIsKeptAsideOnTheNextSave)
{
    const std::string damaged = std::string("Windows Registry Editor Version 5.00\r\n\r\n") + kKeyLine
        + "\r\n\"PrStore\"=hex:01,00,00,00,00,00,00,00,e8,03,\\\r\n  00,00,\"oops\r\n";
    testing::WriteFileBytes(File(), damaged);
    ::testing::internal::CaptureStderr();
    core::LoadSettings();
    ExpectDefaults();
    core::SaveSettings();
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
    core::Settings().QuickPrint = 1;
    core::SaveSettings();
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
            core::Settings().QuickPrint = quickPrint;
            core::SaveSettings();
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
} // namespace core
