#pragma once

// Ids of the program's dialog templates and of their controls, shared by the
// templates and the procedures that run them (the resource header of the
// program). A language library's templates keep the same ids.

namespace platform {

// The plain-text options dialog.
inline constexpr unsigned kPlainTextDialog = 104;
inline constexpr int kPlainTextSizeCombo = 5;
inline constexpr int kPlainTextTabCombo = 6;
inline constexpr int kPlainTextFaceList = 7;
inline constexpr int kPlainTextPrintButton = 8;
inline constexpr int kPlainTextBoldCheck = 1005;
inline constexpr int kPlainTextItalicCheck = 1006;

// The start-up screen, also shown as the About box.
inline constexpr unsigned kStartupScreenDialog = 103;
inline constexpr int kStartupShowCheck = 1029;
inline constexpr int kStartupDocumentsBitmap = 122;
inline constexpr int kStartupWorkbooksBitmap = 129;
inline constexpr int kStartupEmailBitmap = 123;

// The resize dialog: one radio button per scale, 50 % to 150 %.
inline constexpr unsigned kResizeDialog = 108;
inline constexpr int kResize50Radio = 1000;
inline constexpr int kResize150Radio = 1004;

// The e-mail font options dialog.
inline constexpr unsigned kMailFontDialog = 109;
inline constexpr int kMailOrderFirstRadio = 1026;
inline constexpr int kMailOrderLastRadio = 1028;
inline constexpr int kMailHeaderFaceList = 1020;
inline constexpr int kMailHeaderSizeCombo = 1021;
inline constexpr int kMailHeaderBoldCheck = 1022;
inline constexpr int kMailHeaderItalicCheck = 1023;
inline constexpr int kMailBodyFaceList = 11;
inline constexpr int kMailBodySizeCombo = 10;
inline constexpr int kMailBodyBoldCheck = 1007;
inline constexpr int kMailBodyItalicCheck = 1008;

// The spreadsheet print options dialog.
inline constexpr unsigned kSheetOptionsDialog = 124;
inline constexpr int kSheetQuickPrintButton = 4;
inline constexpr int kSheetListCombo = 12;
inline constexpr int kSheetGridlinesCheck = 14;
inline constexpr int kSheetCenterCheck = 15;
inline constexpr int kSheetSizingNormalRadio = 16;
inline constexpr int kSheetSizingFitRadio = 17;
inline constexpr int kSheetSizingCustomRadio = 18;
inline constexpr int kSheetPercentEdit = 19;
inline constexpr int kSheetRangeFullRadio = 20;
inline constexpr int kSheetRangeSelectedRadio = 21;
inline constexpr int kSheetRangePopulatedRadio = 22;
inline constexpr int kSheetRangeCustomRadio = 23;
inline constexpr int kSheetRangeFromEdit = 24;
inline constexpr int kSheetRangeToEdit = 25;
inline constexpr int kSheetHeadingsCheck = 26;
inline constexpr int kSheetBackgroundCheck = 27;

inline constexpr int kOkCommand = 1;
inline constexpr int kCancelCommand = 2;
inline constexpr int kUnaddressedControl = -1;

} // namespace platform
