// The spreadsheet options dialog driven by a scripted user over a workbook
// read from memory.

#include <AppSettings.h>
#include <DialogHost.h>
#include <DialogResourceIds.h>
#include <FullScreenDialog.h>
#include <MessageBox.h>
#include <Process.h>
#include <SheetOptionsDialog.h>
#include <WorkbookReader.h>
#include <WorkbookWriter.h>

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <string>
#include <tuple>
#include <vector>

namespace spreadsheet {
namespace {

using platform::DialogAction;

constexpr int kCancel = platform::kCancelCommand;
constexpr int kOk = platform::kOkCommand;

// The range in the run-time options: from column, row, to column, row.
std::array<int, 4> StoredRange()
{
    const core::RunOptions& options = core::Options();
    return { options.SheetRangeFrom.Column, options.SheetRangeFrom.Row, options.SheetRangeTo.Column,
        options.SheetRangeTo.Row };
}

class SheetOptionsDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("LC_ALL", "en_US.UTF-8", 1);
        core::ResetAppSettings();
        core::ResetRunOptions();
        platform::SetMessageBoxHost([this](std::u16string_view text, std::u16string_view) {
            messages.emplace_back(text);
            return platform::IDOK;
        });
        // "Data" with cells B3 to D12 and the selection A1:F6, and an empty
        // "Notes".
        WorkbookDescription workbook;
        SheetDescription data;
        data.Name = u"Data";
        data.Cells = { Number(2, 1, 1), Number(11, 3, 2), Text(5, 2, u"x") };
        data.Selection = SelectionDescription { 0, 0, 5, 5 };
        SheetDescription notes;
        notes.Name = u"Notes";
        notes.Cells = { Blank(3, 3) };
        workbook.Sheets = { data, notes };
        bytes = WriteWorkbook(workbook);
        ASSERT_EQ(ReadWorkbookFromBytes(bytes, u"two.pxl"), 1);
    }

    void TearDown() override
    {
        platform::SetDialogHost(nullptr);
        platform::SetMessageBoxHost({});
        ReleaseWorkbook();
    }

    int Run(std::vector<DialogAction> actions)
    {
        messages.clear();
        host.emplace(std::move(actions));
        platform::SetDialogHost(&*host);
        return RunSheetOptionsDialog(nullptr);
    }

    std::u16string ControlText(int id) const { return host->LastDialog()->Control(id)->Text; }
    std::vector<std::u16string> RangeLabels() const
    {
        return { ControlText(platform::kSheetRangeFullRadio), ControlText(platform::kSheetRangeSelectedRadio),
            ControlText(platform::kSheetRangePopulatedRadio) };
    }

    std::vector<std::uint8_t> bytes;
    std::optional<platform::ScriptedDialogHost> host;
    std::vector<std::u16string> messages;
};

TEST_F(SheetOptionsDialogTest, LabelsShowTheRangesOfTheChosenSheet)
{
    EXPECT_EQ(Run({ DialogAction::Press(kCancel) }), 0);
    EXPECT_EQ(RangeLabels(),
        (std::vector<std::u16string> { u"Full - A1 to D12", u"Selected - A1 to F6", u"Populated - B3 to D12" }));
    EXPECT_EQ(ControlText(platform::kSheetRangeFromEdit), u"A1");
    EXPECT_EQ(ControlText(platform::kSheetRangeToEdit), u"D12");
    EXPECT_EQ(ControlText(platform::kSheetPercentEdit), u"100");
    const auto& list = host->LastDialog()->Control(platform::kSheetListCombo);
    EXPECT_EQ(list->Items, (std::vector<std::u16string> { u"Data", u"Notes" }));
    EXPECT_EQ(list->Selection, 0);

    // The empty sheet's populated range starts at 0xFFFF, shown and taken
    // as A1.
    core::Options().SheetRange = 2;
    EXPECT_EQ(Run({ DialogAction::Select(platform::kSheetListCombo, 1), DialogAction::Press(kOk) }), 1);
    EXPECT_EQ(RangeLabels(),
        (std::vector<std::u16string> { u"Full - A1 to A1", u"Selected - A1 to A1", u"Populated - A1 to A1" }));
    EXPECT_EQ(core::Options().SheetIndex, 1);
    EXPECT_EQ(StoredRange(), (std::array { 0, 0, 0, 0 }));
}

TEST_F(SheetOptionsDialogTest, InputPanelIsUpOnlyWhileACustomFieldHasTheFocus)
{
    using platform::kSheetPercentEdit;
    using platform::kSheetRangeFromEdit;
    const std::tuple<const char*, std::vector<DialogAction>, bool> cases[] = {
        { "a read-only field", { DialogAction::Focus(kSheetPercentEdit, true) }, false },
        { "custom sizing, focus gained",
            { DialogAction::Check(platform::kSheetSizingCustomRadio), DialogAction::Focus(kSheetPercentEdit, true) },
            true },
        { "custom range, focus gained then lost",
            { DialogAction::Check(platform::kSheetRangeCustomRadio), DialogAction::Focus(kSheetRangeFromEdit, true),
                DialogAction::Focus(kSheetRangeFromEdit, false) },
            false },
        { "a hide without a show", { DialogAction::Focus(kSheetRangeFromEdit, false) }, false },
    };
    for (const auto& [name, actions, shown] : cases) {
        SCOPED_TRACE(name);
        core::ShowInputPanel(0);
        core::ResetAppSettings();
        core::ResetRunOptions();
        Run(actions); // the dialog is still open when the script ends
        EXPECT_EQ(core::InputPanelShown(), shown);
    }
    core::ShowInputPanel(0);
}

