#include "PrintSetup.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace plotwise;

namespace {

TEST(PrintSetupTest, SettingsAreAcceptedOnlyWhenReadable)
{
    // Key, value, whether the value is accepted.
    const std::tuple<const char*, const char*, bool> rows[] = {
        { "dpi", "300", true },
        { "dpi", "10", true },
        { "dpi", "2400", true },
        { "dpi", "9", false },
        { "dpi", "2401", false },
        { "dpi", "", false },
        { "dpi", "300dpi", false },
        { "paper", "A4", true },
        { "paper", "8.5x14in", true },
        { "paper", "100x", false },
        { "paper", "0.5x0.5in", false },
        { "paper", "napkin", false },
        { "margins", "0.75", true },
        { "margins", "1in,2in", false },
        { "margins", "-1in", false },
        { "margins", "", false },
        { "output", "/tmp/x.pdf", true },
        { "output", "/tmp/x.doc", false },
        { "output", "/a/b/OUT.Ps", true }, // the ending in any case
        { "output", "/tmp/.pdf", false }, // an ending alone names no file
        { "output", "/tmp/x.pdf.gz", false },
        { "output", "cups:", false },
        { "output", "cups:Office", true },
        { "output_dir", "/tmp/prints", true },
        { "output_dir", "", false },
        { "colour", "red", false },
    };
    for (const auto& [key, value, accepted] : rows) {
        PrintSetup setup;
        EXPECT_EQ(ApplySetting(setup, key, value), accepted) << key << "=" << value;
    }
}

} // namespace
