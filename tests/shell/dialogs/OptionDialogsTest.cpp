#include "OptionDialogs.h"

#include "DialogResourceIds.h"
#include "DialogTest.h"
#include "SettingsStore.h"

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace {

using namespace platform;

class OptionDialogsTest : public dialogtest::DialogTest {
protected:
    // The settings as the next start reads them.
    core::AppSettings Stored()
    {
        core::AppSettings inMemory = core::Settings();
        core::ResetAppSettings();
        core::LoadSettings();
        core::AppSettings stored = core::Settings();
        core::Settings() = inMemory;
        return stored;
    }
};

struct OptionDialogCase {
    const char* name;
    unsigned templateId;
    DialogProc procedure;
    std::function<void(core::AppSettings&)> before;
    std::vector<DialogAction> actions;
    std::intptr_t result;
    bool saves;
    std::function<void(const core::AppSettings&, const Dialog&)> check;
};

TEST_F(OptionDialogsTest, EachDialogShowsAndAppliesTheOptions)
{
    const std::vector<OptionDialogCase> cases = {
        { "resize shows the stored choice and OK keeps it", kResizeDialog, shell::ResizeDialogProc,
            [](core::AppSettings& s) { s.ResizeChoice = core::kResizeChoice125; }, { DialogAction::Press(kOkCommand) },
            kOkCommand, true,
            [](const core::AppSettings& s, const Dialog& d) {
                EXPECT_EQ(d.Control(core::kResizeChoice125)->Checked, BST_CHECKED);
                EXPECT_EQ(d.Control(core::kResizeChoice100)->Checked, BST_UNCHECKED);
                EXPECT_EQ(s.ResizeChoice, core::kResizeChoice125);
                EXPECT_EQ(s.ScaleNum * 4, s.ScaleDen * 5);
            } },
        { "resize keeps a choice made before Cancel", kResizeDialog, shell::ResizeDialogProc, nullptr,
            { DialogAction::Check(kResize50Radio), DialogAction::Press(kCancelCommand) }, kCancelCommand, true,
            [](const core::AppSettings& s, const Dialog&) {
                EXPECT_EQ(s.ResizeChoice, core::kResizeChoice50);
                EXPECT_EQ(s.ScaleNum * 2, s.ScaleDen);
            } },
        { "mail fonts show the stored options", kMailFontDialog, shell::MailFontDialogProc,
            [](core::AppSettings& s) {
                s.MailHeaderOrder = 2;
                s.MailBodyFontSize = 13;
            },
            {}, 0, false,
            [](const core::AppSettings&, const Dialog& d) {
                EXPECT_EQ(d.Control(kMailOrderLastRadio)->Checked, BST_CHECKED);
                EXPECT_EQ(d.Control(kMailOrderFirstRadio)->Checked, BST_UNCHECKED);
                const DialogControl& header = *d.Control(kMailHeaderFaceList);
                EXPECT_EQ(header.Items[static_cast<std::size_t>(header.Selection)], u"Tahoma");
                const DialogControl& body = *d.Control(kMailBodyFaceList);
                EXPECT_EQ(body.Items[static_cast<std::size_t>(body.Selection)], u"Courier New");
                EXPECT_EQ(d.Control(kMailHeaderBoldCheck)->Checked, BST_CHECKED);
                EXPECT_EQ(d.Control(kMailBodySizeCombo)->Selection, 0); // 13 is not offered
                EXPECT_EQ(d.Control(kMailHeaderSizeCombo)->Selection, 5); // 9
            } },
        { "mail fonts: Cancel applies and saves every change", kMailFontDialog, shell::MailFontDialogProc, nullptr,
            { DialogAction::Check(kMailOrderFirstRadio + 1), DialogAction::Select(kMailHeaderFaceList, 2),
                DialogAction::Select(kMailHeaderSizeCombo, 8), DialogAction::Check(kMailHeaderBoldCheck, BST_UNCHECKED),
                DialogAction::Check(kMailBodyItalicCheck), DialogAction::Select(kMailBodyFaceList, 1),
                DialogAction::Press(kCancelCommand) },
            kCancelCommand, true,
            [](const core::AppSettings& s, const Dialog&) {
                EXPECT_EQ(s.MailHeaderOrder, 1);
                EXPECT_EQ(std::u16string(s.MailHeaderFontFace), u"Symbol");
                EXPECT_EQ(s.MailHeaderCharset, 2);
                EXPECT_EQ(s.MailHeaderFontSize, 12);
                EXPECT_EQ(s.MailHeaderBold, 0);
                EXPECT_EQ(std::u16string(s.MailBodyFontFace), u"DejaVu Sans");
                EXPECT_EQ(s.MailBodyItalic, 1);
                EXPECT_EQ(s.MailBodyFontSize, 9);
            } },
        { "start-up screen cleared and confirmed stays away", kStartupScreenDialog, shell::StartupDialogProc, nullptr,
            { DialogAction::Check(kStartupShowCheck, BST_UNCHECKED), DialogAction::Press(kOkCommand) }, kOkCommand,
            true, [](const core::AppSettings& s, const Dialog&) { EXPECT_FALSE(s.ShowStartupScreen); } },
        { "start-up screen confirmed unchanged writes nothing, centred", kStartupScreenDialog, shell::StartupDialogProc,
            nullptr, { DialogAction::Press(kOkCommand) }, kOkCommand, false,
            [](const core::AppSettings& s, const Dialog& d) {
                EXPECT_TRUE(s.ShowStartupScreen);
                EXPECT_EQ(d.Control(kStartupShowCheck)->Checked, BST_CHECKED);
                const int width = d.Window.Right - d.Window.Left;
                const int height = d.Window.Bottom - d.Window.Top;
                EXPECT_GT(width, 0);
                EXPECT_EQ(d.Window.Left, (GetSystemMetrics(SM_CXSCREEN) - width) / 2);
                EXPECT_EQ(d.Window.Top, (GetSystemMetrics(SM_CYSCREEN) - height) / 2);
            } },
    };
    for (const OptionDialogCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(File());
        core::ResetAppSettings();
        if (c.before)
            c.before(core::Settings());
        // Without a help viewer help shows nothing; the dialog stays open.
        std::vector<DialogAction> actions { DialogAction::Help() };
        actions.insert(actions.end(), c.actions.begin(), c.actions.end());
        std::intptr_t result = -1;
        Dialog dialog = Run(c.templateId, c.procedure, actions, &result);
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(dialog.Ended, !c.actions.empty());
        EXPECT_EQ(std::filesystem::exists(File()), c.saves);
        c.check(core::Settings(), dialog);
        if (c.saves)
            c.check(Stored(), dialog);
        if (dialog.Ended) {
            EXPECT_EQ(shell::FontList(), nullptr) << "the font list is freed when the dialog ends";
        }
    }
}

} // namespace