TEST_F(SheetOptionsDialogTest, CustomPercentIsItsLeadingDigitsFrom25To250)
{
    // What is typed, the dialog's result and the percent stored.
    const std::tuple<std::u16string, int, std::int16_t> rows[] = {
        { u"150%", 1, 150 },
        { u"25", 1, 25 },
        { u"250", 1, 250 },
        { u"24", 0, 24 },
        { u"251", 0, 251 },
        { u"abc", 0, 0 },
        { u"99999999999999999999", 0, INT16_MAX },
    };
    for (const auto& [typed, result, stored] : rows) {
        SCOPED_TRACE(std::string(typed.begin(), typed.end()));
        core::Settings().SheetSizing = 2;
        EXPECT_EQ(Run({ DialogAction::SetText(platform::kSheetPercentEdit, typed), DialogAction::Press(kOk) }), result);
        EXPECT_EQ(core::Settings().SheetCustomPercent, stored);
        EXPECT_EQ(messages,
            std::vector<std::u16string>(result == 1 ? 0 : 1, u"Custom Print Size must be between 25% and 250%"));
        // A dialog that stays open ends only by the host.
        EXPECT_EQ(host->LastDialog()->Ended, result == 1);
    }
}

TEST_F(SheetOptionsDialogTest, CustomRangeMustBeTwoReferencesInOrder)
{
    // From, to and the message shown.
    const std::tuple<std::u16string, std::u16string, std::u16string> rows[] = {
        { u"B2", u"A5", u"Custom cell entries overlap..." },
        { u"B5", u"C2", u"Custom cell entries overlap..." },
        { u"B2", u"B2", u"" },
        { u"b2", u"IV16384", u"" },
        { u"2B", u"C3", u"Invalid Custom cell entry..." },
        { u"B2", u"", u"Invalid Custom cell entry..." },
    };
    for (const auto& [from, to, message] : rows) {
        SCOPED_TRACE(std::string(from.begin(), from.end()) + " " + std::string(to.begin(), to.end()));
        EXPECT_EQ(Run({ DialogAction::Check(platform::kSheetRangeCustomRadio),
                      DialogAction::SetText(platform::kSheetRangeFromEdit, from),
                      DialogAction::SetText(platform::kSheetRangeToEdit, to), DialogAction::Press(kOk) }),
            message.empty() ? 1 : 0);
        EXPECT_EQ(messages, std::vector<std::u16string>(message.empty() ? 0 : 1, message));
    }
    // A rejected entry leaves what the last accepted one, b2 to IV16384, set.
    EXPECT_EQ(StoredRange(), (std::array { 1, 1, 255, 16383 }));
}

TEST_F(SheetOptionsDialogTest, AcceptedChoicesAreWrittenIntoTheSettings)
{
    const std::pair<int, std::array<int, 4>> ranges[] = {
        { platform::kSheetRangeFullRadio, { 0, 0, 3, 11 } },
        { platform::kSheetRangeSelectedRadio, { 0, 0, 5, 5 } },
        { platform::kSheetRangePopulatedRadio, { 1, 2, 3, 11 } },
    };
    for (const auto& [radio, range] : ranges) {
        EXPECT_EQ(Run({ DialogAction::Check(radio), DialogAction::Press(kOk) }), 1);
        EXPECT_EQ(StoredRange(), range);
    }

    core::Options().QuickPrintOnce = 0;
    EXPECT_EQ(Run({ DialogAction::Check(platform::kSheetGridlinesCheck, platform::BST_UNCHECKED),
                  DialogAction::Check(platform::kSheetCenterCheck, platform::BST_UNCHECKED),
                  DialogAction::Check(platform::kSheetBackgroundCheck, platform::BST_UNCHECKED),
                  DialogAction::Check(platform::kSheetHeadingsCheck, platform::BST_UNCHECKED),
                  DialogAction::Press(platform::kSheetQuickPrintButton) }),
        1);
    const core::AppSettings& settings = core::Settings();
    EXPECT_EQ((std::array<int, 4> { settings.SheetGridlines, settings.SheetCenter, settings.SheetBackgroundColors,
                  settings.SheetHeadings }),
        (std::array { 0, 0, 0, 0 }));
    EXPECT_EQ(core::Options().QuickPrintOnce, 1);
    EXPECT_EQ(Run({ DialogAction::Press(kOk) }), 1);
    EXPECT_EQ(core::Options().QuickPrintOnce, 0);
}

TEST_F(SheetOptionsDialogTest, HeadlessHostContinuesWithTheStoredOptions)
{
    core::Options().QuickPrintOnce = 1;
    core::Options().SheetRange = 2;
    core::Options().SheetIndex = 0xFFFF;
    core::Settings().SheetCustomPercent = 900;
    platform::HeadlessDialogHost headless;
    platform::SetDialogHost(&headless);
    EXPECT_EQ(RunSheetOptionsDialog(nullptr), 1);
    EXPECT_EQ(core::Options().QuickPrintOnce, 0);
    EXPECT_EQ(core::Options().SheetIndex, 0) << "a stored index past the sheets is the first";
    EXPECT_EQ(core::Settings().SheetCustomPercent, 100);
    EXPECT_EQ(StoredRange(), (std::array { 1, 2, 3, 11 }));
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
    EXPECT_NE(host->LastDialog()->Focus, 0);
    Run({ DialogAction::SettingChange(static_cast<int>(platform::kInputPanelSettingChange)) });
    EXPECT_EQ(host->LastDialog()->Focus, 0);
    platform::SetProcessStarter({});
}

} // namespace
} // namespace spreadsheet
