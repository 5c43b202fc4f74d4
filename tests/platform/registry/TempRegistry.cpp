#include "TempRegistry.h"

#include "Registry.h"

#include <cstdlib>
#include <fstream>
#include <iterator>

namespace platform::testing {

constexpr char16_t kKey[] = u"Software\\Apps\\Brackwater\\Tallowin";

void TempRegistry::SetUp()
{
    std::string pattern = (std::filesystem::path(::testing::TempDir()) / "tallowin-registry-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    directory_ = pattern;
    ::setenv("TALLOWIN_REGISTRY", File().c_str(), 1);
}

void TempRegistry::TearDown()
{
    ::unsetenv("TALLOWIN_REGISTRY");
    std::error_code error;
    std::filesystem::permissions(directory_, std::filesystem::perms::owner_all, error);
    std::filesystem::remove_all(directory_, error);
}

long TempRegistry::SaveValue(const char16_t* name, const std::vector<std::uint8_t>& data)
{
    HKEY key = nullptr;
    LONG status = RegCreateKeyExW(
        HKEY_LOCAL_MACHINE, kKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    if (status != ERROR_SUCCESS)
        return status;
    status = RegSetValueExW(key, name, 0, REG_BINARY, data.data(), static_cast<DWORD>(data.size()));
    const LONG closed = RegCloseKey(key);
    return status != ERROR_SUCCESS ? status : closed;
}

std::optional<std::vector<std::uint8_t>> TempRegistry::LoadValue(const char16_t* name)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return std::nullopt;
    DWORD size = 0;
    std::optional<std::vector<std::uint8_t>> data;
    if (RegQueryValueExW(key, name, nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS) {
        data.emplace(size, 0);
        if (RegQueryValueExW(key, name, nullptr, nullptr, data->data(), &size) != ERROR_SUCCESS)
            data.reset();
    }
    RegCloseKey(key);
    return data;
}

void WriteFileBytes(const std::filesystem::path& path, std::string_view bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadFileBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::string Utf16LeWithBom(std::u16string_view text)
{
    std::string bytes = "\xFF\xFE";
    for (char16_t unit : text) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    return bytes;
}

} // namespace platform::testing
