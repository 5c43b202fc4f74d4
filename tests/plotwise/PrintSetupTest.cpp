#include "PrintSetup.h"

#include <gtest/gtest.h>

using namespace plotwise;

namespace {

struct SettingRow {
    const char* Key;
    const char* Value;
    bool Accepted;
};

TEST(PrintSetupTest, SettingsAreAcceptedOnlyWhenReadable)
{
    const SettingRow rows[] = {
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
    for (const SettingRow& row : rows) {
        PrintSetup setup;
        EXPECT_EQ(ApplySetting(setup, row.Key, row.Value), row.Accepted) << row.Key << "=" << row.Value;
    }
}

} // namespace
