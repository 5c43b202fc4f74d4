#include "DialogResourceIds.h"
#include "DialogTemplate.h"

#include <iterator>

namespace platform
{
namespace
{

constexpr const char16_t* kDialogFont = u"Tahoma";
constexpr std::int16_t kDialogFontPoints = 8;
constexpr std::uint32_t kOptionsDialogStyle = WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_SETFONT;
constexpr std::uint32_t kChild = WS_CHILD | WS_VISIBLE;

constexpr DialogControlTemplate kPlainTextControls[] = {
    { kPlainTextFaceList, kListBoxClass, kChild | WS_BORDER | WS_VSCROLL | WS_TABSTOP | LBS_SORT | LBS_NOTIFY, u"",
        { 4, 4, 152, 72 } },
    { kPlainTextSizeCombo, kComboBoxClass, kChild | WS_VSCROLL | WS_TABSTOP | CBS_DROPDOWNLIST, u"",
        { 4, 80, 40, 80 } },
    { kPlainTextBoldCheck, kButtonClass, kChild | WS_TABSTOP | BS_AUTOCHECKBOX, u"Bold", { 52, 81, 44, 12 } },
    { kPlainTextItalicCheck, kButtonClass, kChild | WS_TABSTOP | BS_AUTOCHECKBOX, u"Italic", { 100, 81, 48, 12 } },
    { kUnaddressedControl, kStaticClass, kChild | SS_LEFT, u"Tab Size:", { 4, 100, 40, 10 } },
    { kPlainTextTabCombo, kComboBoxClass, kChild | WS_VSCROLL | WS_TABSTOP | CBS_DROPDOWNLIST, u"",
        { 46, 98, 70, 80 } },
    { kPlainTextPrintButton, kButtonClass, kChild | WS_TABSTOP | BS_DEFPUSHBUTTON, u"Print Plain Text",
        { 4, 118, 84, 16 } },
    { kCancelCommand, kButtonClass, kChild | WS_TABSTOP | BS_PUSHBUTTON, u"Cancel", { 96, 118, 60, 16 } },
};

constexpr DialogTemplate kProgramTemplates[] = {
    { kPlainTextDialog, u"Plain Text Printing Options", kOptionsDialogStyle, WS_EX_CAPTIONOKBTN, { 0, 0, 160, 140 },
        kDialogFont, kDialogFontPoints, kPlainTextControls, std::size(kPlainTextControls) },
};

constexpr DialogTemplateTable kProgramTable { kProgramTemplates, std::size(kProgramTemplates) };

} // namespace

const DialogTemplateTable& ProgramDialogTemplates()
{
    return kProgramTable;
}

} // namespace platform
