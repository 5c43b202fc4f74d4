#include "PrintSetup.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

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

struct LengthRow {
    const char* Margins;
    plotwise::Margins Expected;
};

TEST(PrintSetupTest, MarginsAreReadInAnyUnit)
{
    const LengthRow rows[] = {
        { "0.75", { 19050, 19050, 19050, 19050 } },
        { "1in, 2cm, 30mm, 72pt", { 25400, 20000, 30000, 25400 } },
        { "0,0,0,0", { 0, 0, 0, 0 } },
        { " 25.4 MM ", { 25400, 25400, 25400, 25400 } },
    };
    for (const LengthRow& row : rows) {
        PrintSetup setup;
        ASSERT_TRUE(ApplySetting(setup, "margins", row.Margins)) << row.Margins;
        EXPECT_EQ(setup.Margins.left, row.Expected.left) << row.Margins;
        EXPECT_EQ(setup.Margins.top, row.Expected.top) << row.Margins;
        EXPECT_EQ(setup.Margins.right, row.Expected.right) << row.Margins;
        EXPECT_EQ(setup.Margins.bottom, row.Expected.bottom) << row.Margins;
    }
}

struct DestinationRow {
    const char* Path;
    std::optional<DestinationKind> Kind;
};

TEST(PrintSetupTest, DestinationsAreKnownByTheirEnding)
{
    const DestinationRow rows[] = {
        { "out.pdf", DestinationKind::Pdf },
        { "/a/b/OUT.Pdf", DestinationKind::Pdf },
        { "out.ps", DestinationKind::PostScript },
        { "out.png", DestinationKind::Png },
        { "out.txt", DestinationKind::Recording },
        { "cups:Office", DestinationKind::Cups },
        { "cups:", std::nullopt },
        { ".pdf", std::nullopt },
        { "out.pdf.gz", std::nullopt },
        { "", std::nullopt },
    };
    for (const DestinationRow& row : rows)
        EXPECT_EQ(DestinationFromPath(row.Path), row.Kind) << row.Path;
}

struct ConversionRow {
    int32_t Micrometres;
    int32_t Dpi;
    int32_t Device;
    int32_t MilliInch;
    int32_t HundredthsOfMillimetre;
};

TEST(PrintSetupTest, LengthsConvertToTheNearestUnit)
{
    const ConversionRow rows[] = {
        { 210000, 600, 4961, 8268, 21000 },
        { 19050, 300, 225, 750, 1905 },
        { 10000, 600, 236, 394, 1000 },
        { 0, 600, 0, 0, 0 },
        { 25400, 2400, 2400, 1000, 2540 },
    };
    for (const ConversionRow& row : rows) {
        EXPECT_EQ(MicrometresToDevice(row.Micrometres, row.Dpi), row.Device) << row.Micrometres;
        EXPECT_EQ(MicrometresToMilliInch(row.Micrometres), row.MilliInch) << row.Micrometres;
        EXPECT_EQ(MicrometresToHundredthsOfMillimetre(row.Micrometres), row.HundredthsOfMillimetre) << row.Micrometres;
    }
}

} // namespace
