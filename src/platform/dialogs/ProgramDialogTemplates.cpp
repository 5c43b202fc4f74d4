#include "DialogResourceIds.h"
#include "DialogTemplate.h"

#include <iterator>

namespace platform {
namespace {

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

constexpr std::uint32_t kRadio = kChild | WS_TABSTOP | BS_AUTORADIOBUTTON;
constexpr std::uint32_t kCheck = kChild | WS_TABSTOP | BS_AUTOCHECKBOX;
constexpr std::uint32_t kEdit = kChild | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL;

constexpr DialogControlTemplate kSheetOptionsControls[] = {
    { kSheetRangeFullRadio, kButtonClass, kRadio | WS_GROUP, u"Full - ", { 8, 12, 146, 10 } },
    { kSheetRangeSelectedRadio, kButtonClass, kRadio, u"Selected: A1:F6", { 8, 23, 146, 10 } },
    { kSheetRangePopulatedRadio, kButtonClass, kRadio, u"Populated: ", { 8, 34, 146, 10 } },
    { kSheetRangeCustomRadio, kButtonClass, kRadio, u"Custom:", { 8, 46, 38, 10 } },
    { kSheetRangeFromEdit, kEditClass, kEdit | WS_GROUP, u"", { 48, 45, 40, 12 } },
    { kUnaddressedControl, kStaticClass, kChild | SS_LEFT, u"to", { 92, 47, 12, 10 } },
    { kSheetRangeToEdit, kEditClass, kEdit, u"", { 106, 45, 40, 12 } },
    { kUnaddressedControl, kButtonClass, kChild | BS_GROUPBOX, u"Spreadsheet Print", { 2, 2, 155, 60 } },
    { kSheetSizingNormalRadio, kButtonClass, kRadio | WS_GROUP, u"Normal", { 8, 74, 36, 10 } },
    { kSheetSizingFitRadio, kButtonClass, kRadio, u"Fit to Page", { 46, 74, 48, 10 } },
    { kSheetSizingCustomRadio, kButtonClass, kRadio, u"Custom:", { 96, 74, 34, 10 } },
    { kSheetPercentEdit, kEditClass, kEdit | WS_GROUP, u"", { 130, 73, 18, 12 } },
    { kUnaddressedControl, kStaticClass, kChild | SS_LEFT, u"%", { 150, 75, 6, 10 } },
    { kUnaddressedControl, kButtonClass, kChild | BS_GROUPBOX, u"Print Sizing", { 2, 64, 155, 24 } },
    { kSheetListCombo, kComboBoxClass, kChild | WS_VSCROLL | WS_TABSTOP | WS_GROUP | CBS_DROPDOWNLIST, u"",
        { 2, 92, 72, 60 } },
    { kSheetGridlinesCheck, kButtonClass, kCheck, u"Gridlines", { 78, 92, 40, 10 } },
    { kSheetCenterCheck, kButtonClass, kCheck, u"Center", { 120, 92, 36, 10 } },
    { kSheetBackgroundCheck, kButtonClass, kCheck, u"Background colors", { 2, 104, 76, 10 } },
    { kSheetHeadingsCheck, kButtonClass, kCheck, u"Row/Col headings", { 80, 104, 76, 10 } },
    { kOkCommand, kButtonClass, kChild | WS_TABSTOP | BS_DEFPUSHBUTTON, u"Continue", { 2, 115, 50, 12 } },
    { kSheetQuickPrintButton, kButtonClass, kChild | WS_TABSTOP | BS_PUSHBUTTON, u"Quick Print", { 55, 115, 50, 12 } },
    { kCancelCommand, kButtonClass, kChild | WS_TABSTOP | BS_PUSHBUTTON, u"Cancel", { 108, 115, 49, 12 } },
};

constexpr DialogTemplate kProgramTemplates[] = {
    { kPlainTextDialog, u"Plain Text Printing Options", kOptionsDialogStyle, WS_EX_CAPTIONOKBTN, { 0, 0, 160, 140 },
        kDialogFont, kDialogFontPoints, kPlainTextControls, std::size(kPlainTextControls) },
    { kSheetOptionsDialog, u"Pocket Excel Printing Options", kOptionsDialogStyle, 0, { 0, 0, 159, 129 }, kDialogFont,
        kDialogFontPoints, kSheetOptionsControls, std::size(kSheetOptionsControls) },
};

constexpr DialogTemplateTable kProgramTable { kProgramTemplates, std::size(kProgramTemplates) };

} // namespace

const DialogTemplateTable& ProgramDialogTemplates()
{
    return kProgramTable;
}

} // namespace platform
