#include "Registry.h"
#include "RegistryFile.h"
#include "RegistryText.h"

#include "TempRegistry.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include <csignal>
#include <filesystem>

#include <sys/wait.h>
#include <unistd.h>

namespace platform {
namespace {

constexpr char16_t kKey[] = u"Software\\Apps\\Brackwater\\Tallowin";
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
        HKEY key = nullptr;
        if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr)
            != ERROR_SUCCESS)
            return false;
        const BYTE data[2] = { static_cast<BYTE>(prefix), static_cast<BYTE>(i) };
        bool ok = RegSetValueExW(key, ValueName(prefix, i).c_str(), 0, REG_BINARY, data, sizeof data) == ERROR_SUCCESS;
        ok = RegCloseKey(key) == ERROR_SUCCESS && ok;
        if (!ok)
            return false;
    }
    return true;
}

class RegistryConcurrencyTest : public testing::TempRegistry {
protected:
    void ExpectAllValues(const std::vector<char16_t>& prefixes)
    {
        auto text = testing::ReadFileBytes(File());
        auto parsed = registry::ParseRegistryText({ reinterpret_cast<const std::uint8_t*>(text.data()), text.size() });
        ASSERT_FALSE(parsed.Damaged) << parsed.Reason;
        const auto* key = registry::FindKey(parsed.Data, u"HKEY_LOCAL_MACHINE\\Software\\Apps\\Brackwater\\Tallowin");
        ASSERT_NE(key, nullptr);
        EXPECT_EQ(key->Values.size(), prefixes.size() * kSavesPerWriter);
        for (char16_t prefix : prefixes) {
            for (int i = 0; i < kSavesPerWriter; ++i) {
                const auto* value = registry::FindValue(*key, ValueName(prefix, i));
                ASSERT_NE(value, nullptr) << "lost value " << static_cast<char>(prefix) << i;
                EXPECT_EQ(value->Data,
                    (std::vector<std::uint8_t> { static_cast<std::uint8_t>(prefix), static_cast<std::uint8_t>(i) }));
            }
        }
    }
};

TEST_F(RegistryConcurrencyTest, TwoThreadsWithTheirOwnHandlesLoseNothing)
{
    const std::vector<char16_t> prefixes { u'C', u'D' };
    bool okC = false;
    bool okD = false;
    std::thread first([&] { okC = WriteMany(u'C'); });
    std::thread second([&] { okD = WriteMany(u'D'); });
    first.join();
    second.join();
    EXPECT_TRUE(okC);
    EXPECT_TRUE(okD);
    ExpectAllValues(prefixes);
}

TEST_F(RegistryConcurrencyTest, AWriterKilledMidSaveNeverLeavesHalfAFile)
{
    for (int round = 0; round < 5; ++round) {
        pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            // Large values make each save long enough to be cut off.
            std::vector<BYTE> data(200000, static_cast<BYTE>(round));
            for (DWORD i = 0;; ++i) {
                HKEY key = nullptr;
                if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr)
                    != ERROR_SUCCESS)
                    ::_exit(1);
                data[0] = static_cast<BYTE>(i);
                RegSetValueExW(key, u"Big", 0, REG_BINARY, data.data(), data.size());
                RegCloseKey(key);
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
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
        const BYTE mark = static_cast<BYTE>(round);
        ASSERT_EQ(RegSetValueExW(key, u"After", 0, REG_BINARY, &mark, 1), ERROR_SUCCESS);
        ASSERT_EQ(RegCloseKey(key), ERROR_SUCCESS);
        for (const auto& entry : std::filesystem::directory_iterator(Directory())) {
            auto name = entry.path().filename().string();
            EXPECT_TRUE(name == "registry.reg" || name == "registry.reg.lock") << "left behind: " << name;
        }
    }
}

} // namespace
} // namespace platform
