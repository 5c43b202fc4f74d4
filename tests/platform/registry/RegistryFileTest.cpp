#include "RegistryFile.h"
#include "Registry.h"

#include "RegistryText.h"
#include "ScopedEnvironment.h"
#include "TempRegistry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include <csignal>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace platform {
namespace {

namespace fs = std::filesystem;

constexpr char kKeyLine[] = "[HKEY_LOCAL_MACHINE\\Software\\Apps\\Brackwater\\Tallowin]";

class RegistryFileTest : public testing::TempRegistry {
protected:
    std::vector<std::string> Names() const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(Directory()))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
};

TEST_F(RegistryFileTest, ADamagedFileIsToldOnceAndASecondOneDoesNotReplaceTheFirstKept)
{
    const std::string damaged
        = std::string("Windows Registry Editor Version 5.00\r\n\r\n") + kKeyLine + "\r\n\"PrStore\"=hex:01,zz\r\n";
    testing::WriteFileBytes(File(), damaged);
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(LoadValue(u"PrStore"));
    EXPECT_FALSE(LoadValue(u"PrStore"));
    std::string told = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(told.find(File().string() + " is damaged (line 4: "), std::string::npos) << told;
    EXPECT_EQ(told.find("damaged"), told.rfind("damaged")) << "told once: " << told;
    EXPECT_EQ(testing::ReadFileBytes(File()), damaged) << "reading never changes the file";

    ::testing::internal::CaptureStderr();
    ASSERT_EQ(SaveValue(u"PrStore", { 7 }), ERROR_SUCCESS);
    EXPECT_NE(
        ::testing::internal::GetCapturedStderr().find("kept as " + File().string() + ".damaged"), std::string::npos);
    testing::WriteFileBytes(File(), "garbage");
    ::testing::internal::CaptureStderr();
    ASSERT_EQ(SaveValue(u"PrStore", { 8 }), ERROR_SUCCESS);
    ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(testing::ReadFileBytes(File().string() + ".damaged"), damaged);
    auto names = Names();
    ASSERT_EQ(names.size(), 4u);
    EXPECT_EQ(names[2].rfind("registry.reg.damaged-", 0), 0u) << names[2];
    EXPECT_EQ(testing::ReadFileBytes(Directory() / names[2]), "garbage");
    EXPECT_EQ(LoadValue(u"PrStore"), (std::vector<BYTE> { 8 }));
}

TEST_F(RegistryFileTest, AHugeFileIsDamagedAndNotReadIntoMemory)
{
    testing::WriteFileBytes(File(), "Windows Registry Editor Version 5.00\r\n");
    ASSERT_EQ(::truncate(File().c_str(), static_cast<off_t>(registry::kMaxFileBytes) + 4096), 0);
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(LoadValue(u"PrStore"));
    ASSERT_EQ(SaveValue(u"PrStore", { 1 }), ERROR_SUCCESS);
    std::string told = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(told.find("larger than 16 MiB"), std::string::npos) << told;
    EXPECT_EQ(fs::file_size(File().string() + ".damaged"), registry::kMaxFileBytes + 4096);
    EXPECT_EQ(LoadValue(u"PrStore"), (std::vector<BYTE> { 1 }));
}

