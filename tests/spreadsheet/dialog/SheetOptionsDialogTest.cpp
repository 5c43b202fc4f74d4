// The spreadsheet options dialog driven by a scripted user over a workbook
// read from memory.

#include <AppSettings.h>
#include <DialogHost.h>
#include <DialogResourceIds.h>
#include <MessageBox.h>
#include <Process.h>
#include <SheetOptionsDialog.h>
#include <WorkbookReader.h>
#include <WorkbookWriter.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace spreadsheet {
namespace {

using platform::DialogAction;

// Two sheets: "Data" with cells B3 to D12 and the selection A1:F6, and an
// empty "Notes".
WorkbookDescription TwoSheets()
{
    WorkbookDescription workbook;
    SheetDescription data;
    data.Name = u"Data";
    data.Cells = { Number(2, 1, 1), Number(11, 3, 2), Text(5, 2, u"x") };
    data.Selection = SelectionDescription { 0, 0, 5, 5 };
    SheetDescription notes;
    notes.Name = u"Notes";
    notes.Cells = { Blank(3, 3) };
    workbook.Sheets = { data, notes };
    return workbook;
}

class SheetOptionsDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("LC_ALL", "en_US.UTF-8", 1);
        core::ResetAppSettings();
        core::ResetRunOptions();
        messages.clear();
        platform::SetMessageBoxHost([this](std::u16string_view text, std::u16string_view) {
            messages.emplace_back(text);
            return platform::IDOK;
        });
        bytes = WriteWorkbook(TwoSheets());
        ASSERT_EQ(ReadWorkbookFromBytes(bytes, u"two.pxl"), 1);
    }

    void TearDown() override
    {
        platform::SetDialogHost(nullptr);
        platform::SetMessageBoxHost({});
        ReleaseWorkbook();
    }

    // Runs the dialog with the scripted actions; its result.
    int Run(std::vector<DialogAction> actions)
    {
        host.emplace(std::move(actions));
        platform::SetDialogHost(&*host);
        return RunSheetOptionsDialog(nullptr);
    }

    std::u16string ControlText(int id) const { return host->LastDialog()->Control(id)->Text; }
    bool ReadOnly(int id) const { return host->LastDialog()->Control(id)->ReadOnly; }

    std::vector<std::uint8_t> bytes;
    std::optional<platform::ScriptedDialogHost> host;
    std::vector<std::u16string> messages;
};

TEST_F(SheetOptionsDialogTest, LabelsShowTheRangesOfTheSheet)
{
    EXPECT_EQ(Run({ DialogAction::Press(platform::kCancelCommand) }), 0);
    EXPECT_EQ(ControlText(platform::kSheetRangeFullRadio), u"Full - A1 to D12");
    EXPECT_EQ(ControlText(platform::kSheetRangeSelectedRadio), u"Selected - A1 to F6");
    EXPECT_EQ(ControlText(platform::kSheetRangePopulatedRadio), u"Populated - B3 to D12");
    EXPECT_EQ(ControlText(platform::kSheetRangeFromEdit), u"A1");
    EXPECT_EQ(ControlText(platform::kSheetRangeToEdit), u"D12");
    EXPECT_EQ(ControlText(platform::kSheetPercentEdit), u"100");
    const auto& list = host->LastDialog()->Control(platform::kSheetListCombo);
    EXPECT_EQ(list->Items, (std::vector<std::u16string> { u"Data", u"Notes" }));
    EXPECT_EQ(list->Selection, 0);
}

TEST_F(SheetOptionsDialogTest, ChoosingAnotherSheetRewritesTheLabels)
{
    Run({ DialogAction::Select(platform::kSheetListCombo, 1), DialogAction::Press(platform::kCancelCommand) });
    // The empty sheet's populated range starts at 0xFFFF, shown as A1.
    EXPECT_EQ(ControlText(platform::kSheetRangeFullRadio), u"Full - A1 to A1");
    EXPECT_EQ(ControlText(platform::kSheetRangePopulatedRadio), u"Populated - A1 to A1");
    EXPECT_EQ(ControlText(platform::kSheetRangeSelectedRadio), u"Selected - A1 to A1");
    EXPECT_EQ(core::Options().SheetIndex, 1);
}

TEST_F(SheetOptionsDialogTest, EmptySheetRangeCountsAsA1WhenAccepted)
{
    core::Options().SheetRange = 2;
    EXPECT_EQ(
        Run({ DialogAction::Select(platform::kSheetListCombo, 1), DialogAction::Press(platform::kOkCommand) }), 1);
    EXPECT_EQ(core::Options().SheetRangeFrom.Column, 0);
    EXPECT_EQ(core::Options().SheetRangeFrom.Row, 0);
    EXPECT_EQ(core::Options().SheetRangeTo.Column, 0);
    EXPECT_EQ(core::Options().SheetRangeTo.Row, 0);
}

