#pragma once

// Opening and releasing the workbook. Every failure is shown to the user
// once, here, with the message of its case; the caller stays silent and
// calls ReleaseWorkbook in every case.

#include "PxlWorkbook.h"
#include "StringIds.h"

#include <cstdint>
#include <span>

namespace spreadsheet {

// String-table entries of the reader's messages.
inline constexpr unsigned kUnableToOpenWorkbookMessage = platform::kStrPxlOpenFailed;
inline constexpr unsigned kInvalidWorkbookMessage = platform::kStrPxlInvalid;
inline constexpr unsigned kPocketExcel1NotSupportedMessage = platform::kStrPxlVersion1;
inline constexpr unsigned kUnsupportedWorkbookMessage = platform::kStrPxlUnsupported;
inline constexpr unsigned kPasswordProtectedMessage = platform::kStrPxlPasswordProtected;

// Maps the file at `path` (zero-terminated UTF-16) and reads it. 1 when the
// model is built; 0 when the workbook cannot be printed (the message has
// been shown).
int OpenWorkbook(const char16_t* path);

// Reads a workbook held in memory; `bytes` must outlive the model (until
// ReleaseWorkbook). `name` stands for the path in messages.
int ReadWorkbookFromBytes(std::span<const std::uint8_t> bytes, const char16_t* name);

// Frees the model, the printer objects made for it, and the mapping; ends
// the busy cursor. Safe to call when nothing is open.
void ReleaseWorkbook();

// The cell drawing registers here the release of the pen and brush it made
// for the print; ReleaseWorkbook calls it first.
using DrawingRelease = void (*)();
void SetDrawingRelease(DrawingRelease release);

} // namespace spreadsheet
