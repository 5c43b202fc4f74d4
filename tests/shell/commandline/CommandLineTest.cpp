#include "CommandLine.h"

#include "AppSettings.h"
#include "ProgramRun.h"
#include "SettingsStore.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>

namespace shell {
namespace {

// Every test runs on its own settings file, so nothing outside the test is
// read or written.
class CommandLineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("TALLOWIN_REGISTRY", registry_.c_str(), 1);
        StartRow();
    }
    void TearDown() override
    {
        core::ResetAppSettings();
        core::ResetRunOptions();
    }

    // Stores headings off and forgets them in memory, so a later look at
    // SheetHeadings tells whether the settings were read.
    void StoreHeadingsOff()
    {
        core::Settings().SheetHeadings = 0;
        core::SaveSettings();
        core::ResetAppSettings();
    }
    bool SettingsWereRead() const { return core::Settings().SheetHeadings == 0; }

    // A row of a table starts from nothing stored and nothing set.
    void StartRow()
    {
        std::filesystem::remove(registry_);
        core::ResetAppSettings();
        core::ResetRunOptions();
    }

    testsupport::TempFolder directory_;
    const std::filesystem::path registry_ = directory_ / "registry.reg";
};

constexpr std::int32_t kDocs = core::kViewDocuments;
constexpr std::int32_t kBooks = core::kViewWorkbooks;
constexpr std::int32_t kMail = core::kViewEmail;
constexpr std::int32_t kNone = core::kViewNone;

// The file, the views and the one-shot flags a command line sets.
struct FileRow {
    const char16_t* commandLine;
    std::optional<std::u16string> file;
    std::int32_t startView;
    std::int32_t viewMode;
    std::int32_t exitCodeMode, quickPrintOnce, plainTextOnce, skipSheetDialog, sheetOptionsFromCommandLine;
};

TEST_F(CommandLineTest, FileNamesViewsAndOneShotFlags)
{
    const FileRow rows[] = {
        { u"/F \"\\My Documents\\a b.txt\" /Q/E", u"\\My Documents\\a b.txt", kDocs, kDocs, 1, 1, 0, 0, 0 },
        { u"/f  \"\"  name with spaces   ", u"name with spaces", kDocs, kDocs, 0, 0, 0, 0, 0 },
        { u"/F", u"", kDocs, kDocs, 0, 0, 0, 0, 0 },
        { u"/A \\book.pxl", u"\\book.pxl", kBooks, kBooks, 0, 0, 0, 0, 1 },
        { u"/F first /A second", u"second", kBooks, kBooks, 0, 0, 0, 0, 1 },
        { u"/F \\a.txt /W", u"\\a.txt", kDocs, kDocs, 0, 0, 0, 0, 0 },
        { u"/A \\a.pxl /I", u"\\a.pxl", kBooks, kBooks, 0, 0, 0, 0, 1 },
        { u"/A \\a.pxl /X", u"\\a.pxl", kBooks, kBooks, 0, 0, 0, 0, 1 },
        { u"/W /F \\a.txt", u"\\a.txt", kDocs, kDocs, 0, 0, 0, 0, 0 },
        { u"/I", std::nullopt, kMail, kMail, 0, 0, 0, 0, 0 },
        { u"/X", std::nullopt, kBooks, kBooks, 0, 0, 0, 0, 1 },
        { u"/X /W", std::nullopt, kDocs, kDocs, 0, 0, 0, 0, 1 },
        { u"F A I X", std::nullopt, kDocs, kNone, 0, 0, 0, 0, 0 },
        { u"/Z/Y/9", std::nullopt, kDocs, kNone, 0, 0, 0, 0, 0 },
        { u"/E", std::nullopt, kDocs, kNone, 1, 0, 0, 0, 0 },
        { u"/e/q/p", std::nullopt, kDocs, kNone, 1, 1, 1, 0, 0 },
        { u"/XQ", std::nullopt, kDocs, kNone, 0, 0, 0, 1, 1 },
        { u"/X/Q", std::nullopt, kDocs, kNone, 0, 0, 0, 0, 1 },
        { u"/X /Q", std::nullopt, kBooks, kBooks, 0, 1, 0, 0, 1 },
        { u"/XG/Q", std::nullopt, kDocs, kNone, 0, 0, 0, 0, 1 },
        { u"/XG0/Q", std::nullopt, kDocs, kNone, 0, 1, 0, 0, 1 },
        { u"/K/M/N", std::nullopt, kDocs, kNone, 0, 0, 0, 0, 0 },
    };
    for (const FileRow& row : rows) {
        SCOPED_TRACE(::testing::PrintToString(row.commandLine));
        StartRow();
        ParseCommandLine(row.commandLine);
        EXPECT_EQ(core::HasCommandLineFile(), row.file.has_value());
        if (row.file) {
            EXPECT_EQ(std::u16string(core::CommandLineFileName()), *row.file);
        }
        EXPECT_EQ(core::Options().StartView, row.startView);
        EXPECT_EQ(core::Settings().ViewMode, row.viewMode);
        EXPECT_EQ(core::Options().ExitCodeMode, row.exitCodeMode);
        EXPECT_EQ(core::Options().QuickPrintOnce, row.quickPrintOnce);
        EXPECT_EQ(core::Options().PlainTextOnce, row.plainTextOnce);
        EXPECT_EQ(core::Options().SkipSheetDialog, row.skipSheetDialog);
        EXPECT_EQ(core::Options().SheetOptionsFromCommandLine, row.sheetOptionsFromCommandLine);
    }
}

