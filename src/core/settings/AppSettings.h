#pragma once

// The user's options: one record for the whole run, read from the settings
// store at start-up and written back whenever an option changes, plus the
// run-time options of the command line. One instance each; tests reset them
// with ResetAppSettings() and ResetRunOptions().

#include <cstdint>
#include <vector>

namespace core {

inline constexpr std::int32_t kResizeChoice50 = 1000;
inline constexpr std::int32_t kResizeChoice75 = 1001;
inline constexpr std::int32_t kResizeChoice100 = 1002;
inline constexpr std::int32_t kResizeChoice125 = 1003;
inline constexpr std::int32_t kResizeChoice150 = 1004;

inline constexpr std::size_t kFaceNameUnits = 32;

// View modes: the list shown, or which printer a command-line file goes to.
inline constexpr std::int32_t kViewDocuments = 0;
inline constexpr std::int32_t kViewWorkbooks = 1;
inline constexpr std::int32_t kViewEmail = 2;
inline constexpr std::int32_t kViewNone = -1;

// A cell position: 0-based column and row.
struct CellPosition {
    std::uint16_t Column = 0;
    std::uint16_t Row = 0;
};

struct AppSettings {
    // "PrStore"
    std::int32_t QuickPrint = 0;
    std::int32_t PlainText = 0;
    std::int32_t ResizeChoice = kResizeChoice100;
    bool ShowStartupScreen = true;
    std::int32_t TextFontSize = 12;
    std::int32_t TextTabSize = 4;
    std::uint8_t TextBold = 0;
    std::uint8_t TextItalic = 0;
    char16_t TextFontFace[kFaceNameUnits] = u"Courier New";

    // "PrStoreInbox"
    std::int32_t ViewMode = kViewNone;
    std::int32_t MailHeaderFontSize = 9;
    std::uint8_t MailHeaderBold = 1;
    std::uint8_t MailHeaderItalic = 0;
    std::int32_t MailBodyFontSize = 9;
    std::uint8_t MailBodyBold = 0;
    std::uint8_t MailBodyItalic = 0;
    char16_t MailHeaderFontFace[kFaceNameUnits] = u"Tahoma";
    char16_t MailBodyFontFace[kFaceNameUnits] = u"Courier New";
    std::int16_t MailHeaderOrder = 0;
    std::uint32_t InboxReservedWord = 0xFFFF;
    std::uint8_t MailHeaderCharset = 0;
    std::uint8_t MailBodyCharset = 0;
    std::uint8_t TextFontCharset = 0;

    // "PrExcel"
    std::int32_t SheetGridlines = 1;
    std::int32_t SheetHeadings = 1;
    std::int32_t SheetBackgroundColors = 1;
    std::uint8_t SheetSizing = 0;
    std::uint8_t SheetCenter = 1;
    std::int16_t SheetCustomPercent = 100;

    // Derived from ResizeChoice by SetResizeChoice.
    std::int32_t ScaleNum = 1;
    std::int32_t ScaleDen = 1;

    // "PrMAPI" as stored, until the e-mail subsystem turns it into the two
    // entry identifiers; rebuilt from them on every save.
    std::vector<std::uint8_t> MapiBlob;
    // Set once the e-mail subsystem has turned MapiBlob into the two
    // identifiers. Until then a save writes the blob back as it was read, so
    // a run that never opens the e-mail view keeps the remembered store and
    // folder instead of erasing them.
    bool MailEntryIdsTaken = false;
    std::vector<std::uint8_t> MailStoreEntryId;
    std::vector<std::uint8_t> MailFolderEntryId;
};

// Options of this run only, set by the command line and the option dialogs.
struct RunOptions {
    std::vector<char16_t> CommandLineFile; // empty: none; else zero-terminated
    std::int32_t StartView = kViewDocuments;
    std::int32_t ExitCodeMode = 0;
    std::int32_t QuickPrintOnce = 0;
    std::int32_t PlainTextOnce = 0;
    std::int32_t SkipSheetDialog = 0;
    std::int32_t SheetOptionsFromCommandLine = 0;
    std::int32_t SheetRange = 0; // 0 Full, 1 Selected, 2 Populated, 3 Custom
    CellPosition SheetRangeFrom { 0xFFFF, 0 };
    CellPosition SheetRangeTo { 0, 0 };
    std::uint16_t SheetIndex = 0xFFFF; // the workbook's own active sheet
};

AppSettings& Settings();
RunOptions& Options();

void ResetAppSettings();
void ResetRunOptions();

bool HasCommandLineFile();
const char16_t* CommandLineFileName(); // null when there is none

} // namespace core
