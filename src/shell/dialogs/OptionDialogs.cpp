#include "OptionDialogs.h"

#include "AppSettings.h"
#include "DialogResourceIds.h"
#include "FontControls.h"
#include "FontList.h"
#include "FullScreenDialog.h"
#include "Messages.h"
#include "SettingsStore.h"

namespace shell {

using namespace platform;

namespace {

int CheckState(bool on)
{
    return on ? BST_CHECKED : BST_UNCHECKED;
}

bool Checked(DialogHandle dialog, int id)
{
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

std::intptr_t InitializeMailFonts(DialogHandle dialog)
{
    core::AppSettings& settings = core::Settings();
    core::PrepareFullScreenDialog(dialog, 0);
    CheckRadioButton(
        dialog, kMailOrderFirstRadio, kMailOrderLastRadio, kMailOrderFirstRadio + settings.MailHeaderOrder);
    BuildFontList();
    FillFaceList(dialog, kMailHeaderFaceList, settings.MailHeaderFontFace);
    FillFaceList(dialog, kMailBodyFaceList, settings.MailBodyFontFace);
    CheckDlgButton(dialog, kMailHeaderBoldCheck, CheckState(settings.MailHeaderBold != 0));
    CheckDlgButton(dialog, kMailHeaderItalicCheck, CheckState(settings.MailHeaderItalic != 0));
    CheckDlgButton(dialog, kMailBodyBoldCheck, CheckState(settings.MailBodyBold != 0));
    CheckDlgButton(dialog, kMailBodyItalicCheck, CheckState(settings.MailBodyItalic != 0));
    FillSizeCombo(dialog, kMailHeaderSizeCombo, settings.MailHeaderFontSize);
    FillSizeCombo(dialog, kMailBodySizeCombo, settings.MailBodyFontSize);
    core::HideBusyCursor();
    return 1;
}

void ApplyMailFonts(DialogHandle dialog, int id)
{
    core::AppSettings& settings = core::Settings();
    ReadSelectedFace(dialog, kMailHeaderFaceList, settings.MailHeaderFontFace, &settings.MailHeaderCharset);
    settings.MailHeaderBold = Checked(dialog, kMailHeaderBoldCheck);
    settings.MailHeaderItalic = Checked(dialog, kMailHeaderItalicCheck);
    ReadSizeCombo(dialog, kMailHeaderSizeCombo, settings.MailHeaderFontSize);
    ReadSelectedFace(dialog, kMailBodyFaceList, settings.MailBodyFontFace, &settings.MailBodyCharset);
    FreeFontList();
    settings.MailBodyBold = Checked(dialog, kMailBodyBoldCheck);
    settings.MailBodyItalic = Checked(dialog, kMailBodyItalicCheck);
    ReadSizeCombo(dialog, kMailBodySizeCombo, settings.MailBodyFontSize);
    core::SaveSettings();
    EndDialog(dialog, id);
}

} // namespace

std::intptr_t ResizeDialogProc(DialogHandle dialog, unsigned message, std::uintptr_t wParam, std::intptr_t)
{
    core::AppSettings& settings = core::Settings();
    switch (message) {
    case WM_INITDIALOG:
        core::PrepareFullScreenDialog(dialog, 0);
        CheckRadioButton(dialog, kResize50Radio, kResize150Radio, settings.ResizeChoice);
        return 1;
    case WM_PAINT:
        core::PrepareFullScreenDialog(dialog, 0);
        return 0;
    case WM_COMMAND: {
        const int id = CommandId(wParam);
        if (id >= kResize50Radio && id <= kResize150Radio) {
            settings.ResizeChoice = id;
            return 1;
        }
        if (id == kOkCommand || id == kCancelCommand) {
            core::SaveSettings();
            core::SetResizeChoice(settings.ResizeChoice);
            EndDialog(dialog, id);
            return 1;
        }
        return 0;
    }
    case WM_HELP:
        core::ShowHelpTopic(core::kHelpTopicResizeDialog);
        return 1;
    default:
        return 0;
    }
}

std::intptr_t MailFontDialogProc(DialogHandle dialog, unsigned message, std::uintptr_t wParam, std::intptr_t)
{
    switch (message) {
    case WM_INITDIALOG:
        return InitializeMailFonts(dialog);
    case WM_PAINT:
        core::PrepareFullScreenDialog(dialog, 0);
        return 0;
    case WM_COMMAND: {
        const int id = CommandId(wParam);
        if (id >= kMailOrderFirstRadio && id <= kMailOrderLastRadio) {
            core::Settings().MailHeaderOrder = static_cast<std::int16_t>(id - kMailOrderFirstRadio);
            return 1;
        }
        if (id == kOkCommand || id == kCancelCommand) {
            ApplyMailFonts(dialog, id);
            return 1;
        }
        return 0;
    }
    case WM_HELP:
        core::ShowHelpTopic(core::kHelpTopicEmailOptions);
        return 1;
    default:
        return 0;
    }
}

std::intptr_t StartupDialogProc(DialogHandle dialog, unsigned message, std::uintptr_t wParam, std::intptr_t)
{
    core::AppSettings& settings = core::Settings();
    switch (message) {
    case WM_INITDIALOG:
        CheckDlgButton(dialog, kStartupShowCheck, CheckState(settings.ShowStartupScreen));
        SendMessageW(dialog, WM_SETTINGCHANGE, kInputPanelSettingChange, 0);
        return 1;
    case WM_SETTINGCHANGE:
        if (wParam == kInputPanelSettingChange) {
            const PixelRect at = GetWindowRect(dialog);
            const int width = at.Right - at.Left;
            const int height = at.Bottom - at.Top;
            MoveWindow(dialog, (GetSystemMetrics(SM_CXSCREEN) - width) / 2, (GetSystemMetrics(SM_CYSCREEN) - height) / 2,
                width, height);
        }
        return 0;
    case WM_COMMAND:
        if (CommandId(wParam) == kOkCommand) {
            const bool show = Checked(dialog, kStartupShowCheck);
            if (show != settings.ShowStartupScreen) {
                settings.ShowStartupScreen = show;
                core::SaveSettings();
            }
            EndDialog(dialog, kOkCommand);
            return 1;
        }
        return 0;
    case WM_HELP:
        core::ShowHelpTopic(core::kHelpTopicStartupScreen);
        return 1;
    default:
        return 0;
    }
}

} // namespace shell