// The spreadsheet options as one comparable record.
struct SheetOptions {
    std::int32_t gridlines = 1;
    std::int32_t headings = 1;
    std::int32_t backgroundColors = 1;
    std::int32_t center = 1;
    std::int32_t sizing = 0;
    std::int32_t customPercent = 100;
    std::int32_t range = 0;
    std::uint16_t fromColumn = 0xFFFF;
    std::uint16_t fromRow = 0;
    std::uint16_t toColumn = 0;
    std::uint16_t toRow = 0;
    std::uint16_t sheetIndex = 0xFFFF;

    bool operator==(const SheetOptions&) const = default;
};

std::ostream& operator<<(std::ostream& out, const SheetOptions& o)
{
    return out << "grid " << o.gridlines << " head " << o.headings << " back " << o.backgroundColors << " center "
               << o.center << " sizing " << o.sizing << " percent " << o.customPercent << " range " << o.range
               << " from " << o.fromColumn << "," << o.fromRow << " to " << o.toColumn << "," << o.toRow << " sheet "
               << o.sheetIndex;
}

SheetOptions CurrentSheetOptions()
{
    const core::AppSettings& s = core::Settings();
    const core::RunOptions& o = core::Options();
    return SheetOptions { s.SheetGridlines, s.SheetHeadings, s.SheetBackgroundColors, s.SheetCenter, s.SheetSizing,
        s.SheetCustomPercent, o.SheetRange, o.SheetRangeFrom.Column, o.SheetRangeFrom.Row, o.SheetRangeTo.Column,
        o.SheetRangeTo.Row, o.SheetIndex };
}

struct SheetRow {
    const char16_t* commandLine;
    SheetOptions expected;
};

