// The settings store: loading, saving and keeping what it does not own; and
// several running copies sharing one settings file: each keeps what the
// others saved, and a copy stuck holding the lock does not stop the rest.

#include "SettingsStore.h"
#include "SettingsFixture.h"

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

#include <fcntl.h>
#include <signal.h>
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
        EXPECT_EQ(s.TextFontSize, defaults.TextFontSize);
        EXPECT_EQ(std::u16string(s.TextFontFace), std::u16string(defaults.TextFontFace));
        EXPECT_EQ(s.MailHeaderFontSize, defaults.MailHeaderFontSize);
        EXPECT_EQ(s.SheetCustomPercent, defaults.SheetCustomPercent);
        EXPECT_TRUE(s.MapiBlob.empty());
        EXPECT_EQ(core::Options().StartView, core::RunOptions {}.StartView);
    }
};

TEST_F(SettingsStoreTest, TheStoredViewIsUsedUnlessTheCommandLineChoseOne)
{
    const struct {
        const char* what;
        std::int32_t viewMode; // as the command line left it
        std::int32_t startView;
        std::int32_t stored;
        std::int32_t expected;
    } rows[] = {
        { "no switch", core::kViewNone, core::kViewDocuments, core::kViewEmail, core::kViewEmail },
        { "/W after an e-mail run", kViewDocuments, kViewDocuments, kViewEmail, kViewDocuments },
        { "/X", kViewWorkbooks, kViewWorkbooks, kViewEmail, kViewWorkbooks },
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

// No file, or an empty, damaged or keyless one: loading keeps the defaults
// and never writes. The next save writes the defaults as the first save
// does, keeping a damaged file aside.
TEST_F(SettingsStoreTest, MissingEmptyDamagedOrKeylessFilesKeepTheDefaults)
{
    const std::string damaged = std::string("Windows Registry Editor Version 5.00\r\n\r\n") + kKeyLine
        + "\r\n\"PrStore\"=hex:01,00,00,00,00,00,00,00,e8,03,\\\r\n  00,00,\"oops\r\n";
    const std::optional<std::string> contents[] = { std::nullopt, std::string(), damaged,
        std::string("Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\Software]\r\n") };
    for (const std::optional<std::string>& content : contents) {
        SCOPED_TRACE(content.value_or("no file"));
        if (content)
            testing::WriteFileBytes(File(), *content);
        core::ResetAppSettings();
        ::testing::internal::CaptureStderr();
        core::LoadSettings();
        ExpectDefaults();
        EXPECT_EQ(fs::exists(File()), content.has_value()) << "loading never writes";
        if (!content || content == damaged) {
            core::SaveSettings();
            if (content) {
                EXPECT_EQ(testing::ReadFileBytes(File().string() + ".damaged"), damaged);
            }
            EXPECT_EQ(testing::ReadFileBytes(File()), testing::ReadFileBytes(DataFile("defaults.reg")));
        }
        ::testing::internal::GetCapturedStderr();
    }
}

TEST_F(SettingsStoreTest, ASaveKeepsKeysAndValuesItDoesNotOwn)
{
    const std::string other
        = "[HKEY_LOCAL_MACHINE\\Software\\Apps\\Brackwater\\Other]\r\n\"Setting\"=dword:00000001\r\n";
    testing::WriteFileBytes(File(),
        "Windows Registry Editor Version 5.00\r\n\r\n" + other + "\r\n" + kKeyLine
            + "\r\n\"Extra\"=\"keep me\"\r\n\r\n");
    core::Settings().QuickPrint = 1;
    core::SaveSettings();
    auto text = testing::ReadFileBytes(File());
    EXPECT_NE(text.find(other), std::string::npos) << text;
    EXPECT_NE(text.find(std::string(kKeyLine) + "\r\n\"Extra\"=\"keep me\"\r\n\"PrStore\"=hex:01,"), std::string::npos)
        << text;
}

class SettingsSharingTest : public testing::SettingsFixture { };

// Runs body in a child process and gives its exit status (-1: it died).
pid_t Spawn(const std::function<int()>& body)
{
    pid_t child = ::fork();
    if (child == 0)
        ::_exit(body());
    return child;
}

int Wait(pid_t child)
{
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

TEST_F(SettingsSharingTest, CopiesSavingTheirOwnFieldsAtOnceLoseNoChange)
{
    // Two of the fields share a record, so the merge must work field by
    // field, not value by value. Each copy's values count up from the sample.
    using testing::Field;
    const std::array fields { Field<&AppSettings::SheetGridlines>(3000), Field<&AppSettings::SheetCustomPercent>(25),
        Field<&AppSettings::TextFontSize>(1000), Field<&AppSettings::MailBodyFontSize>(2000) };
    constexpr int kRounds = 200;
    // Each round is a new copy: it reads the file, finds its field as it
    // left it, changes it and saves.
    auto copy = [&](const testing::FieldRow& field) {
        int lost = 0;
        for (int round = 0; round < kRounds; ++round) {
            pid_t run = Spawn([&] {
                ResetAppSettings();
                ResetRunOptions();
                LoadSettings();
                bool kept = round == 0 || field.get(Settings()) == field.sample + round - 1;
                field.set(Settings(), field.sample + round);
                SaveSettings();
                return kept ? 0 : 1;
            });
            lost += Wait(run) != 0;
        }
        return lost;
    };
    std::array<pid_t, fields.size()> copies {};
    for (std::size_t i = 0; i < fields.size(); ++i)
        copies[i] = Spawn([&, i] { return copy(fields[i]) == 0 ? 0 : 1; });
    for (std::size_t i = 0; i < fields.size(); ++i)
        EXPECT_EQ(Wait(copies[i]), 0) << "field " << i << " lost a change to another copy";

    ResetAppSettings();
    LoadSettings();
    for (const testing::FieldRow& field : fields)
        EXPECT_EQ(field.get(Settings()), field.sample + kRounds - 1);
}

TEST_F(SettingsSharingTest, ALongRunDoesNotRevertWhatAnotherCopySavedMeanwhile)
{
    LoadSettings(); // the long run starts
    Settings().QuickPrint = 1;
    ASSERT_EQ(Wait(Spawn([] {
        ResetAppSettings();
        LoadSettings();
        Settings().SheetHeadings = 0;
        SaveSettings();
        return 0;
    })),
        0);
    SaveSettings(); // the long run ends
    EXPECT_EQ(Settings().SheetHeadings, 0) << "memory takes what the other copy saved";
    ResetAppSettings();
    LoadSettings();
    EXPECT_EQ(Settings().SheetHeadings, 0);
    EXPECT_EQ(Settings().QuickPrint, 1);
}

TEST_F(SettingsSharingTest, AHeldLockIsWaitedForOnlySoLongAndAStaleOneNotAtAll)
{
    Settings().TextFontSize = 20;
    SaveSettings();
    const auto before = testing::ReadFileBytes(File());
    const std::string lockPath = File().string() + ".lock";
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    pid_t holder = Spawn([&] {
        int fd = ::open(lockPath.c_str(), O_RDWR | O_CREAT, 0600);
        struct flock whole { };
        whole.l_type = F_WRLCK;
        whole.l_whence = SEEK_SET;
        if (fd < 0 || ::fcntl(fd, F_SETLKW, &whole) != 0)
            return 1;
        char byte = 1;
        if (::write(ready[1], &byte, 1) != 1)
            return 1;
        ::pause(); // stopped mid-save, like a copy suspended with Ctrl-Z
        return 0;
    });
    char byte = 0;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1);

    ::setenv("TALLOWIN_LOCK_TIMEOUT", "0.3", 1);
    Settings().TextFontSize = 30;
    ::testing::internal::CaptureStderr();
    auto start = std::chrono::steady_clock::now();
    SaveSettings();
    auto waited = std::chrono::steady_clock::now() - start;
    std::string told = ::testing::internal::GetCapturedStderr();
    EXPECT_LT(waited, std::chrono::seconds(3)) << "the wait is bounded";
    EXPECT_NE(told.find(lockPath), std::string::npos) << told;
    EXPECT_NE(told.find("process " + std::to_string(holder)), std::string::npos) << told;
    EXPECT_EQ(testing::ReadFileBytes(File()), before) << "nothing is written without the lock";
    EXPECT_EQ(Settings().TextFontSize, 30) << "the option still holds in memory";

    ::kill(holder, SIGKILL);
    Wait(holder);
    ::close(ready[0]);
    ::close(ready[1]);
    ::setenv("TALLOWIN_LOCK_TIMEOUT", "30", 1);
    start = std::chrono::steady_clock::now();
    SaveSettings();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10)) << "a dead holder never blocks";
    ::unsetenv("TALLOWIN_LOCK_TIMEOUT");
    ResetAppSettings();
    LoadSettings();
    EXPECT_EQ(Settings().TextFontSize, 30) << "the edit is saved once the lock is free";
}

} // namespace
} // namespace core
