#pragma once

// Each settings test starts from fresh settings and options and its own
// registry file in a temporary directory (TALLOWIN_REGISTRY).

#include "AppSettings.h"
#include "Registry.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace shell::testing {

class SettingsFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    std::filesystem::path Directory() const { return directory_; }
    std::filesystem::path File() const { return directory_ / "registry.reg"; }

    // The stored value, or nothing when the key or the value is missing.
    std::optional<std::vector<std::uint8_t>> StoredValue(const char16_t* name);
    platform::DWORD StoredType(const char16_t* name);
    void StoreValue(const char16_t* name, const std::vector<std::uint8_t>& data);

private:
    std::filesystem::path directory_;
};

// Bytes from hex digits; spaces are ignored.
std::vector<std::uint8_t> Hex(std::string_view digits);
std::vector<std::uint8_t> Zeros(std::size_t count);
std::vector<std::uint8_t> Join(std::initializer_list<std::vector<std::uint8_t>> parts);

std::string ReadFileBytes(const std::filesystem::path& path);
void WriteFileBytes(const std::filesystem::path& path, std::string_view bytes);

} // namespace shell::testing
