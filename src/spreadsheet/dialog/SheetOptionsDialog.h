#pragma once

// The spreadsheet print options dialog (template 124): sheet, range (full,
// selected, populated or a custom cell range), sizing (normal, fit to page
// or a custom percentage) and the gridline, centring, background and
// heading switches. Its choices go into the settings as the user makes
// them; "Continue" and "Quick Print" end it with 1 once the custom fields
// are valid, "Cancel" with 0.

#include <Dialog.h>

#include <cstdint>

namespace spreadsheet {

inline constexpr std::int16_t kSmallestCustomPercent = 25;
inline constexpr std::int16_t kLargestCustomPercent = 250;
inline constexpr std::int16_t kNormalPercent = 100;

std::intptr_t SheetOptionsDialogProc(
    platform::DialogHandle dialog, unsigned message, std::uintptr_t wParam, std::intptr_t lParam);

// Makes sheet `index` the dialog's sheet (the first when there is no such
// sheet) and rewrites the range labels and the custom range fields.
void FillRangeLabels(platform::DialogHandle dialog, std::uint16_t index);

// Runs the dialog over `owner` from the resource module's template; 1 to
// print, 0 when cancelled.
int RunSheetOptionsDialog(platform::WindowHandle owner);

} // namespace spreadsheet
