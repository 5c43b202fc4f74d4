#include "SettingsFixture.h"

namespace core::testing {
namespace {

constexpr char16_t kKey[] = u"Software\\Apps\\Brackwater\\Tallowin";

} // namespace

void SettingsFixture::SetUp()
{
    TempRegistry::SetUp();
    core::ResetAppSettings();
    core::ResetRunOptions();
}

void SettingsFixture::TearDown()
{
    core::ResetAppSettings();
    core::ResetRunOptions();
    TempRegistry::TearDown();
}

std::optional<std::vector<std::uint8_t>> SettingsFixture::StoredValue(const char16_t* name)
{
    platform::HKEY key = nullptr;
    if (platform::RegOpenKeyExW(platform::HKEY_LOCAL_MACHINE, kKey, 0, platform::KEY_READ, &key)
        != platform::ERROR_SUCCESS)
        return std::nullopt;
    platform::DWORD size = 0;
    std::optional<std::vector<std::uint8_t>> data;
    if (platform::RegQueryValueExW(key, name, nullptr, nullptr, nullptr, &size) == platform::ERROR_SUCCESS) {
        data.emplace(size, 0);
        if (platform::RegQueryValueExW(key, name, nullptr, nullptr, data->data(), &size) != platform::ERROR_SUCCESS)
            data.reset();
    }
    platform::RegCloseKey(key);
    return data;
}

void SettingsFixture::StoreValue(const char16_t* name, const std::vector<std::uint8_t>& data)
{
    platform::HKEY key = nullptr;
    ASSERT_EQ(platform::RegCreateKeyExW(
                  platform::HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, platform::KEY_ALL_ACCESS, nullptr, &key, nullptr),
        platform::ERROR_SUCCESS);
    ASSERT_EQ(platform::RegSetValueExW(
                  key, name, 0, platform::REG_BINARY, data.data(), static_cast<platform::DWORD>(data.size())),
        platform::ERROR_SUCCESS);
    ASSERT_EQ(platform::RegCloseKey(key), platform::ERROR_SUCCESS);
}

std::vector<std::uint8_t> Hex(std::string_view digits)
{
    std::vector<std::uint8_t> bytes;
    int pending = -1;
    for (char c : digits) {
        int value = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
        if (value < 0)
            continue;
        if (pending < 0) {
            pending = value;
        } else {
            bytes.push_back(static_cast<std::uint8_t>(pending * 16 + value));
            pending = -1;
        }
    }
    return bytes;
}

} // namespace core::testing