TEST_F(SheetOptionsDialogTest, EditsAreReadOnlyUnlessTheirChoiceIsCustom)
{
    Run({ DialogAction::Press(platform::kCancelCommand) });
    EXPECT_TRUE(ReadOnly(platform::kSheetRangeFromEdit));
    EXPECT_TRUE(ReadOnly(platform::kSheetRangeToEdit));
    EXPECT_TRUE(ReadOnly(platform::kSheetPercentEdit));
    Run({ DialogAction::Check(platform::kSheetRangeCustomRadio), DialogAction::Check(platform::kSheetSizingCustomRadio),
        DialogAction::Press(platform::kCancelCommand) });
    EXPECT_FALSE(ReadOnly(platform::kSheetRangeFromEdit));
    EXPECT_FALSE(ReadOnly(platform::kSheetRangeToEdit));
    EXPECT_FALSE(ReadOnly(platform::kSheetPercentEdit));
    EXPECT_EQ(core::Options().SheetRange, 3);
    EXPECT_EQ(core::Settings().SheetSizing, 2);
}

struct PercentRow {
    std::u16string Typed;
    int Result;
    std::int16_t Stored;
    bool Message;
};

TEST_F(SheetOptionsDialogTest, CustomPercentIsItsLeadingDigitsFrom25To250)
{
    const PercentRow rows[] = {
        { u"150%", 1, 150, false },
        { u"25", 1, 25, false },
        { u"250", 1, 250, false },
        { u"24", 0, 24, true },
        { u"251", 0, 251, true },
        { u"abc", 0, 0, true },
        { u"", 0, 0, true },
        { u"99999999999999999999", 0, INT16_MAX, true },
    };
    for (const PercentRow& row : rows) {
        SCOPED_TRACE(std::string(row.Typed.begin(), row.Typed.end()));
        messages.clear();
        core::Settings().SheetSizing = 2;
        EXPECT_EQ(Run({ DialogAction::SetText(platform::kSheetPercentEdit, row.Typed),
                      DialogAction::Press(platform::kOkCommand) }),
            row.Result);
        EXPECT_EQ(core::Settings().SheetCustomPercent, row.Stored);
        EXPECT_EQ(messages.size(), row.Message ? 1u : 0u);
        if (row.Message) {
            EXPECT_EQ(messages[0], u"Custom Print Size must be between 25% and 250%");
        }
        // A dialog that stays open ends only by the host.
        EXPECT_EQ(host->LastDialog()->Ended, row.Result == 1);
    }
}

struct RangeRow {
    std::u16string From;
    std::u16string To;
    int Result;
    std::u16string Message;
};

TEST_F(SheetOptionsDialogTest, CustomRangeMustBeTwoReferencesInOrder)
{
    const RangeRow rows[] = {
        { u"B2", u"A5", 0, u"Custom cell entries overlap..." },
        { u"B5", u"C2", 0, u"Custom cell entries overlap..." },
        { u"B2", u"B2", 1, u"" },
        { u"b2", u"IV16384", 1, u"" },
        { u"2B", u"C3", 0, u"Invalid Custom cell entry..." },
        { u"B2", u"", 0, u"Invalid Custom cell entry..." },
        { u"A0", u"C3", 0, u"Invalid Custom cell entry..." },
    };
    for (const RangeRow& row : rows) {
        SCOPED_TRACE(std::string(row.From.begin(), row.From.end()) + " " + std::string(row.To.begin(), row.To.end()));
        messages.clear();
        EXPECT_EQ(Run({ DialogAction::Check(platform::kSheetRangeCustomRadio),
                      DialogAction::SetText(platform::kSheetRangeFromEdit, row.From),
                      DialogAction::SetText(platform::kSheetRangeToEdit, row.To),
                      DialogAction::Press(platform::kOkCommand) }),
            row.Result);
        if (row.Message.empty()) {
            EXPECT_TRUE(messages.empty());
        } else {
            EXPECT_EQ(messages, std::vector<std::u16string> { row.Message });
        }
    }
    // A rejected entry leaves what the last accepted one, b2 to IV16384, set.
    EXPECT_EQ(core::Options().SheetRangeFrom.Column, 1);
    EXPECT_EQ(core::Options().SheetRangeFrom.Row, 1);
    EXPECT_EQ(core::Options().SheetRangeTo.Column, 255);
    EXPECT_EQ(core::Options().SheetRangeTo.Row, 16383);
}