// A save that would write the very bytes already in the file leaves the file
// alone (the same inode); any other save replaces it, even one whose values
// are the same but whose text differs.
TEST_F(RegistryFileTest, ASaveThatChangesNothingLeavesTheFileAloneAndAFileEditedByHandInUtf16IsRead)
{
    auto inode = [this] {
        struct stat status { };
        return ::stat(File().c_str(), &status) == 0 ? status.st_ino : 0;
    };
    ASSERT_EQ(SaveValue(u"PrStore", { 1 }), ERROR_SUCCESS);
    const auto first = inode();
    const std::string text = testing::ReadFileBytes(File());

    ASSERT_EQ(SaveValue(u"PrStore", { 1 }), ERROR_SUCCESS);
    const auto second = inode();
    EXPECT_EQ(second, first) << "the same value again";
    EXPECT_EQ(testing::ReadFileBytes(File()), text);

    ASSERT_EQ(SaveValue(u"PrStore", { 2 }), ERROR_SUCCESS);
    EXPECT_NE(inode(), second) << "a new value";
    EXPECT_EQ(LoadValue(u"PrStore"), (std::vector<BYTE> { 2 }));

    // The same values in the editor's UTF-16 text: the save writes UTF-8.
    std::u16string utf16(text.begin(), text.end());
    testing::WriteFileBytes(File(), testing::Utf16LeWithBom(utf16));
    ASSERT_EQ(SaveValue(u"PrStore", { 2 }), ERROR_SUCCESS);
    EXPECT_EQ(testing::ReadFileBytes(File()).rfind("Windows Registry Editor Version 5.00\r\n", 0), 0u);
    EXPECT_EQ(LoadValue(u"PrStore"), (std::vector<BYTE> { 2 }));

    // A file edited by hand in UTF-16 is read.
    testing::WriteFileBytes(File(),
        testing::Utf16LeWithBom(u"Windows Registry Editor Version 5.00\n[hkey_local_machine\\software\\apps\\"
                                u"brackwater\\tallowin]\n\"PrExcel\"=hex:01,\\\n  02\n\"Face\"=\"Gr\u00FC\u00DFe\"\n"));
    EXPECT_EQ(LoadValue(u"PrExcel"), (std::vector<BYTE> { 1, 2 }));
    EXPECT_EQ(LoadValue(u"Face"), (std::vector<BYTE> { 'G', 0, 'r', 0, 0xFC, 0, 0xDF, 0, 'e', 0, 0, 0 }));
}

TEST_F(RegistryFileTest, ALinkedFileStaysALinkAndTheFileLivesInTheConfigurationFolder)
{
    // A link to a file, and a dangling link whose target the first save
    // creates: both stay links, and the target gets the text.
    for (bool dangling : { false, true }) {
        SCOPED_TRACE(dangling ? "dangling" : "to a file");
        fs::path real = Directory() / (dangling ? "later.reg" : "real.reg");
        if (!dangling)
            testing::WriteFileBytes(real, "");
        fs::remove(File());
        fs::create_symlink(real, File());
        ASSERT_EQ(SaveValue(u"PrStore", { 7 }), ERROR_SUCCESS);
        EXPECT_TRUE(fs::is_symlink(File()));
        EXPECT_NE(testing::ReadFileBytes(real).find("\"PrStore\"=hex:07"), std::string::npos);
    }

    // Without a file named, the file lives in the configuration folder.
    ScopedEnvironment environment;
    environment.Unset("TALLOWIN_REGISTRY");
    environment.Set("XDG_CONFIG_HOME", (Directory() / "xdg").c_str());
    EXPECT_EQ(registry::RegistryFilePath(), Directory() / "xdg" / "tallowin" / "registry.reg");
    ASSERT_EQ(SaveValue(u"PrStore", { 6 }), ERROR_SUCCESS);
    EXPECT_TRUE(fs::is_regular_file(Directory() / "xdg" / "tallowin" / "registry.reg"));

    environment.Unset("XDG_CONFIG_HOME");
    environment.Set("HOME", (Directory() / "home").c_str());
    EXPECT_EQ(registry::RegistryFilePath(), Directory() / "home" / ".config" / "tallowin" / "registry.reg");
    environment.Set("TALLOWIN_REGISTRY", "/elsewhere/r.reg");
    EXPECT_EQ(registry::RegistryFilePath(), fs::path("/elsewhere/r.reg"));
}

TEST_F(RegistryFileTest, AFileThatCannotBeReadIsNeverReplaced)
{
    fs::create_directory(File());
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(SaveValue(u"PrStore", { 1 }), ERROR_WRITE_FAULT) << "the value is set, the close cannot write it";
    EXPECT_TRUE(fs::is_directory(File()));
    EXPECT_FALSE(LoadValue(u"PrStore"));
    std::string told = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(told.find(File().string() + " cannot be read (Is a directory)"), std::string::npos) << told;
    EXPECT_NE(told.find("the settings cannot be saved in " + File().string()), std::string::npos) << told;
    auto names = Names();
    EXPECT_EQ(names, (std::vector<std::string> { "registry.reg", "registry.reg.lock" })) << "no temporary file is left";
}

