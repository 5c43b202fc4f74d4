#pragma once

// Ids of the program's dialog templates and of their controls, shared by the
// templates and the procedures that run them (the resource header of the
// program). A language library's templates keep the same ids.

namespace platform
{

// The plain-text options dialog.
inline constexpr unsigned kPlainTextDialog = 104;
inline constexpr int kPlainTextSizeCombo = 5;
inline constexpr int kPlainTextTabCombo = 6;
inline constexpr int kPlainTextFaceList = 7;
inline constexpr int kPlainTextPrintButton = 8;
inline constexpr int kPlainTextBoldCheck = 1005;
inline constexpr int kPlainTextItalicCheck = 1006;

inline constexpr int kOkCommand = 1;
inline constexpr int kCancelCommand = 2;
inline constexpr int kUnaddressedControl = -1;

} // namespace platform