TEST_F(SheetOptionsDialogTest, AcceptedRangeIsWrittenIntoTheSettings)
{
    struct Row {
        int Radio;
        std::uint16_t FromColumn, FromRow, ToColumn, ToRow;
    };
    const Row rows[] = {
        { platform::kSheetRangeFullRadio, 0, 0, 3, 11 },
        { platform::kSheetRangeSelectedRadio, 0, 0, 5, 5 },
        { platform::kSheetRangePopulatedRadio, 1, 2, 3, 11 },
    };
    for (const Row& row : rows) {
        EXPECT_EQ(Run({ DialogAction::Check(row.Radio), DialogAction::Press(platform::kOkCommand) }), 1);
        const core::RunOptions& options = core::Options();
        EXPECT_EQ(options.SheetRangeFrom.Column, row.FromColumn);
        EXPECT_EQ(options.SheetRangeFrom.Row, row.FromRow);
        EXPECT_EQ(options.SheetRangeTo.Column, row.ToColumn);
        EXPECT_EQ(options.SheetRangeTo.Row, row.ToRow);
    }
}

TEST_F(SheetOptionsDialogTest, SwitchesAndQuickPrintAreReadOnAccept)
{
    core::Options().QuickPrintOnce = 0;
    EXPECT_EQ(Run({ DialogAction::Check(platform::kSheetGridlinesCheck, platform::BST_UNCHECKED),
                  DialogAction::Check(platform::kSheetCenterCheck, platform::BST_UNCHECKED),
                  DialogAction::Check(platform::kSheetBackgroundCheck, platform::BST_UNCHECKED),
                  DialogAction::Check(platform::kSheetHeadingsCheck, platform::BST_UNCHECKED),
                  DialogAction::Press(platform::kSheetQuickPrintButton) }),
        1);
    const core::AppSettings& settings = core::Settings();
    EXPECT_EQ(settings.SheetGridlines, 0);
    EXPECT_EQ(settings.SheetCenter, 0);
    EXPECT_EQ(settings.SheetBackgroundColors, 0);
    EXPECT_EQ(settings.SheetHeadings, 0);
    EXPECT_EQ(core::Options().QuickPrintOnce, 1);
    EXPECT_EQ(Run({ DialogAction::Press(platform::kOkCommand) }), 1);
    EXPECT_EQ(core::Options().QuickPrintOnce, 0);
}

TEST_F(SheetOptionsDialogTest, HeadlessHostContinuesWithTheStoredOptions)
{
    core::Options().QuickPrintOnce = 1;
    core::Options().SheetRange = 2;
    core::Settings().SheetCustomPercent = 900;
    platform::HeadlessDialogHost headless;
    platform::SetDialogHost(&headless);
    EXPECT_EQ(RunSheetOptionsDialog(nullptr), 1);
    EXPECT_EQ(core::Options().QuickPrintOnce, 0);
    EXPECT_EQ(core::Settings().SheetCustomPercent, 100);
    EXPECT_EQ(core::Options().SheetRangeFrom.Column, 1);
    EXPECT_EQ(core::Options().SheetRangeFrom.Row, 2);
}

TEST_F(SheetOptionsDialogTest, CommandLineRangeFillsTheCustomFields)
{
    core::RunOptions& options = core::Options();
    options.SheetOptionsFromCommandLine = 1;
    options.SheetRange = 3;
    options.SheetRangeFrom = { 2, 4 };
    options.SheetRangeTo = { 27, 9 };
    EXPECT_EQ(Run({ DialogAction::Press(platform::kOkCommand) }), 1);
    EXPECT_EQ(ControlText(platform::kSheetRangeFromEdit), u"C5");
    EXPECT_EQ(ControlText(platform::kSheetRangeToEdit), u"AB10");
    EXPECT_EQ(options.SheetRangeTo.Column, 27);
}

TEST_F(SheetOptionsDialogTest, HelpOpensItsPageAndTheInputPanelLeavesTheFocusOnTheDialog)
{
    std::vector<std::u16string> started;
    platform::SetProcessStarter([&started](std::u16string_view application, std::u16string_view commandLine) {
        started.push_back(std::u16string(application) + u" " + std::u16string(commandLine));
        return true;
    });
    Run({ DialogAction::Help(), DialogAction::SettingChange(0x1234), DialogAction::Paint() });
    EXPECT_EQ(started, std::vector<std::u16string> { u"peghelp file:tallowin.htm#emailoptions" });
    const int firstControl = host->LastDialog()->Focus;
    EXPECT_NE(firstControl, 0);
    Run({ DialogAction::SettingChange(static_cast<int>(platform::kInputPanelSettingChange)) });
    EXPECT_EQ(host->LastDialog()->Focus, 0);
    platform::SetProcessStarter({});
}

TEST_F(SheetOptionsDialogTest, StoredSheetIndexOfTheWorkbookIsShownAsTheFirst)
{
    core::Options().SheetIndex = 0xFFFF;
    Run({ DialogAction::Press(platform::kCancelCommand) });
    EXPECT_EQ(host->LastDialog()->Control(platform::kSheetListCombo)->Selection, 0);
    EXPECT_EQ(core::Options().SheetIndex, 0);
}

} // namespace
} // namespace spreadsheet
