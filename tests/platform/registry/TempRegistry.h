#pragma once

// A private registry file for one test: a fresh temporary directory, with
// TALLOWIN_REGISTRY pointing at registry.reg inside it.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
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

private:
    std::filesystem::path directory_;
};

void WriteFileBytes(const std::filesystem::path& path, std::string_view bytes);
std::string ReadFileBytes(const std::filesystem::path& path);

// UTF-16LE with a byte-order mark, as the platform's registry editor exports.
std::string Utf16LeWithBom(std::u16string_view text);

} // namespace platform::testing
