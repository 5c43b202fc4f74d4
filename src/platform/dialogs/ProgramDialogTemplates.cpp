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
    { kSheetSizingCustomRadio, kButtonClass, kRadio, u"Custom:", { 96, 74, 38, 10 } },
    { kSheetPercentEdit, kEditClass, kEdit | WS_GROUP, u"", { 134, 73, 16, 12 } },
    { kUnaddressedControl, kStaticClass, kChild | SS_LEFT, u"%", { 151, 75, 6, 10 } },
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

constexpr std::uint32_t kLabel = kChild | SS_LEFT;
constexpr std::uint32_t kList = kChild | WS_BORDER | WS_VSCROLL | WS_TABSTOP | LBS_SORT | LBS_NOTIFY;
constexpr std::uint32_t kDropDown = kChild | WS_VSCROLL | WS_TABSTOP | CBS_DROPDOWNLIST;

constexpr DialogControlTemplate kStartupControls[] = {
    { kUnaddressedControl, kStaticClass, kChild | SS_CENTER, u"Tallowin v3.570", { 4, 4, 152, 10 } },
    { kStartupDocumentsBitmap, kStaticClass, kChild | SS_BITMAP, u"#122", { 6, 18, 16, 16 } },
    { kUnaddressedControl, kStaticClass, kLabel, u"View list of Pocket Word docs and text files",
        { 26, 18, 130, 18 } },
    { kStartupWorkbooksBitmap, kStaticClass, kChild | SS_BITMAP, u"#129", { 6, 40, 16, 16 } },
    { kUnaddressedControl, kStaticClass, kLabel, u"View list of Pocket Excel files.", { 26, 43, 130, 10 } },
    { kStartupEmailBitmap, kStaticClass, kChild | SS_BITMAP, u"#123", { 6, 62, 16, 16 } },
    { kUnaddressedControl, kStaticClass, kLabel, u"View list of emails.", { 26, 65, 130, 10 } },
    { kUnaddressedControl, kStaticClass, kLabel, u"-->  Tap a document or email to print it", { 4, 84, 152, 10 } },
    { kStartupShowCheck, kButtonClass, kCheck, u"Show this screen on startup", { 4, 100, 106, 12 } },
    { kOkCommand, kButtonClass, kChild | WS_TABSTOP | BS_DEFPUSHBUTTON, u"OK", { 114, 99, 42, 14 } },
    { kUnaddressedControl, kStaticClass, kLabel, u"Made by the Tallowin developers.", { 4, 120, 152, 10 } },
    { kUnaddressedControl, kStaticClass, kLabel, u"Prints what your handheld keeps.",
        { 4, 130, 152, 10 } },
};

constexpr DialogControlTemplate kResizeControls[] = {
    { kResize50Radio, kButtonClass, kRadio | WS_GROUP, u"50%", { 8, 8, 80, 12 } },
    { kResize50Radio + 1, kButtonClass, kRadio, u"75%", { 8, 22, 80, 12 } },
    { kResize50Radio + 2, kButtonClass, kRadio, u"100% Normal", { 8, 36, 80, 12 } },
    { kResize50Radio + 3, kButtonClass, kRadio, u"125%", { 8, 50, 80, 12 } },
    { kResize150Radio, kButtonClass, kRadio, u"150%", { 8, 64, 80, 12 } },
    { kUnaddressedControl, kStaticClass, kLabel,
        u"Use this selection to reduce/enlarge all fonts, tab spacing and image sizes by selected percentage "
        u"amount.",
        { 4, 84, 152, 36 } },
    { kUnaddressedControl, kStaticClass, kLabel, u"Not used for Plain Text printing.", { 4, 122, 152, 10 } },
};

constexpr DialogControlTemplate kMailFontControls[] = {
    { kMailOrderFirstRadio, kButtonClass, kRadio | WS_GROUP, u"Subject, Sent, From, To, Cc", { 8, 12, 146, 10 } },
    { kMailOrderFirstRadio + 1, kButtonClass, kRadio, u"To, Cc, From, Subject, Sent", { 8, 23, 146, 10 } },
    { kMailOrderLastRadio, kButtonClass, kRadio, u"From, Sent, To, Cc, Subject", { 8, 34, 146, 10 } },
    { kUnaddressedControl, kButtonClass, kChild | BS_GROUPBOX, u"Header Print Order", { 2, 2, 155, 46 } },
    { kUnaddressedControl, kStaticClass, kLabel, u"Email Header Font:", { 4, 52, 152, 10 } },
    { kMailHeaderFaceList, kListBoxClass, kList | WS_GROUP, u"", { 4, 62, 152, 40 } },
    { kUnaddressedControl, kStaticClass, kLabel, u"Header Font Size:", { 4, 107, 62, 10 } },
    { kMailHeaderSizeCombo, kComboBoxClass, kDropDown, u"", { 66, 105, 28, 80 } },
    { kMailHeaderBoldCheck, kButtonClass, kCheck, u"Bold", { 98, 106, 28, 10 } },
    { kMailHeaderItalicCheck, kButtonClass, kCheck, u"Italic", { 126, 106, 30, 10 } },
    { kUnaddressedControl, kStaticClass, kLabel, u"Email Main Text Font:", { 4, 122, 152, 10 } },
    { kMailBodyFaceList, kListBoxClass, kList | WS_GROUP, u"", { 4, 132, 152, 40 } },
    { kUnaddressedControl, kStaticClass, kLabel, u"Text Font Size:", { 4, 177, 62, 10 } },
    { kMailBodySizeCombo, kComboBoxClass, kDropDown, u"", { 66, 175, 28, 80 } },
    { kMailBodyBoldCheck, kButtonClass, kCheck, u"Bold", { 98, 176, 28, 10 } },
    { kMailBodyItalicCheck, kButtonClass, kCheck, u"Italic", { 126, 176, 30, 10 } },
};

constexpr DialogTemplate kProgramTemplates[] = {
    { kStartupScreenDialog, u"Tallowin", kOptionsDialogStyle, 0, { 0, 0, 160, 142 }, kDialogFont,
        kDialogFontPoints, kStartupControls, std::size(kStartupControls) },
    { kResizeDialog, u"Resize Option...", kOptionsDialogStyle, WS_EX_CAPTIONOKBTN, { 0, 0, 160, 136 }, kDialogFont,
        kDialogFontPoints, kResizeControls, std::size(kResizeControls) },
    { kMailFontDialog, u"Email Font Options...", kOptionsDialogStyle, WS_EX_CAPTIONOKBTN, { 0, 0, 160, 190 },
        kDialogFont, kDialogFontPoints, kMailFontControls, std::size(kMailFontControls) },
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
