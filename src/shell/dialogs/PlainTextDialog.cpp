#include "PlainTextDialog.h"

#include "AppSettings.h"
#include "DialogResourceIds.h"
#include "FontChoices.h"
#include "FontList.h"
#include "FullScreenDialog.h"
#include "Messages.h"
#include "PrintJob.h"
#include "StringIds.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace shell {
namespace {

using namespace platform;

constexpr int kCancelledStatus = 1;
// Task bar and input-panel button hidden, as the full-screen set-up does.
constexpr int kFullScreenState = 10;

int dialogResult = 0;

std::intptr_t Text(const char16_t* text)
{
    return reinterpret_cast<std::intptr_t>(text);
}

std::u16string NumberText(std::int32_t value)
{
    char digits[16];
    std::snprintf(digits, sizeof digits, "%d", static_cast<int>(value));
    return std::u16string(digits, digits + std::char_traits<char>::length(digits));
}

// "%d%s": the number and the suffix " Characters" of the string table.
std::u16string TabText(std::int32_t tabSize)
{
    std::u16string text = NumberText(tabSize);
    if (const char16_t* suffix = core::LoadResString(core::ResourceModule(), kStrCharactersSuffix, nullptr, 0))
        text += suffix;
    return text;
}

template <std::size_t N> std::intptr_t IndexOf(const std::array<std::int32_t, N>& table, std::int32_t value)
{
    auto found = std::find(table.begin(), table.end(), value);
    return found == table.end() ? 0 : found - table.begin();
}

void FillFaces(DialogHandle dialog)
{
    BuildFontList();
    SendDlgItemMessageW(dialog, kPlainTextFaceList, LB_RESETCONTENT, 0, 0);
    FillFontListBox(dialog, kPlainTextFaceList);
    std::intptr_t index = SendDlgItemMessageW(dialog, kPlainTextFaceList, LB_FINDSTRINGEXACT,
        static_cast<std::uintptr_t>(-1), Text(core::Settings().TextFontFace));
    SendDlgItemMessageW(dialog, kPlainTextFaceList, LB_SETCURSEL, index == LB_ERR ? 0 : index, 0);
}

void FillSizes(DialogHandle dialog)
{
    for (std::size_t i = 0; i < kFontSizes.size(); ++i) {
        std::u16string text = NumberText(kFontSizes[i]);
        SendDlgItemMessageW(dialog, kPlainTextSizeCombo, CB_INSERTSTRING, i, Text(text.c_str()));
    }
    SendDlgItemMessageW(
        dialog, kPlainTextSizeCombo, CB_SETCURSEL, IndexOf(kFontSizes, core::Settings().TextFontSize), 0);
}

void FillTabSizes(DialogHandle dialog)
{
    for (std::size_t i = 0; i < kTabSizes.size(); ++i) {
        std::u16string text = TabText(kTabSizes[i]);
        SendDlgItemMessageW(dialog, kPlainTextTabCombo, CB_INSERTSTRING, i, Text(text.c_str()));
    }
    SendDlgItemMessageW(dialog, kPlainTextTabCombo, CB_SETCURSEL, IndexOf(kTabSizes, core::Settings().TextTabSize), 0);
}

std::intptr_t Initialize(DialogHandle dialog)
{
    PixelRect at = GetWindowRect(dialog);
    MoveWindow(dialog, at.Left, at.Top, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    SetForegroundWindow(dialog);
    SHFullScreen(dialog, kFullScreenState);
    FillFaces(dialog);
    core::AppSettings& settings = core::Settings();
    CheckDlgButton(dialog, kPlainTextBoldCheck, settings.TextBold ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, kPlainTextItalicCheck, settings.TextItalic ? BST_CHECKED : BST_UNCHECKED);
    FillSizes(dialog);
    FillTabSizes(dialog);
    core::HideBusyCursor();
    return 1;
}

// The face of the selected entry; an empty list (no selection) keeps the
// face in force.
void ApplySelectedFace(DialogHandle dialog)
{
    core::AppSettings& settings = core::Settings();
    std::intptr_t selected = SendDlgItemMessageW(dialog, kPlainTextFaceList, LB_GETCURSEL, 0, 0);
    std::intptr_t length = SendDlgItemMessageW(dialog, kPlainTextFaceList, LB_GETTEXTLEN, selected, 0);
    if (selected == LB_ERR || length == LB_ERR)
        return;
    std::u16string face(static_cast<std::size_t>(length), u'\0');
    SendDlgItemMessageW(dialog, kPlainTextFaceList, LB_GETTEXT, selected, Text(face.data()));
    std::size_t kept = std::min(face.size(), core::kFaceNameUnits - 1);
    std::fill(std::begin(settings.TextFontFace), std::end(settings.TextFontFace), u'\0');
    std::copy_n(face.begin(), kept, settings.TextFontFace);
    FindFontCharset(settings.TextFontFace, &settings.TextFontCharset);
}

void Apply(DialogHandle dialog, int id)
{
    core::AppSettings& settings = core::Settings();
    dialogResult = 1;
    ApplySelectedFace(dialog);
    FreeFontList();
    settings.TextBold = IsDlgButtonChecked(dialog, kPlainTextBoldCheck) == BST_CHECKED;
    settings.TextItalic = IsDlgButtonChecked(dialog, kPlainTextItalicCheck) == BST_CHECKED;
    std::intptr_t size = SendDlgItemMessageW(dialog, kPlainTextSizeCombo, CB_GETCURSEL, 0, 0);
    if (size >= 0 && size < static_cast<std::intptr_t>(kFontSizes.size()))
        settings.TextFontSize = kFontSizes[static_cast<std::size_t>(size)];
    std::intptr_t tab = SendDlgItemMessageW(dialog, kPlainTextTabCombo, CB_GETCURSEL, 0, 0);
    if (tab >= 0 && tab < static_cast<std::intptr_t>(kTabSizes.size()))
        settings.TextTabSize = kTabSizes[static_cast<std::size_t>(tab)];
    EndDialog(dialog, id);
}

void Cancel(DialogHandle dialog)
{
    printengine::Job().FinalStatus = kCancelledStatus;
    dialogResult = 0;
    FreeFontList();
    EndDialog(dialog, kCancelCommand);
}

} // namespace

int& PlainTextDialogResult()
{
    return dialogResult;
}

std::intptr_t PlainTextDialogProc(DialogHandle dialog, unsigned message, std::uintptr_t wParam, std::intptr_t lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return Initialize(dialog);
    case WM_PAINT:
        core::PrepareFullScreenDialog(dialog, 0);
        return 0;
    case WM_COMMAND:
        switch (CommandId(wParam)) {
        case kPlainTextPrintButton:
        case kOkCommand:
            Apply(dialog, CommandId(wParam));
            return 1;
        case kCancelCommand:
            Cancel(dialog);
            return 1;
        }
        return 0;
    default:
        return 0;
    }
}

} // namespace shell
