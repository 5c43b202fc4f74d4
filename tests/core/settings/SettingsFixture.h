#pragma once

// Each settings test starts from fresh settings and options and its own
// registry file in a temporary directory (TALLOWIN_REGISTRY).

#include "AppSettings.h"
#include "TempRegistry.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
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
