#include "CommandLine.h"

#include "AppSettings.h"
#include "SettingsStore.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <unistd.h>

namespace shell {
namespace {

std::string Narrow(std::u16string_view text)
{
    std::string out;
    for (char16_t unit : text)
        out.push_back(unit < 0x80 ? static_cast<char>(unit) : '?');
    return out;
}

std::optional<std::u16string> File()
{
    if (!core::HasCommandLineFile())
        return std::nullopt;
    return std::u16string(core::CommandLineFileName());
}

// Every test runs on its own settings file, so nothing outside the test is
// read or written.
class CommandLineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        directory_ = std::filesystem::temp_directory_path()
            / ("tallowin-commandline-" + std::to_string(getpid()) + "-"
                + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(directory_);
        std::filesystem::create_directories(directory_);
        registry_ = directory_ / "registry.reg";
        setenv("TALLOWIN_REGISTRY", registry_.c_str(), 1);
        core::ResetAppSettings();
        core::ResetRunOptions();
    }
    void TearDown() override
    {
        core::ResetAppSettings();
        core::ResetRunOptions();
        std::filesystem::remove_all(directory_);
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

    std::filesystem::path directory_;
    std::filesystem::path registry_;
};

struct FileRow {
    const char16_t* commandLine;
    std::optional<std::u16string> file;
    std::int32_t startView;
    std::int32_t viewMode;
};

TEST_F(CommandLineTest, FileNamesAndViews)
{
    const FileRow rows[] = {
        { u"/F \"\\My Documents\\a b.txt\" /Q/E", u"\\My Documents\\a b.txt", core::kViewDocuments,
            core::kViewDocuments },
        { u"/F\\doc.rtf", u"\\doc.rtf", core::kViewDocuments, core::kViewDocuments },
        { u"/f  \"\"  name with spaces   ", u"name with spaces", core::kViewDocuments, core::kViewDocuments },
        { u"/F name with spaces /Q", u"name with spaces", core::kViewDocuments, core::kViewDocuments },
        { u"/F", u"", core::kViewDocuments, core::kViewDocuments },
        { u"/F   ", u"", core::kViewDocuments, core::kViewDocuments },
        { u"/F\"", u"", core::kViewDocuments, core::kViewDocuments },
        { u"/F/Q", u"", core::kViewDocuments, core::kViewDocuments },
        { u"/A \\book.pxl", u"\\book.pxl", core::kViewWorkbooks, core::kViewWorkbooks },
        { u"/a\"\\b k.pxl\"", u"\\b k.pxl", core::kViewWorkbooks, core::kViewWorkbooks },
        { u"/F first /A second", u"second", core::kViewWorkbooks, core::kViewWorkbooks },
        { u"/A first /F second", u"second", core::kViewDocuments, core::kViewDocuments },
        { u"/F \\a.txt /W", u"\\a.txt", core::kViewDocuments, core::kViewDocuments },
        { u"/A \\a.pxl /W", u"\\a.pxl", core::kViewWorkbooks, core::kViewWorkbooks },
        { u"/A \\a.pxl /I", u"\\a.pxl", core::kViewWorkbooks, core::kViewWorkbooks },
        { u"/A \\a.pxl /X", u"\\a.pxl", core::kViewWorkbooks, core::kViewWorkbooks },
        { u"/F \\a.txt /X /I", u"\\a.txt", core::kViewDocuments, core::kViewDocuments },
        { u"/W /F \\a.txt", u"\\a.txt", core::kViewDocuments, core::kViewDocuments },
        { u"/I /F \\a.txt", u"\\a.txt", core::kViewDocuments, core::kViewDocuments },
        { u"/I", std::nullopt, core::kViewEmail, core::kViewEmail },
        { u"/i", std::nullopt, core::kViewEmail, core::kViewEmail },
        { u"/X", std::nullopt, core::kViewWorkbooks, core::kViewWorkbooks },
        { u"/x ", std::nullopt, core::kViewWorkbooks, core::kViewWorkbooks },
        { u"/X /W", std::nullopt, core::kViewDocuments, core::kViewDocuments },
        { u"/W /X", std::nullopt, core::kViewWorkbooks, core::kViewWorkbooks },
        { u"/I /W", std::nullopt, core::kViewDocuments, core::kViewDocuments },
        { u"F A I X", std::nullopt, core::kViewDocuments, core::kViewNone },
        { u"/", std::nullopt, core::kViewDocuments, core::kViewNone },
        { u"/Z/Y/9", std::nullopt, core::kViewDocuments, core::kViewNone },
    };
    for (const FileRow& row : rows) {
        SCOPED_TRACE(Narrow(row.commandLine));
        StartRow();
        ParseCommandLine(row.commandLine);
        EXPECT_EQ(File(), row.file);
        EXPECT_EQ(core::Options().StartView, row.startView);
        EXPECT_EQ(core::Settings().ViewMode, row.viewMode);
    }
}

struct FlagRow {
    const char16_t* commandLine;
    std::int32_t exitCodeMode;
    std::int32_t quickPrintOnce;
    std::int32_t plainTextOnce;
    std::int32_t skipSheetDialog;
    std::int32_t sheetOptionsFromCommandLine;
};

TEST_F(CommandLineTest, OneShotFlags)
{
    const FlagRow rows[] = {
        { u"/E", 1, 0, 0, 0, 0 },
        { u"/e/q/p", 1, 1, 1, 0, 0 },
        { u"/Q", 0, 1, 0, 0, 0 },
        { u"/P", 0, 0, 1, 0, 0 },
        { u"/F \"\\a b.txt\" /Q/E", 1, 1, 0, 0, 0 },
        { u"/XQ", 0, 0, 0, 1, 1 },
        { u"/xq", 0, 0, 0, 1, 1 },
        { u"/X/Q", 0, 0, 0, 0, 1 },
        { u"/X /Q", 0, 1, 0, 0, 1 },
        { u"/XG/Q", 0, 0, 0, 0, 1 },
        { u"/XG0/Q", 0, 1, 0, 0, 1 },
        { u"/A \\b.pxl", 0, 0, 0, 0, 1 },
        { u"/F \\a.txt", 0, 0, 0, 0, 0 },
        { u"no switches at all", 0, 0, 0, 0, 0 },
        { u"/K/M/N", 0, 0, 0, 0, 0 },
    };
    for (const FlagRow& row : rows) {
        SCOPED_TRACE(Narrow(row.commandLine));
        StartRow();
        ParseCommandLine(row.commandLine);
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

SheetOptions With(void (*change)(SheetOptions&))
{
    SheetOptions options;
    change(options);
    return options;
}

TEST_F(CommandLineTest, SpreadsheetSubSwitches)
{
    const SheetRow rows[] = {
        { u"/XG0", With([](SheetOptions& o) { o.gridlines = 0; }) },
        { u"/xg0", With([](SheetOptions& o) { o.gridlines = 0; }) },
        { u"/XG1", SheetOptions {} },
        { u"/XG2", SheetOptions {} },
        { u"/XG", SheetOptions {} },
        { u"/XH0/XB0/XC0", With([](SheetOptions& o) { o.headings = o.backgroundColors = o.center = 0; }) },
        { u"/xh0 /xb0 /xc0 /xh1", With([](SheetOptions& o) { o.backgroundColors = o.center = 0; }) },
        { u"/XZ0", SheetOptions {} },
        { u"/XZ1", With([](SheetOptions& o) { o.sizing = 1; }) },
        { u"/XZ2", With([](SheetOptions& o) { o.sizing = 2; }) },
        { u"/XZ3", SheetOptions {} },
        { u"/XZC50", With([](SheetOptions& o) { o.customPercent = 50; }) },
        { u"/xzc250", With([](SheetOptions& o) { o.customPercent = 250; }) },
        { u"/XZC25", With([](SheetOptions& o) { o.customPercent = 25; }) },
        { u"/XZC24", SheetOptions {} },
        { u"/XZC251", SheetOptions {} },
        { u"/XZC300", SheetOptions {} },
        { u"/XZC50 /XZC", SheetOptions {} },
        { u"/XZC50/XZC", With([](SheetOptions& o) { o.customPercent = 50; }) },
        { u"/XZC5x0", With([](SheetOptions& o) { o.customPercent = 50; }) },
        { u"/XZC75 /XG0", With([](SheetOptions& o) { o.customPercent = 75, o.gridlines = 0; }) },
        { u"/XZC751/XG0", With([](SheetOptions& o) { o.gridlines = 0; }) },
        { u"/XZC40/XG0", With([](SheetOptions& o) { o.customPercent = 40; }) },
        { u"/XZC30 0", With([](SheetOptions& o) { o.customPercent = 30; }) },
        { u"/XA0", SheetOptions {} },
        { u"/XA1", With([](SheetOptions& o) { o.range = 1; }) },
        { u"/XA2", With([](SheetOptions& o) { o.range = 2; }) },
        { u"/xa3", With([](SheetOptions& o) { o.range = 3; }) },
        { u"/XA4", SheetOptions {} },
        { u"/XAFB3", With([](SheetOptions& o) { o.fromColumn = 1, o.fromRow = 2; }) },
        { u"/xafb3 /xatIV16384",
            With([](SheetOptions& o) { o.fromColumn = 1, o.fromRow = 2, o.toColumn = 255, o.toRow = 16383; }) },
        { u"/XATAA10", With([](SheetOptions& o) { o.toColumn = 26, o.toRow = 9; }) },
        { u"/XAFB3/XG0", With([](SheetOptions& o) { o.fromColumn = 1, o.fromRow = 2; }) },
        { u"/XAFIW1", SheetOptions {} },
        { u"/XAFA0", SheetOptions {} },
        { u"/XAF", SheetOptions {} },
        { u"/XAF B3", SheetOptions {} },
        { u"/XAFC00000000005", SheetOptions {} },
        { u"/XAFC000000005", With([](SheetOptions& o) { o.fromColumn = 2, o.fromRow = 4; }) },
        { u"/XAFC12345678/XG0", SheetOptions {} },
        { u"/XAFAB1xxxxxx/XG0", With([](SheetOptions& o) { o.fromColumn = 27, o.fromRow = 0; }) },
        { u"/XAFAB1xxxxxxx/XG0", With([](SheetOptions& o) { o.fromColumn = 27, o.fromRow = 0, o.gridlines = 0; }) },
        { u"/XS0", With([](SheetOptions& o) { o.sheetIndex = 0; }) },
        { u"/xs7", With([](SheetOptions& o) { o.sheetIndex = 7; }) },
        { u"/XSx", SheetOptions {} },
        { u"/XW1", SheetOptions {} },
        { u"/X/G0", SheetOptions {} },
    };
    for (const SheetRow& row : rows) {
        SCOPED_TRACE(Narrow(row.commandLine));
        StartRow();
        ParseCommandLine(row.commandLine);
        EXPECT_EQ(CurrentSheetOptions(), row.expected);
        EXPECT_EQ(core::Options().SheetOptionsFromCommandLine, 1);
    }
}

TEST_F(CommandLineTest, SpreadsheetOptionsAreStoredByTheEndOfParsing)
{
    for (const char16_t* commandLine : { u"/xg0", u"/XG0" }) {
        SCOPED_TRACE(Narrow(commandLine));
        StartRow();
        ParseCommandLine(commandLine);
        std::ifstream file(registry_);
        std::stringstream text;
        text << file.rdbuf();
        EXPECT_NE(text.str().find("\"PrExcel\"=hex:00,00,00,00,"), std::string::npos) << text.str();
        core::ResetAppSettings();
        core::LoadSettings();
        EXPECT_EQ(core::Settings().SheetGridlines, 0);
    }
}

TEST_F(CommandLineTest, WorkbookViewIsStoredWithTheSheetOptions)
{
    ParseCommandLine(u"/X");
    core::ResetAppSettings();
    core::ResetRunOptions();
    core::LoadSettings();
    EXPECT_EQ(core::Options().StartView, core::kViewWorkbooks);
}

TEST_F(CommandLineTest, NothingIsStoredWithoutSheetOptions)
{
    ParseCommandLine(u"/F \\a.txt /Q /E /P /I /W");
    EXPECT_FALSE(std::filesystem::exists(registry_));
}

TEST_F(CommandLineTest, SwitchesOverrideStoredSettings)
{
    StoreHeadingsOff();
    ParseCommandLine(u"/XH1");
    EXPECT_EQ(core::Settings().SheetHeadings, 1);
    core::ResetAppSettings();
    core::LoadSettings();
    EXPECT_EQ(core::Settings().SheetHeadings, 1);
}

std::u16string CommandLineOfLength(std::size_t length)
{
    std::u16string text = u"/XG1 /Q ";
    text.resize(length, u'x');
    return text;
}

TEST_F(CommandLineTest, LengthLimit)
{
    struct LengthRow {
        std::size_t length;
        bool parsed;
    };
    const LengthRow rows[]
        = { { 1, true }, { 258, true }, { 259, true }, { 260, false }, { 261, false }, { 4000, false } };
    for (const LengthRow& row : rows) {
        SCOPED_TRACE(row.length);
        StoreHeadingsOff();
        core::ResetRunOptions();
        std::u16string text = CommandLineOfLength(row.length);
        ParseCommandLine(text.c_str());
        EXPECT_EQ(SettingsWereRead(), row.parsed);
        EXPECT_EQ(core::Options().SheetOptionsFromCommandLine, row.parsed && row.length >= 4 ? 1 : 0);
        EXPECT_EQ(core::Options().QuickPrintOnce, row.parsed && row.length >= 7 ? 1 : 0);
    }
}

TEST_F(CommandLineTest, EmptyOrMissingTextDoesNotReadTheSettings)
{
    StoreHeadingsOff();
    ParseCommandLine(u"");
    EXPECT_FALSE(SettingsWereRead());
    ParseCommandLine(nullptr);
    EXPECT_FALSE(SettingsWereRead());
}

TEST_F(CommandLineTest, TextWithoutSwitchesOnlyReadsTheSettings)
{
    StoreHeadingsOff();
    ParseCommandLine(u"hello world");
    EXPECT_TRUE(SettingsWereRead());
    EXPECT_FALSE(core::HasCommandLineFile());
}

TEST_F(CommandLineTest, FileNameOfTheLongestLine)
{
    std::u16string text = u"/F ";
    text.append(259 - text.size(), u'n');
    ParseCommandLine(text.c_str());
    ASSERT_TRUE(core::HasCommandLineFile());
    EXPECT_EQ(std::u16string(core::CommandLineFileName()).size(), 256u);
}

} // namespace
} // namespace shell
