#pragma once

// Each settings test starts from fresh settings and options and its own
// registry file in a temporary directory (TALLOWIN_REGISTRY).

#include "AppSettings.h"
#include "TempRegistry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

namespace core::testing {

using platform::testing::ReadFileBytes;
using platform::testing::WriteFileBytes;

class SettingsFixture : public platform::testing::TempRegistry {
protected:
    void SetUp() override
    {
        TempRegistry::SetUp();
        core::ResetAppSettings();
        core::ResetRunOptions();
    }
    void TearDown() override
    {
        core::ResetAppSettings();
        core::ResetRunOptions();
        TempRegistry::TearDown();
    }
};

// One stored integer field and how to reach it in memory.
struct FieldRow {
    std::int64_t sample;
    void (*set)(core::AppSettings&, std::int64_t);
    std::int64_t (*get)(const core::AppSettings&);
};

template <auto Member> FieldRow Field(std::int64_t sample)
{
    using Type = std::remove_reference_t<decltype(std::declval<core::AppSettings&>().*Member)>;
    return FieldRow { sample, [](core::AppSettings& s, std::int64_t v) { s.*Member = static_cast<Type>(v); },
        [](const core::AppSettings& s) { return static_cast<std::int64_t>(s.*Member); } };
}

// Bytes from hex digits; spaces are ignored.
inline std::vector<std::uint8_t> Hex(std::string_view digits)
{
    std::string packed;
    std::copy_if(digits.begin(), digits.end(), std::back_inserter(packed), [](char c) { return c != ' '; });
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i + 1 < packed.size(); i += 2)
        bytes.push_back(static_cast<std::uint8_t>(std::stoi(packed.substr(i, 2), nullptr, 16)));
    return bytes;
}

} // namespace core::testing
