#include "PlainTextDialog.h"

#include "AppSettings.h"
#include "DialogResourceIds.h"
#include "FontChoices.h"
#include "FontControls.h"
#include "FontList.h"
#include "FullScreenDialog.h"
#include "Messages.h"
#include "PrintJob.h"
#include "StringIds.h"

#include <algorithm>
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

// "%d%s": the number and the suffix " Characters" of the string table.
std::u16string TabText(std::int32_t tabSize)
{
    std::u16string text = NumberText(tabSize);
    if (const char16_t* suffix = core::LoadResString(core::ResourceModule(), kStrCharactersSuffix, nullptr, 0))
        text += suffix;
    return text;
}

void FillTabSizes(DialogHandle dialog)
{
    for (std::size_t i = 0; i < kTabSizes.size(); ++i) {
        std::u16string text = TabText(kTabSizes[i]);
        SendDlgItemMessageW(dialog, kPlainTextTabCombo, CB_INSERTSTRING, i, Text(text.c_str()));
    }
    auto found = std::find(kTabSizes.begin(), kTabSizes.end(), core::Settings().TextTabSize);
    SendDlgItemMessageW(dialog, kPlainTextTabCombo, CB_SETCURSEL, found == kTabSizes.end() ? 0 : found - kTabSizes.begin(), 0);
}

std::intptr_t Initialize(DialogHandle dialog)
{
    PixelRect at = GetWindowRect(dialog);
    MoveWindow(dialog, at.Left, at.Top, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    SetForegroundWindow(dialog);
    SHFullScreen(dialog, kFullScreenState);
    core::AppSettings& settings = core::Settings();
    BuildFontList();
    FillFaceList(dialog, kPlainTextFaceList, settings.TextFontFace);
    CheckDlgButton(dialog, kPlainTextBoldCheck, settings.TextBold ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, kPlainTextItalicCheck, settings.TextItalic ? BST_CHECKED : BST_UNCHECKED);
    FillSizeCombo(dialog, kPlainTextSizeCombo, settings.TextFontSize);
    FillTabSizes(dialog);
    core::HideBusyCursor();
    return 1;
}

void Apply(DialogHandle dialog, int id)
{
    core::AppSettings& settings = core::Settings();
    dialogResult = 1;
    ReadSelectedFace(dialog, kPlainTextFaceList, settings.TextFontFace, &settings.TextFontCharset);
    FreeFontList();
    settings.TextBold = IsDlgButtonChecked(dialog, kPlainTextBoldCheck) == BST_CHECKED;
    settings.TextItalic = IsDlgButtonChecked(dialog, kPlainTextItalicCheck) == BST_CHECKED;
    ReadSizeCombo(dialog, kPlainTextSizeCombo, settings.TextFontSize);
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
