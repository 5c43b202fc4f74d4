#include "SettingsFixture.h"

namespace core::testing {

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