TEST_F(CommandLineTest, SpreadsheetSubSwitches)
{
    const SheetRow rows[] = {
        { u"/XG0", { .gridlines = 0 } },
        { u"/XG2", {} },
        { u"/xh0 /xb0 /xc0 /xh1", { .backgroundColors = 0, .center = 0 } },
        { u"/XZ1", { .sizing = 1 } },
        { u"/XZ3", {} },
        { u"/xzc250", { .customPercent = 250 } },
        { u"/XZC25", { .customPercent = 25 } },
        { u"/XZC24", {} },
        { u"/XZC251", {} },
        { u"/XZC300", {} },
        { u"/XZC50 /XZC", {} },
        { u"/XZC5x0", { .customPercent = 50 } },
        { u"/XZC751/XG0", { .gridlines = 0 } },
        { u"/XZC30 0", { .customPercent = 30 } },
        { u"/xa3", { .range = 3 } },
        { u"/XA4", {} },
        { u"/xafb3 /xatIV16384", { .fromColumn = 1, .fromRow = 2, .toColumn = 255, .toRow = 16383 } },
        { u"/XAFB3/XG0", { .fromColumn = 1, .fromRow = 2 } },
        { u"/XAFIW1", {} },
        { u"/XAF B3", {} },
        { u"/XAFAB1xxxxxx/XG0", { .fromColumn = 27, .fromRow = 0 } },
        { u"/XAFAB1xxxxxxx/XG0", { .gridlines = 0, .fromColumn = 27, .fromRow = 0 } },
        { u"/xs7", { .sheetIndex = 7 } },
        { u"/XSx", {} },
        { u"/XW1", {} },
        { u"/X/G0", {} },
    };
    for (const SheetRow& row : rows) {
        SCOPED_TRACE(::testing::PrintToString(row.commandLine));
        StartRow();
        ParseCommandLine(row.commandLine);
        EXPECT_EQ(CurrentSheetOptions(), row.expected);
        EXPECT_EQ(core::Options().SheetOptionsFromCommandLine, 1);
    }
}

TEST_F(CommandLineTest, WhatIsReadAndWhatIsStored)
{
    // Each row starts with headings off in the settings file and not in
    // memory; the parse reads them (headings off in memory), or not, and
    // stores the spreadsheet options and the workbook view it chose by the
    // end of parsing.
    struct Row {
        const char16_t* commandLine;
        bool read;
        bool stored;
        std::int32_t gridlines = 1;
        std::int32_t headings = 0;
        std::int32_t startView = core::kViewNone;
    };
    const Row rows[] = {
        { u"", false, false },
        { nullptr, false, false },
        { u"hello world", true, false },
        { u"/F \\a.txt /Q /E /P /I /W", true, false },
        { u"/xg0", true, true, 0 },
        { u"/XH1", false, true, 1, 1 }, // the switch overrides the stored headings
        { u"/X", true, true, 1, 0, core::kViewWorkbooks },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::PrintToString(row.commandLine));
        StartRow();
        StoreHeadingsOff();
        const std::string before = testsupport::ReadFileText(registry_);
        ParseCommandLine(row.commandLine);
        EXPECT_EQ(SettingsWereRead(), row.read);
        EXPECT_EQ(testsupport::ReadFileText(registry_) != before, row.stored);
        EXPECT_EQ(core::HasCommandLineFile(),
            row.commandLine != nullptr && row.commandLine[0] == u'/' && row.commandLine[1] == u'F');
        core::ResetAppSettings();
        core::ResetRunOptions();
        core::LoadSettings();
        EXPECT_EQ(core::Settings().SheetGridlines, row.gridlines);
        EXPECT_EQ(core::Settings().SheetHeadings, row.headings);
        EXPECT_EQ(core::Options().StartView, row.startView);
    }
}

TEST_F(CommandLineTest, LengthLimit)
{
    for (const auto& [length, parsed] :
        { std::pair<std::size_t, bool> { 259, true }, { 260, false }, { 4000, false } }) {
        SCOPED_TRACE(length);
        StoreHeadingsOff();
        core::ResetRunOptions();
        std::u16string text = u"/XG1 /Q ";
        text.resize(length, u'x');
        ParseCommandLine(text.c_str());
        EXPECT_EQ(SettingsWereRead(), parsed);
        EXPECT_EQ(core::Options().SheetOptionsFromCommandLine, parsed && length >= 4 ? 1 : 0);
        EXPECT_EQ(core::Options().QuickPrintOnce, parsed && length >= 7 ? 1 : 0);
    }
    // The longest line that is parsed leaves a file name of 256 characters.
    std::u16string text = u"/F ";
    text.append(259 - text.size(), u'n');
    ParseCommandLine(text.c_str());
    ASSERT_TRUE(core::HasCommandLineFile());
    EXPECT_EQ(std::u16string(core::CommandLineFileName()).size(), 256u);
}

} // namespace
} // namespace shell