TEST_F(RegistryFileTest, AnUnwritableFolderFailsTheSaveAndKeepsTheOldFile)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "permissions do not bind the super-user";
    ASSERT_EQ(SaveValue(u"PrStore", { 1 }), ERROR_SUCCESS);
    auto before = testing::ReadFileBytes(File());
    fs::permissions(Directory(), fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_EQ(SaveValue(u"PrStore", { 2 }), ERROR_WRITE_FAULT);
    fs::permissions(Directory(), fs::perms::owner_all);
    EXPECT_EQ(testing::ReadFileBytes(File()), before);
    EXPECT_EQ(LoadValue(u"PrStore"), (std::vector<BYTE> { 1 }));
}

constexpr int kSavesPerWriter = 40;

std::u16string ValueName(char16_t prefix, int number)
{
    std::u16string name(1, prefix);
    for (char c : std::to_string(number))
        name += static_cast<char16_t>(c);
    return name;
}

// Saves kSavesPerWriter values named prefix + number, each in its own
// create, set and close, as separate runs of the program would.
bool WriteMany(char16_t prefix)
{
    for (int i = 0; i < kSavesPerWriter; ++i) {
        if (testing::TempRegistry::SaveValue(
                ValueName(prefix, i).c_str(), { static_cast<BYTE>(prefix), static_cast<BYTE>(i) })
            != ERROR_SUCCESS)
            return false;
    }
    return true;
}

using RegistryConcurrencyTest = RegistryFileTest;

TEST_F(RegistryConcurrencyTest, TwoThreadsLoseNothingAndAWriterKilledMidSaveNeverLeavesHalfAFile)
{
    bool ok[2] = {};
    std::thread first([&] { ok[0] = WriteMany(u'C'); });
    std::thread second([&] { ok[1] = WriteMany(u'D'); });
    first.join();
    second.join();
    EXPECT_TRUE(ok[0] && ok[1]);
    const auto image = registry::ReadRegistryFile(File());
    const auto* key = registry::FindKey(image.Data, u"HKEY_LOCAL_MACHINE\\Software\\Apps\\Brackwater\\Tallowin");
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->Values.size(), 2u * kSavesPerWriter);
    for (char16_t prefix : { u'C', u'D' }) {
        for (int i = 0; i < kSavesPerWriter; ++i) {
            const auto* value = registry::FindValue(*key, ValueName(prefix, i));
            ASSERT_NE(value, nullptr) << "lost value " << static_cast<char>(prefix) << i;
            EXPECT_EQ(value->Data, (std::vector<BYTE> { static_cast<BYTE>(prefix), static_cast<BYTE>(i) }));
        }
    }

    // A writer killed mid-save never leaves half a file.
    for (int round = 0; round < 5; ++round) {
        pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            // Large values make each save long enough to be cut off.
            std::vector<BYTE> data(200000, static_cast<BYTE>(round));
            for (DWORD i = 0;; ++i) {
                data[0] = static_cast<BYTE>(i);
                SaveValue(u"Big", data);
            }
        }
        ::usleep(30000 + 17000 * round);
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);

        auto image = registry::ReadRegistryFile(File());
        EXPECT_NE(image.State, registry::FileState::Damaged) << "round " << round;
        EXPECT_NE(image.State, registry::FileState::Unreadable) << "round " << round;

        // A save cut off here leaves a temporary file, which the next save removes.
        ASSERT_EQ(SaveValue(u"After", { static_cast<BYTE>(round) }), ERROR_SUCCESS);
        EXPECT_EQ(Names(), (std::vector<std::string> { "registry.reg", "registry.reg.lock" })) << "round " << round;
    }
}

} // namespace
} // namespace platform
