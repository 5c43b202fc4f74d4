#pragma once

// A running dialog, independent of any toolkit: the state of the dialog and
// of its controls, the procedure that holds the dialog's logic, and the
// operations that procedure uses on controls by id. A host (headless,
// scripted, or the window system's) creates the dialog from its template,
// delivers the messages and shows the state.

#include "DialogTemplate.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

using WindowHandle = void*;

class Dialog;
using DialogHandle = Dialog*;

// The dialog procedure: returns non-zero when it handled the message.
using DialogProc
    = std::intptr_t (*)(DialogHandle dialog, unsigned message, std::uintptr_t wParam, std::intptr_t lParam);

// Messages a dialog procedure receives.
inline constexpr unsigned WM_PAINT = 0x000F;
inline constexpr unsigned WM_SETTINGCHANGE = 0x001A;
inline constexpr unsigned WM_HELP = 0x0053;
// The wParam of WM_SETTINGCHANGE when the input panel was shown or hidden.
inline constexpr std::uintptr_t kInputPanelSettingChange = 0x3002;
inline constexpr unsigned WM_INITDIALOG = 0x0110;
inline constexpr unsigned WM_COMMAND = 0x0111;

// Notifications carried in WM_COMMAND.
inline constexpr unsigned BN_CLICKED = 0;
inline constexpr unsigned LBN_SELCHANGE = 1;
inline constexpr unsigned CBN_SELCHANGE = 1;
inline constexpr unsigned EN_SETFOCUS = 0x0100;
inline constexpr unsigned EN_KILLFOCUS = 0x0200;
inline constexpr unsigned EN_CHANGE = 0x0300;

inline constexpr int IDOK_COMMAND = 1;
inline constexpr int IDCANCEL_COMMAND = 2;

// Control messages, for SendDlgItemMessageW. String arguments are passed as
// a const char16_t* in lParam; LB_GETTEXT writes into a char16_t buffer of
// at least LB_GETTEXTLEN + 1 units.
inline constexpr unsigned EM_SETREADONLY = 0x00CF;
inline constexpr unsigned LB_ADDSTRING = 0x0180;
inline constexpr unsigned LB_RESETCONTENT = 0x0184;
inline constexpr unsigned LB_SETCURSEL = 0x0186;
inline constexpr unsigned LB_GETCURSEL = 0x0188;
inline constexpr unsigned LB_GETTEXT = 0x0189;
inline constexpr unsigned LB_GETTEXTLEN = 0x018A;
inline constexpr unsigned LB_FINDSTRINGEXACT = 0x01A2;
inline constexpr unsigned CB_ADDSTRING = 0x0143;
inline constexpr unsigned CB_GETCURSEL = 0x0147;
inline constexpr unsigned CB_INSERTSTRING = 0x014A;
inline constexpr unsigned CB_RESETCONTENT = 0x014B;
inline constexpr unsigned CB_SETCURSEL = 0x014E;
inline constexpr std::intptr_t LB_ERR = -1;
inline constexpr std::intptr_t CB_ERR = -1;

inline constexpr int BST_UNCHECKED = 0;
inline constexpr int BST_CHECKED = 1;

inline constexpr int SM_CXSCREEN = 0;
inline constexpr int SM_CYSCREEN = 1;

constexpr std::uintptr_t MakeCommandParam(int id, unsigned notification)
{
    return (static_cast<std::uintptr_t>(notification & 0xFFFF) << 16) | (static_cast<unsigned>(id) & 0xFFFF);
}
constexpr int CommandId(std::uintptr_t wParam)
{
    return static_cast<int>(wParam & 0xFFFF);
}
constexpr unsigned CommandNotification(std::uintptr_t wParam)
{
    return static_cast<unsigned>((wParam >> 16) & 0xFFFF);
}

// A rectangle in screen pixels.
struct PixelRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
};

struct DialogControl {
    int Id = 0;
    std::u16string ClassName;
    std::uint32_t Style = 0;
    std::u16string Text;
    DialogUnitRect Position;
    int Checked = BST_UNCHECKED;
    std::vector<std::u16string> Items;
    int Selection = -1;
    bool ReadOnly = false;
    bool Enabled = true;

    bool IsButton(std::uint32_t type) const;
    bool IsListBox() const;
    bool IsComboBox() const;
};

class Dialog {
public:
    Dialog(const DialogTemplate& dialogTemplate, WindowHandle owner, DialogProc procedure, std::intptr_t param);

    // Delivers a message to the procedure; 0 once the dialog has ended.
    std::intptr_t Send(unsigned message, std::uintptr_t wParam, std::intptr_t lParam);
    // WM_INITDIALOG with the creation parameter.
    std::intptr_t Initialize();
    // A user's press of a button: WM_COMMAND with BN_CLICKED.
    void Press(int id);

    const DialogTemplate& Template() const { return *template_; }
    WindowHandle Owner() const { return owner_; }
    std::u16string Title;

    std::vector<DialogControl>& Controls() { return controls_; }
    const std::vector<DialogControl>& Controls() const { return controls_; }
    DialogControl* Control(int id);
    const DialogControl* Control(int id) const;
    // The first push button with BS_DEFPUSHBUTTON, or null.
    const DialogControl* DefaultButton() const;

    bool Ended = false;
    std::intptr_t Result = 0;
    int Focus = 0;
    bool Foreground = false;
    int FullScreenState = 0; // the last state given to SHFullScreen
    std::uint32_t InitDialogFlags = 0; // the flags given to SHInitDialog
    PixelRect Window;
    std::intptr_t UserData = 0;

private:
    const DialogTemplate* template_;
    WindowHandle owner_;
    DialogProc procedure_;
    std::intptr_t param_;
    std::vector<DialogControl> controls_;
};

// Operations on a dialog's controls. An id that names no control does
// nothing and reads as unchecked, empty or LB_ERR.
std::intptr_t SendDlgItemMessageW(
    DialogHandle dialog, int id, unsigned message, std::uintptr_t wParam, std::intptr_t lParam);
int IsDlgButtonChecked(DialogHandle dialog, int id);
void CheckDlgButton(DialogHandle dialog, int id, int state);
void CheckRadioButton(DialogHandle dialog, int firstId, int lastId, int checkId);
void SetDlgItemTextW(DialogHandle dialog, int id, std::u16string_view text);
std::u16string GetDlgItemTextW(DialogHandle dialog, int id);
// Gives the focus to the dialog itself rather than one of its controls.
void SetFocus(DialogHandle dialog);
void EndDialog(DialogHandle dialog, std::intptr_t result);
// Delivers a message to the dialog's own procedure.
std::intptr_t SendMessageW(DialogHandle dialog, unsigned message, std::uintptr_t wParam, std::intptr_t lParam);

// Window operations the dialogs use on themselves.
int GetSystemMetrics(int index);
void SetScreenSize(int width, int height); // the host tells the screen's size
PixelRect GetWindowRect(DialogHandle dialog);
void MoveWindow(DialogHandle dialog, int x, int y, int width, int height);
void SetForegroundWindow(DialogHandle dialog);
// The handheld shell's dialog set-up and full-screen calls; recorded on the
// dialog for the host to honour.
void SHInitDialog(DialogHandle dialog, std::uint32_t flags);
void SHFullScreen(DialogHandle dialog, int state);

} // namespace platform
