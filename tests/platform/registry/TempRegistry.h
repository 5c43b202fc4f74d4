#pragma once

// A private registry file for one test: a fresh temporary directory, with
// TALLOWIN_REGISTRY pointing at registry.reg inside it.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform::testing {

class TempRegistry : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    std::filesystem::path Directory() const { return directory_; }
    std::filesystem::path File() const { return directory_ / "registry.reg"; }

public:
    // One save of a binary value of the program's key as the settings writer
    // does it: create, set, close. The first status that is not a success.
    static long SaveValue(const char16_t* name, const std::vector<std::uint8_t>& data);
    // The value as a fresh open reads it; nothing when the key or the value
    // is missing.
    static std::optional<std::vector<std::uint8_t>> LoadValue(const char16_t* name);

private:
    std::filesystem::path directory_;
};

void WriteFileBytes(const std::filesystem::path& path, std::string_view bytes);
std::string ReadFileBytes(const std::filesystem::path& path);

// UTF-16LE with a byte-order mark, as the platform's registry editor exports.
std::string Utf16LeWithBom(std::u16string_view text);

} // namespace platform::testing
