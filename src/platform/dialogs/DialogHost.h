#pragma once

// Who runs a modal dialog. Without a window system the headless host runs
// the procedure's initialisation and presses the template's default push
// button, so a print-only start goes on with the stored options. Tests
// install a scripted host; the window system installs its own.

#include "Dialog.h"

#include <optional>
#include <string>
#include <vector>

namespace platform {

class DialogHost {
public:
    virtual ~DialogHost() = default;
    // Runs the dialog until it ends; the caller reads Dialog::Result.
    virtual void RunModal(Dialog& dialog) = 0;
};

// Initialises the dialog, then presses its default push button, or the
// caption's OK (command 1) when it has none but carries one. A dialog that
// is still open afterwards is closed with result 0.
class HeadlessDialogHost : public DialogHost {
public:
    void RunModal(Dialog& dialog) override;
};

// One step of a scripted user.
struct DialogAction {
    enum class Kind { SetText, Check, Select, Press, Focus, Help, Paint, SettingChange };
    Kind Type = Kind::Press;
    int Id = 0;
    std::u16string Text;
    int Value = 0;

    // Types into an edit control (EN_CHANGE).
    static DialogAction SetText(int id, std::u16string text);
    // Sets a check box or radio button as a click would (BN_CLICKED); a radio
    // button clears the other radio buttons of its group.
    static DialogAction Check(int id, int state = BST_CHECKED);
    // Selects a list or combo entry by index (-1: none), with LBN_SELCHANGE.
    static DialogAction Select(int id, int index);
    // Presses a button (WM_COMMAND id, BN_CLICKED).
    static DialogAction Press(int id);
    // An edit control gains (EN_SETFOCUS) or loses (EN_KILLFOCUS) the focus.
    static DialogAction Focus(int id, bool gained);
    static DialogAction Help();
    static DialogAction Paint();
    static DialogAction SettingChange(int wParam);
};

// Initialises the dialog, then plays its actions in order until the dialog
// ends; actions after the end are not played. The dialog's last state stays
// readable for the test.
class ScriptedDialogHost : public DialogHost {
public:
    explicit ScriptedDialogHost(std::vector<DialogAction> actions);
    void RunModal(Dialog& dialog) override;

    int Runs() const { return runs_; }
    std::size_t ActionsPlayed() const { return played_; }
    // The dialog as it was when the last run ended.
    const std::optional<Dialog>& LastDialog() const { return last_; }

private:
    std::vector<DialogAction> actions_;
    int runs_ = 0;
    std::size_t played_ = 0;
    std::optional<Dialog> last_;
};

// Installs the host that runs dialogs; null restores the headless host. The
// caller keeps the host alive while it is installed.
void SetDialogHost(DialogHost* host);
DialogHost& CurrentDialogHost();

// Runs template `templateId` of `module` (else of the program module) as a
// modal dialog over `owner` with `procedure`; `param` reaches WM_INITDIALOG.
// Returns the value given to EndDialog, or -1 when no template exists.
std::intptr_t DialogBoxParamW(
    ModuleHandle module, unsigned templateId, WindowHandle owner, DialogProc procedure, std::intptr_t param);

} // namespace platform
