#include "Registry.h"

#include "RegistryText.h"
#include "TempRegistry.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <vector>

namespace platform {
namespace {

constexpr char16_t kKey[] = u"Software\\Apps\\Brackwater\\Tallowin";

class RegistryTest : public testing::TempRegistry {
protected:
    HKEY Create(const char16_t* subKey = kKey, DWORD* disposition = nullptr)
    {
        HKEY key = nullptr;
        EXPECT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, subKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                      nullptr, &key, disposition),
            ERROR_SUCCESS);
        return key;
    }

    // What the file holds now, as another process would read it.
    registry::RegistryData FileData()
    {
        auto text = testing::ReadFileBytes(File());
        auto result = registry::ParseRegistryText({ reinterpret_cast<const std::uint8_t*>(text.data()), text.size() });
        EXPECT_FALSE(result.Damaged) << result.Reason;
        return result.Data;
    }
};

TEST_F(RegistryTest, KeysAreWrittenAtCloseAndOpenedWithoutRegardToCaseAndBadCallsAreRefused)
{
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(std::filesystem::exists(File()));

    DWORD disposition = 0;
    key = Create(kKey, &disposition);
    EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_NE(registry::FindKey(FileData(), u"HKEY_LOCAL_MACHINE\\Software\\Apps\\Brackwater\\Tallowin"), nullptr);
    key = Create(kKey, &disposition);
    EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);

    HKEY parent = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"software\\APPS", 0, KEY_READ, &parent), ERROR_SUCCESS);
    HKEY child = nullptr;
    EXPECT_EQ(RegOpenKeyExW(parent, u"Brackwater\\Tallowin\\", 0, KEY_READ, &child), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(child), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(parent), ERROR_SUCCESS);

    // Bad calls are refused.
    EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"Software\\\\Apps", 0, KEY_READ, &key), ERROR_BAD_PATHNAME);
    EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"\\Software", 0, KEY_READ, &key), ERROR_BAD_PATHNAME);
    EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"Soft]ware", 0, KEY_READ, &key), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"Soft\nware", 0, KEY_READ, &key), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, KEY_READ, nullptr), ERROR_INVALID_PARAMETER);

    HKEY writable = Create();
    std::vector<BYTE> tooLarge(registry::kMaxValueBytes + 1, 0);
    EXPECT_EQ(
        RegSetValueExW(writable, u"Big", 0, REG_BINARY, tooLarge.data(), tooLarge.size()), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegSetValueExW(writable, u"Two\nlines", 0, REG_BINARY, tooLarge.data(), 1), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegSetValueExW(writable, u"Null", 0, REG_BINARY, nullptr, 4), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegCloseKey(writable), ERROR_SUCCESS);

    HKEY readOnly = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, KEY_READ, &readOnly), ERROR_SUCCESS);
    const BYTE byte = 1;
    EXPECT_EQ(RegSetValueExW(readOnly, u"X", 0, REG_BINARY, &byte, 1), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegCloseKey(readOnly), ERROR_SUCCESS);

    EXPECT_EQ(RegCloseKey(readOnly), ERROR_INVALID_HANDLE);
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueExW(readOnly, u"X", nullptr, nullptr, nullptr, &size), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegSetValueExW(readOnly, u"X", 0, REG_BINARY, &byte, 1), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegOpenKeyExW(readOnly, u"Sub", 0, KEY_READ, &key), ERROR_INVALID_HANDLE);
}

TEST_F(RegistryTest, EveryTypeSurvivesTheFileAndQueriesFollowTheSizeContract)
{
    struct Row {
        const char16_t* name;
        DWORD type;
        std::vector<BYTE> data;
    };
    const Row rows[] = {
        { u"Binary", REG_BINARY, { 0, 1, 0xFF } },
        { u"Dword", REG_DWORD, { 1, 0, 0, 0 } },
        { u"String", REG_SZ, { 'O', 0, 'k', 0, 0, 0 } },
        { u"Multi", REG_MULTI_SZ, { 'a', 0, 0, 0, 'b', 0, 0, 0, 0, 0 } },
        { u"", REG_SZ, { 'd', 0, 0, 0 } },
        { u"V", REG_BINARY, { 1, 2, 3, 4, 5 } },
    };
    HKEY writer = Create();
    for (const auto& row : rows)
        ASSERT_EQ(RegSetValueExW(writer, row.name, 0, row.type, row.data.data(), row.data.size()), ERROR_SUCCESS);
    // Another handle sees the values at once; the file gets them at the close.
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, KEY_READ, &key), ERROR_SUCCESS);
    for (const auto& row : rows) {
        std::vector<BYTE> read(16, 0);
        DWORD size = read.size();
        DWORD type = 0;
        ASSERT_EQ(RegQueryValueExW(key, row.name, nullptr, &type, read.data(), &size), ERROR_SUCCESS);
        read.resize(size);
        EXPECT_EQ(type, row.type);
        EXPECT_EQ(read, row.data);
    }
    // A query follows the size contract, and names ignore case.
    struct QueryRow {
        const char* what;
        bool withBuffer;
        DWORD bufferSize;
        LONG status;
        DWORD sizeAfter;
        bool copied;
    };
    const QueryRow queries[] = {
        { "size only", false, 0, ERROR_SUCCESS, 5, false },
        { "exact buffer", true, 5, ERROR_SUCCESS, 5, true },
        { "one byte short", true, 4, ERROR_MORE_DATA, 5, false },
    };
    for (const auto& query : queries) {
        SCOPED_TRACE(query.what);
        std::array<BYTE, 8> buffer {};
        buffer.fill(0xCC);
        std::array<BYTE, 8> expected = buffer;
        if (query.copied)
            std::copy(rows[5].data.begin(), rows[5].data.end(), expected.begin());
        DWORD size = query.bufferSize;
        DWORD type = 0;
        EXPECT_EQ(RegQueryValueExW(key, u"v", nullptr, &type, query.withBuffer ? buffer.data() : nullptr, &size),
            query.status);
        EXPECT_EQ(size, query.sizeAfter);
        EXPECT_EQ(type, REG_BINARY);
        EXPECT_EQ(buffer, expected);
    }
    DWORD type = 77;
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueExW(key, u"Missing", nullptr, &type, nullptr, &size), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(type, 77u);
    EXPECT_EQ(RegQueryValueExW(key, u"V", nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
    BYTE byte = 0;
    EXPECT_EQ(RegQueryValueExW(key, u"V", nullptr, nullptr, &byte, nullptr), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    const std::u16string path = u"HKEY_LOCAL_MACHINE\\Software\\Apps\\Brackwater\\Tallowin";
    const registry::RegistryData before = FileData();
    EXPECT_TRUE(registry::FindKey(before, path) == nullptr || registry::FindKey(before, path)->Values.empty());
    ASSERT_EQ(RegCloseKey(writer), ERROR_SUCCESS);
    const registry::RegistryData after = FileData();
    ASSERT_NE(registry::FindKey(after, path), nullptr);
    for (const auto& row : rows) {
        const auto* value = registry::FindValue(*registry::FindKey(after, path), row.name);
        ASSERT_NE(value, nullptr);
        EXPECT_EQ(value->Type, row.type);
        EXPECT_EQ(value->Data, row.data);
    }
}

} // namespace
} // namespace platform
