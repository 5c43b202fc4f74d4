#include "DialogHost.h"

namespace platform {
namespace {

DialogHost* installedHost = nullptr;

// Radio buttons belong together from one that starts a group (WS_GROUP) to
// the next control that starts another.
void ClearRadioGroup(Dialog& dialog, const DialogControl& checked)
{
    auto& controls = dialog.Controls();
    std::size_t at = 0;
    while (&controls[at] != &checked)
        ++at;
    std::size_t first = at;
    while (first > 0 && !(controls[first].Style & WS_GROUP))
        --first;
    for (std::size_t i = first; i < controls.size(); ++i) {
        if (i > first && (controls[i].Style & WS_GROUP))
            break;
        if (&controls[i] != &checked && controls[i].IsButton(BS_AUTORADIOBUTTON))
            controls[i].Checked = BST_UNCHECKED;
    }
}

void Play(Dialog& dialog, const DialogAction& action)
{
    using Kind = DialogAction::Kind;
    DialogControl* control = dialog.Control(action.Id);
    switch (action.Type) {
    case Kind::SetText:
        if (control) {
            control->Text = action.Text;
            dialog.Send(WM_COMMAND, MakeCommandParam(action.Id, EN_CHANGE), 0);
        }
        break;
    case Kind::Check:
        if (control) {
            control->Checked = action.Value;
            if (action.Value == BST_CHECKED && control->IsButton(BS_AUTORADIOBUTTON))
                ClearRadioGroup(dialog, *control);
            dialog.Press(action.Id);
        }
        break;
    case Kind::Select:
        if (control) {
            SendDlgItemMessageW(&dialog, action.Id, control->IsComboBox() ? CB_SETCURSEL : LB_SETCURSEL,
                static_cast<std::uintptr_t>(static_cast<std::intptr_t>(action.Value)), 0);
            dialog.Send(WM_COMMAND, MakeCommandParam(action.Id, LBN_SELCHANGE), 0);
        }
        break;
    case Kind::Press:
        dialog.Press(action.Id);
        break;
    case Kind::Focus:
        dialog.Send(WM_COMMAND, MakeCommandParam(action.Id, action.Value != 0 ? EN_SETFOCUS : EN_KILLFOCUS), 0);
        break;
    case Kind::Help:
        dialog.Send(WM_HELP, 0, 0);
        break;
    case Kind::Paint:
        dialog.Send(WM_PAINT, 0, 0);
        break;
    case Kind::SettingChange:
        dialog.Send(WM_SETTINGCHANGE, static_cast<std::uintptr_t>(action.Value), 0);
        break;
    }
}

} // namespace

void HeadlessDialogHost::RunModal(Dialog& dialog)
{
    dialog.Initialize();
    if (!dialog.Ended) {
        if (const DialogControl* button = dialog.DefaultButton())
            dialog.Press(button->Id);
        else if (dialog.Template().ExtendedStyle & WS_EX_CAPTIONOKBTN)
            dialog.Press(IDOK_COMMAND);
    }
    if (!dialog.Ended)
        EndDialog(&dialog, 0);
}

DialogAction DialogAction::SetText(int id, std::u16string text)
{
    return { Kind::SetText, id, std::move(text), 0 };
}

DialogAction DialogAction::Check(int id, int state)
{
    return { Kind::Check, id, {}, state };
}

DialogAction DialogAction::Select(int id, int index)
{
    return { Kind::Select, id, {}, index };
}

DialogAction DialogAction::Press(int id)
{
    return { Kind::Press, id, {}, 0 };
}

DialogAction DialogAction::Focus(int id, bool gained)
{
    return { Kind::Focus, id, {}, gained ? 1 : 0 };
}

DialogAction DialogAction::Help()
{
    return { Kind::Help, 0, {}, 0 };
}

DialogAction DialogAction::Paint()
{
    return { Kind::Paint, 0, {}, 0 };
}

DialogAction DialogAction::SettingChange(int wParam)
{
    return { Kind::SettingChange, 0, {}, wParam };
}

ScriptedDialogHost::ScriptedDialogHost(std::vector<DialogAction> actions)
    : actions_(std::move(actions))
{
}

void ScriptedDialogHost::RunModal(Dialog& dialog)
{
    ++runs_;
    played_ = 0;
    dialog.Initialize();
    for (const DialogAction& action : actions_) {
        if (dialog.Ended)
            break;
        Play(dialog, action);
        ++played_;
    }
    last_ = dialog;
}

void SetDialogHost(DialogHost* host)
{
    installedHost = host;
}

DialogHost& CurrentDialogHost()
{
    static HeadlessDialogHost headless;
    return installedHost ? *installedHost : headless;
}

std::intptr_t DialogBoxParamW(
    ModuleHandle module, unsigned templateId, WindowHandle owner, DialogProc procedure, std::intptr_t param)
{
    const DialogTemplate* dialogTemplate = FindDialogTemplate(module, templateId);
    if (!dialogTemplate)
        return -1;
    Dialog dialog(*dialogTemplate, owner, procedure, param);
    CurrentDialogHost().RunModal(dialog);
    return dialog.Result;
}

} // namespace platform
