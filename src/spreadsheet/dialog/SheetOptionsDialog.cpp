#include "SheetOptionsDialog.h"

#include <AppSettings.h>
#include <CellRef.h>
#include <DialogHost.h>
#include <DialogResourceIds.h>
#include <FullScreenDialog.h>
#include <Messages.h>
#include <PxlWorkbook.h>
#include <StringIds.h>

#include <algorithm>
#include <string>
#include <string_view>

namespace spreadsheet {
namespace {

using namespace platform;

constexpr unsigned kRangeSelectedLabel = kStrRangeSelected;
constexpr unsigned kRangeFullLabel = kStrRangeFull;
constexpr unsigned kRangePopulatedLabel = kStrRangePopulated;
constexpr unsigned kCustomPercentMessage = kStrCustomSizeOutOfRange;
constexpr unsigned kInvalidCustomCellMessage = kStrInvalidCustomCell;
constexpr unsigned kCustomCellsOverlapMessage = kStrCustomCellsOverlap;

constexpr std::size_t kLabelUnits = 50;
constexpr std::size_t kPercentFieldUnits = 20;
constexpr std::size_t kCellFieldUnits = 10;
constexpr std::uint16_t kEmptySheetMark = 0xFFFF;
constexpr std::uint16_t kSheetFromWorkbook = 0xFFFF;
constexpr std::int32_t kRangeFull = 0;
constexpr std::int32_t kRangeSelected = 1;
constexpr std::int32_t kRangePopulated = 2;
constexpr std::int32_t kRangeCustom = 3;
constexpr std::uint8_t kSizingCustom = 2;
// A value well past the largest percentage; more digits do not change it.
constexpr std::int32_t kPercentCeiling = 100000;

// The sheet whose ranges the dialog shows.
std::size_t dialogSheet = 0;

std::intptr_t TextParam(const char16_t* text)
{
    return reinterpret_cast<std::intptr_t>(text);
}

std::u16string Name(std::uint16_t column, std::uint16_t row)
{
    char16_t name[kCellNameUnits] = {};
    CellName(name, column, row);
    return name;
}

// The label format of the string table with each "%s" replaced in turn.
std::u16string Label(unsigned id, std::u16string_view first, std::u16string_view second = {})
{
    char16_t format[kLabelUnits] = {};
    if (!core::LoadResString(core::ResourceModule(), id, format, kLabelUnits))
        return {};
    std::u16string text;
    int used = 0;
    for (const char16_t* p = format; *p; ++p) {
        if (p[0] == u'%' && p[1] == u's') {
            text += used++ == 0 ? first : second;
            ++p;
        } else {
            text.push_back(*p);
        }
    }
    return text;
}

void SetReadOnly(DialogHandle dialog, int id, bool readOnly)
{
    SendDlgItemMessageW(dialog, id, EM_SETREADONLY, readOnly ? 1 : 0, 0);
}

void SetRangeFieldsReadOnly(DialogHandle dialog)
{
    const bool readOnly = core::Options().SheetRange != kRangeCustom;
    SetReadOnly(dialog, kSheetRangeFromEdit, readOnly);
    SetReadOnly(dialog, kSheetRangeToEdit, readOnly);
}

void SetPercentFieldReadOnly(DialogHandle dialog)
{
    SetReadOnly(dialog, kSheetPercentEdit, core::Settings().SheetSizing != kSizingCustom);
}

void Check(DialogHandle dialog, int id, std::int32_t on)
{
    CheckDlgButton(dialog, id, on ? BST_CHECKED : BST_UNCHECKED);
}

std::intptr_t Initialize(DialogHandle dialog)
{
    core::PrepareFullScreenDialog(dialog, 0);
    core::AppSettings& settings = core::Settings();
    core::RunOptions& options = core::Options();
    CheckRadioButton(dialog, kSheetRangeFullRadio, kSheetRangeCustomRadio, kSheetRangeFullRadio + options.SheetRange);
    SetRangeFieldsReadOnly(dialog);
    CheckRadioButton(
        dialog, kSheetSizingNormalRadio, kSheetSizingCustomRadio, kSheetSizingNormalRadio + settings.SheetSizing);
    if (settings.SheetCustomPercent < kSmallestCustomPercent || settings.SheetCustomPercent > kLargestCustomPercent)
        settings.SheetCustomPercent = kNormalPercent;
    const std::string percent = std::to_string(settings.SheetCustomPercent);
    SetDlgItemTextW(dialog, kSheetPercentEdit, std::u16string(percent.begin(), percent.end()));
    SetPercentFieldReadOnly(dialog);
    Check(dialog, kSheetGridlinesCheck, settings.SheetGridlines);
    Check(dialog, kSheetCenterCheck, settings.SheetCenter);
    Check(dialog, kSheetBackgroundCheck, settings.SheetBackgroundColors);
    Check(dialog, kSheetHeadingsCheck, settings.SheetHeadings);
    SendDlgItemMessageW(dialog, kSheetListCombo, CB_RESETCONTENT, 0, 0);
    for (const SheetInfo& sheet : Workbook().Sheets)
        SendDlgItemMessageW(dialog, kSheetListCombo, CB_ADDSTRING, 0, TextParam(sheet.SheetName.c_str()));
    if (options.SheetIndex == kSheetFromWorkbook)
        options.SheetIndex = 0;
    SendDlgItemMessageW(dialog, kSheetListCombo, CB_SETCURSEL, options.SheetIndex, 0);
    FillRangeLabels(dialog, options.SheetIndex);
    return 1;
}

// The leading decimal digits of the field; 0 when there are none.
std::int32_t LeadingNumber(std::u16string_view text)
{
    std::int32_t value = 0;
    for (char16_t ch : text.substr(0, std::min(text.size(), kPercentFieldUnits))) {
        if (ch < u'0' || ch > u'9')
            break;
        value = std::min(value * 10 + (ch - u'0'), kPercentCeiling);
    }
    return value;
}

void NormaliseEmptySheet(SheetInfo& sheet)
{
    for (std::uint16_t* value : { &sheet.MinCol, &sheet.MinRow, &sheet.MaxCol, &sheet.MaxRow }) {
        if (*value == kEmptySheetMark)
            *value = 0;
    }
}

bool ReadCustomRange(DialogHandle dialog)
{
    core::RunOptions& options = core::Options();
    const std::u16string from = GetDlgItemTextW(dialog, kSheetRangeFromEdit).substr(0, kCellFieldUnits);
    const std::u16string to = GetDlgItemTextW(dialog, kSheetRangeToEdit).substr(0, kCellFieldUnits);
    if (!ParseCellRef(from.c_str(), options.SheetRangeFrom.Column, options.SheetRangeFrom.Row)
        || !ParseCellRef(to.c_str(), options.SheetRangeTo.Column, options.SheetRangeTo.Row)) {
        core::ShowMessageId(kInvalidCustomCellMessage);
        return false;
    }
    if (options.SheetRangeFrom.Column > options.SheetRangeTo.Column
        || options.SheetRangeFrom.Row > options.SheetRangeTo.Row) {
        core::ShowMessageId(kCustomCellsOverlapMessage);
        return false;
    }
    return true;
}

void Accept(DialogHandle dialog, int id)
{
    core::AppSettings& settings = core::Settings();
    core::RunOptions& options = core::Options();
    options.QuickPrintOnce = id == kSheetQuickPrintButton ? 1 : 0;
    settings.SheetGridlines = IsDlgButtonChecked(dialog, kSheetGridlinesCheck) == BST_CHECKED;
    settings.SheetCenter = IsDlgButtonChecked(dialog, kSheetCenterCheck) == BST_CHECKED;
    settings.SheetBackgroundColors = IsDlgButtonChecked(dialog, kSheetBackgroundCheck) == BST_CHECKED;
    settings.SheetHeadings = IsDlgButtonChecked(dialog, kSheetHeadingsCheck) == BST_CHECKED;
    options.SheetIndex = static_cast<std::uint16_t>(SendDlgItemMessageW(dialog, kSheetListCombo, CB_GETCURSEL, 0, 0));

    if (settings.SheetSizing == kSizingCustom) {
        const std::int32_t percent = LeadingNumber(GetDlgItemTextW(dialog, kSheetPercentEdit));
        settings.SheetCustomPercent = static_cast<std::int16_t>(std::min<std::int32_t>(percent, INT16_MAX));
        if (percent < kSmallestCustomPercent || percent > kLargestCustomPercent) {
            core::ShowMessageId(kCustomPercentMessage);
            return;
        }
    }
    SheetInfo* sheet = SheetAt(dialogSheet);
    if (sheet)
        NormaliseEmptySheet(*sheet);
    switch (options.SheetRange) {
    case kRangeCustom:
        if (!ReadCustomRange(dialog))
            return;
        break;
    case kRangeSelected:
        if (sheet) {
            options.SheetRangeFrom = { sheet->SelFirstCol, sheet->SelFirstRow };
            options.SheetRangeTo = { sheet->SelLastCol, sheet->SelLastRow };
        }
        break;
    case kRangePopulated:
        if (sheet) {
            options.SheetRangeFrom = { sheet->MinCol, sheet->MinRow };
            options.SheetRangeTo = { sheet->MaxCol, sheet->MaxRow };
        }
        break;
    default:
        if (sheet) {
            options.SheetRangeFrom = { 0, 0 };
            options.SheetRangeTo = { sheet->MaxCol, sheet->MaxRow };
        }
        break;
    }
    EndDialog(dialog, 1);
}

std::intptr_t Command(DialogHandle dialog, int id)
{
    core::AppSettings& settings = core::Settings();
    core::RunOptions& options = core::Options();
    switch (id) {
    case kSheetSizingNormalRadio:
    case kSheetSizingFitRadio:
    case kSheetSizingCustomRadio:
        settings.SheetSizing = static_cast<std::uint8_t>(id - kSheetSizingNormalRadio);
        SetPercentFieldReadOnly(dialog);
        return 1;
    case kSheetRangeFullRadio:
    case kSheetRangeSelectedRadio:
    case kSheetRangePopulatedRadio:
    case kSheetRangeCustomRadio:
        options.SheetRange = id - kSheetRangeFullRadio;
        SetRangeFieldsReadOnly(dialog);
        return 1;
    case kSheetListCombo: {
        const std::intptr_t selected = SendDlgItemMessageW(dialog, kSheetListCombo, CB_GETCURSEL, 0, 0);
        if (selected != CB_ERR && selected != options.SheetIndex)
            FillRangeLabels(dialog, static_cast<std::uint16_t>(selected));
        return 1;
    }
    case kCancelCommand:
        EndDialog(dialog, 0);
        return 1;
    case kOkCommand:
    case kSheetQuickPrintButton:
        Accept(dialog, id);
        return 1;
    default:
        return 0;
    }
}

// The percent field (while sizing is Custom) and the range fields (while
// the range is Custom) raise the input panel while they have the focus.
std::intptr_t TypingFocus(int id, bool gained)
{
    const bool typing = (id == kSheetPercentEdit && core::Settings().SheetSizing == kSizingCustom)
        || ((id == kSheetRangeFromEdit || id == kSheetRangeToEdit) && core::Options().SheetRange == kRangeCustom);
    if (!typing)
        return 0;
    core::ShowInputPanel(gained ? 1 : 0);
    return 1;
}

} // namespace

void FillRangeLabels(DialogHandle dialog, std::uint16_t index)
{
    core::RunOptions& options = core::Options();
    options.SheetIndex = index;
    dialogSheet = index < Workbook().Sheets.size() ? index : 0;
    const SheetInfo* sheet = SheetAt(dialogSheet);
    if (!sheet)
        return;
    SetDlgItemTextW(dialog, kSheetRangeSelectedRadio,
        Label(kRangeSelectedLabel, Name(sheet->SelFirstCol, sheet->SelFirstRow),
            Name(sheet->SelLastCol, sheet->SelLastRow)));
    SetDlgItemTextW(dialog, kSheetRangeFullRadio, Label(kRangeFullLabel, Name(sheet->MaxCol, sheet->MaxRow)));
    SetDlgItemTextW(dialog, kSheetRangePopulatedRadio,
        Label(kRangePopulatedLabel, Name(sheet->MinCol, sheet->MinRow), Name(sheet->MaxCol, sheet->MaxRow)));
    if (options.SheetOptionsFromCommandLine) {
        SetDlgItemTextW(dialog, kSheetRangeFromEdit, Name(options.SheetRangeFrom.Column, options.SheetRangeFrom.Row));
        SetDlgItemTextW(dialog, kSheetRangeToEdit, Name(options.SheetRangeTo.Column, options.SheetRangeTo.Row));
    } else {
        SetDlgItemTextW(dialog, kSheetRangeFromEdit, Name(0, 0));
        SetDlgItemTextW(dialog, kSheetRangeToEdit, Name(sheet->MaxCol, sheet->MaxRow));
    }
}

std::intptr_t SheetOptionsDialogProc(DialogHandle dialog, unsigned message, std::uintptr_t wParam, std::intptr_t)
{
    switch (message) {
    case WM_INITDIALOG:
        return Initialize(dialog);
    case WM_PAINT:
        core::PrepareFullScreenDialog(dialog, 0);
        return 0;
    case WM_COMMAND:
        if (CommandNotification(wParam) == EN_SETFOCUS || CommandNotification(wParam) == EN_KILLFOCUS)
            return TypingFocus(CommandId(wParam), CommandNotification(wParam) == EN_SETFOCUS);
        return Command(dialog, CommandId(wParam));
    case WM_HELP:
        core::ShowHelpTopic(core::kHelpTopicSheetOptions);
        return 0;
    case WM_SETTINGCHANGE:
        // The input panel came or went: the dialog keeps the keyboard. Other
        // setting changes need nothing of a dialog on this desktop.
        if (wParam == kInputPanelSettingChange)
            SetFocus(dialog);
        return 0;
    default:
        return 0;
    }
}

int RunSheetOptionsDialog(WindowHandle owner)
{
    return DialogBoxParamW(core::ResourceModule(), kSheetOptionsDialog, owner, SheetOptionsDialogProc, 0) == 1 ? 1 : 0;
}

} // namespace spreadsheet
