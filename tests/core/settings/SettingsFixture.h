#pragma once

// Each settings test starts from fresh settings and options and its own
// registry file in a temporary directory (TALLOWIN_REGISTRY).

#include "AppSettings.h"
#include "TempRegistry.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace core::testing {

using platform::testing::ReadFileBytes;
using platform::testing::WriteFileBytes;

class SettingsFixture : public platform::testing::TempRegistry {
protected:
    void SetUp() override;
    void TearDown() override;
};

// Bytes from hex digits; spaces are ignored.
std::vector<std::uint8_t> Hex(std::string_view digits);

} // namespace core::testing
