#include "Dialog.h"

#include <algorithm>

namespace platform {
namespace {

// The average character cell of the dialog font, in pixels, that dialog
// units are measured in: a horizontal unit is a quarter of its width, a
// vertical unit an eighth of its height.
constexpr int kBaseUnitWidth = 6;
constexpr int kBaseUnitHeight = 13;

// A handheld screen until a host says otherwise.
int screenWidth = 240;
int screenHeight = 320;

int DialogUnitsToPixelsX(int units)
{
    return units * kBaseUnitWidth / 4;
}
int DialogUnitsToPixelsY(int units)
{
    return units * kBaseUnitHeight / 8;
}

char16_t FoldCase(char16_t c)
{
    if (c >= u'A' && c <= u'Z')
        return static_cast<char16_t>(c - u'A' + u'a');
    return c;
}

// List boxes compare their items without regard to case.
int CompareItems(std::u16string_view a, std::u16string_view b)
{
    std::size_t count = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < count; ++i) {
        char16_t ca = FoldCase(a[i]);
        char16_t cb = FoldCase(b[i]);
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

std::u16string_view StringArgument(std::intptr_t lParam)
{
    const char16_t* text = reinterpret_cast<const char16_t*>(lParam);
    return text ? std::u16string_view(text) : std::u16string_view();
}

std::intptr_t AddItem(DialogControl& control, std::u16string_view text, bool sorted)
{
    auto& items = control.Items;
    std::size_t at = items.size();
    if (sorted) {
        at = 0;
        while (at < items.size() && CompareItems(items[at], text) <= 0)
            ++at;
    }
    items.insert(items.begin() + static_cast<std::ptrdiff_t>(at), std::u16string(text));
    if (control.Selection >= static_cast<int>(at))
        ++control.Selection;
    return static_cast<std::intptr_t>(at);
}

std::intptr_t InsertItem(DialogControl& control, std::uintptr_t index, std::u16string_view text)
{
    auto& items = control.Items;
    std::intptr_t at = static_cast<std::intptr_t>(index);
    if (at < 0 || at > static_cast<std::intptr_t>(items.size()))
        at = static_cast<std::intptr_t>(items.size());
    items.insert(items.begin() + at, std::u16string(text));
    if (control.Selection >= at)
        ++control.Selection;
    return at;
}

// Whole-item match without regard to case, searching after `start` (from
// the beginning for -1) and wrapping round once, as list boxes do.
std::intptr_t FindExact(const DialogControl& control, std::uintptr_t start, std::u16string_view text)
{
    const auto& items = control.Items;
    std::intptr_t count = static_cast<std::intptr_t>(items.size());
    std::intptr_t first = static_cast<std::intptr_t>(start);
    if (first < -1 || first >= count)
        first = -1;
    for (std::intptr_t step = 1; step <= count; ++step) {
        std::intptr_t index = (first + step) % count;
        if (CompareItems(items[static_cast<std::size_t>(index)], text) == 0)
            return index;
    }
    return LB_ERR;
}

std::intptr_t SetSelection(DialogControl& control, std::uintptr_t index)
{
    std::intptr_t at = static_cast<std::intptr_t>(index);
    if (at < 0 || at >= static_cast<std::intptr_t>(control.Items.size())) {
        control.Selection = -1;
        return at == -1 ? 0 : LB_ERR;
    }
    control.Selection = static_cast<int>(at);
    return at;
}

std::intptr_t ItemText(const DialogControl& control, std::uintptr_t index, std::intptr_t buffer)
{
    if (index >= control.Items.size())
        return LB_ERR;
    const std::u16string& text = control.Items[index];
    if (char16_t* out = reinterpret_cast<char16_t*>(buffer)) {
        std::copy(text.begin(), text.end(), out);
        out[text.size()] = u'\0';
    }
    return static_cast<std::intptr_t>(text.size());
}

std::intptr_t ItemTextLength(const DialogControl& control, std::uintptr_t index)
{
    if (index >= control.Items.size())
        return LB_ERR;
    return static_cast<std::intptr_t>(control.Items[index].size());
}

} // namespace

bool DialogControl::IsButton(std::uint32_t type) const
{
    return ClassName == kButtonClass && (Style & BS_TYPEMASK) == type;
}

bool DialogControl::IsListBox() const
{
    return ClassName == kListBoxClass;
}

bool DialogControl::IsComboBox() const
{
    return ClassName == kComboBoxClass;
}

Dialog::Dialog(const DialogTemplate& dialogTemplate, WindowHandle owner, DialogProc procedure, std::intptr_t param)
    : template_(&dialogTemplate)
    , owner_(owner)
    , procedure_(procedure)
    , param_(param)
{
    if (dialogTemplate.Title)
        Title = dialogTemplate.Title;
    const DialogUnitRect& at = dialogTemplate.Position;
    Window = { DialogUnitsToPixelsX(at.X), DialogUnitsToPixelsY(at.Y), DialogUnitsToPixelsX(at.X + at.Width),
        DialogUnitsToPixelsY(at.Y + at.Height) };
    for (std::size_t i = 0; i < dialogTemplate.ControlCount; ++i) {
        const DialogControlTemplate& source = dialogTemplate.Controls[i];
        DialogControl control;
        control.Id = source.Id;
        control.ClassName = source.ClassName ? source.ClassName : u"";
        control.Style = source.Style;
        control.Text = source.Text ? source.Text : u"";
        control.Position = source.Position;
        control.ReadOnly = control.ClassName == kEditClass && (source.Style & ES_READONLY);
        control.Enabled = !(source.Style & WS_DISABLED);
        controls_.push_back(std::move(control));
        if (Focus == 0 && (source.Style & WS_TABSTOP))
            Focus = source.Id;
    }
}

std::intptr_t Dialog::Send(unsigned message, std::uintptr_t wParam, std::intptr_t lParam)
{
    if (Ended || !procedure_)
        return 0;
    return procedure_(this, message, wParam, lParam);
}

std::intptr_t Dialog::Initialize()
{
    return Send(WM_INITDIALOG, 0, param_);
}

void Dialog::Press(int id)
{
    Send(WM_COMMAND, MakeCommandParam(id, BN_CLICKED), 0);
}

DialogControl* Dialog::Control(int id)
{
    for (DialogControl& control : controls_)
        if (control.Id == id)
            return &control;
    return nullptr;
}

const DialogControl* Dialog::Control(int id) const
{
    return const_cast<Dialog*>(this)->Control(id);
}

const DialogControl* Dialog::DefaultButton() const
{
    for (const DialogControl& control : controls_)
        if (control.IsButton(BS_DEFPUSHBUTTON))
            return &control;
    return nullptr;
}

std::intptr_t SendDlgItemMessageW(
    DialogHandle dialog, int id, unsigned message, std::uintptr_t wParam, std::intptr_t lParam)
{
    DialogControl* control = dialog ? dialog->Control(id) : nullptr;
    if (!control)
        return LB_ERR;
    bool list = control->IsListBox();
    bool combo = control->IsComboBox();
    switch (message) {
    case EM_SETREADONLY:
        control->ReadOnly = wParam != 0;
        return 1;
    case LB_ADDSTRING:
    case CB_ADDSTRING:
        if (!(list && message == LB_ADDSTRING) && !(combo && message == CB_ADDSTRING))
            return LB_ERR;
        return AddItem(*control, StringArgument(lParam),
            list ? (control->Style & LBS_SORT) != 0 : (control->Style & CBS_SORT) != 0);
    case CB_INSERTSTRING:
        if (!combo)
            return LB_ERR;
        return InsertItem(*control, wParam, StringArgument(lParam));
    case LB_RESETCONTENT:
    case CB_RESETCONTENT:
        control->Items.clear();
        control->Selection = -1;
        return 0;
    case LB_SETCURSEL:
    case CB_SETCURSEL:
        return SetSelection(*control, wParam);
    case LB_GETCURSEL:
    case CB_GETCURSEL:
        return control->Selection;
    case LB_GETTEXT:
        return ItemText(*control, wParam, lParam);
    case LB_GETTEXTLEN:
        return ItemTextLength(*control, wParam);
    case LB_FINDSTRINGEXACT:
        return FindExact(*control, wParam, StringArgument(lParam));
    default:
        return 0;
    }
}

int IsDlgButtonChecked(DialogHandle dialog, int id)
{
    const DialogControl* control = dialog ? dialog->Control(id) : nullptr;
    return control ? control->Checked : BST_UNCHECKED;
}

void CheckDlgButton(DialogHandle dialog, int id, int state)
{
    if (DialogControl* control = dialog ? dialog->Control(id) : nullptr)
        control->Checked = state;
}

void CheckRadioButton(DialogHandle dialog, int firstId, int lastId, int checkId)
{
    if (!dialog)
        return;
    for (DialogControl& control : dialog->Controls())
        if (control.Id >= firstId && control.Id <= lastId)
            control.Checked = control.Id == checkId ? BST_CHECKED : BST_UNCHECKED;
}

void SetDlgItemTextW(DialogHandle dialog, int id, std::u16string_view text)
{
    if (DialogControl* control = dialog ? dialog->Control(id) : nullptr)
        control->Text = text;
}

std::u16string GetDlgItemTextW(DialogHandle dialog, int id)
{
    const DialogControl* control = dialog ? dialog->Control(id) : nullptr;
    return control ? control->Text : std::u16string();
}

void SetFocus(DialogHandle dialog)
{
    if (dialog)
        dialog->Focus = 0;
}

std::intptr_t SendMessageW(DialogHandle dialog, unsigned message, std::uintptr_t wParam, std::intptr_t lParam)
{
    return dialog ? dialog->Send(message, wParam, lParam) : 0;
}

void EndDialog(DialogHandle dialog, std::intptr_t result)
{
    if (!dialog || dialog->Ended)
        return;
    dialog->Ended = true;
    dialog->Result = result;
}

int GetSystemMetrics(int index)
{
    switch (index) {
    case SM_CXSCREEN:
        return screenWidth;
    case SM_CYSCREEN:
        return screenHeight;
    default:
        return 0;
    }
}

void SetScreenSize(int width, int height)
{
    screenWidth = width;
    screenHeight = height;
}

PixelRect GetWindowRect(DialogHandle dialog)
{
    return dialog ? dialog->Window : PixelRect {};
}

void MoveWindow(DialogHandle dialog, int x, int y, int width, int height)
{
    if (dialog)
        dialog->Window = { x, y, x + width, y + height };
}

void SetForegroundWindow(DialogHandle dialog)
{
    if (dialog)
        dialog->Foreground = true;
}

void SHInitDialog(DialogHandle dialog, std::uint32_t flags)
{
    if (dialog)
        dialog->InitDialogFlags = flags;
}

void SHFullScreen(DialogHandle dialog, int state)
{
    if (dialog)
        dialog->FullScreenState = state;
}

} // namespace platform
