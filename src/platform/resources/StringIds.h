#pragma once

// The ids of the string-table entries, named after their use. Every
// user-visible text is one of these entries of the resource module.

namespace platform {

inline constexpr unsigned kStrWindowTitle = 1;
inline constexpr unsigned kStrLanguageIdentity = 2;
inline constexpr unsigned kStrWindowClass = 3;

inline constexpr unsigned kStrDocOptionsTitle = 40034;
inline constexpr unsigned kStrPlotwiseMissing = 40035;
inline constexpr unsigned kStrExcelOptionsTitle = 40042;
inline constexpr unsigned kStrEmailNeedsPocketPc = 40043;
inline constexpr unsigned kStrEmailPrintFailed = 40045;
inline constexpr unsigned kStrEmailListFailed = 40046;
inline constexpr unsigned kStrViewDocumentsTip = 40047;
inline constexpr unsigned kStrViewWorkbooksTip = 40048;
inline constexpr unsigned kStrViewEmailTip = 40049;
inline constexpr unsigned kStrPxlOpenFailed = 40050;
inline constexpr unsigned kStrPxlInvalid = 40051;
inline constexpr unsigned kStrPxlVersion1 = 40052;
inline constexpr unsigned kStrPxlUnsupported = 40053;
inline constexpr unsigned kStrPxlPasswordProtected = 40054;
inline constexpr unsigned kStrCustomSizeOutOfRange = 40056;
inline constexpr unsigned kStrFileOpenFailed = 40057;
inline constexpr unsigned kStrInvalidFileType = 40058;
inline constexpr unsigned kStrRtfParseError = 40061;
inline constexpr unsigned kStrInvalidPageSettings = 40063;
inline constexpr unsigned kStrInvalidCustomCell = 40064;
inline constexpr unsigned kStrCustomCellsOverlap = 40065;
inline constexpr unsigned kStrUnsupportedEmailFormat = 40066;
inline constexpr unsigned kStrHelpDocOptions = 40067;
inline constexpr unsigned kStrHelpMainContents = 40068;
inline constexpr unsigned kStrHelpEmailOptions = 40069;
inline constexpr unsigned kStrHelpDocs = 40071;
inline constexpr unsigned kStrHelpExcel = 40072;
inline constexpr unsigned kStrHelpEmails = 40073;
inline constexpr unsigned kStrRangeSelected = 40075;
inline constexpr unsigned kStrRangeFull = 40076;
inline constexpr unsigned kStrRangePopulated = 40077;
inline constexpr unsigned kStrAlertCaption = 40078;
inline constexpr unsigned kStrCharactersSuffix = 40079;
inline constexpr unsigned kStrSortFrom = 40087;
inline constexpr unsigned kStrSortReceivedDate = 40088;
inline constexpr unsigned kStrSortSubject = 40089;
inline constexpr unsigned kStrSortBy = 40090;
inline constexpr unsigned kStrHeaderSubject = 40091;
inline constexpr unsigned kStrHeaderSent = 40092;
inline constexpr unsigned kStrHeaderFrom = 40093;
inline constexpr unsigned kStrHeaderTo = 40094;
inline constexpr unsigned kStrHeaderCc = 40095;
inline constexpr unsigned kStrFolderShow = 40096;
inline constexpr unsigned kStrHeaderAttachments = 40097;
// A document beyond the size the printers take.
inline constexpr unsigned kStrFileTooLarge = 40098;
// Why a file could not be opened, after its name.
inline constexpr unsigned kStrReasonNotFound = 40099;
inline constexpr unsigned kStrReasonFolder = 40100;
inline constexpr unsigned kStrReasonNotPermitted = 40101;
inline constexpr unsigned kStrReasonNotRegular = 40102;

// The command line's own texts: the --help text and the refusals of long
// options, printed before the window or a print starts. "%s" stands for an
// option name, a path or the program's name, filled in order.
inline constexpr unsigned kStrHelpText = 40200;
inline constexpr unsigned kStrUsageErrorLine = 40201;
inline constexpr unsigned kStrUnknownOption = 40202;
inline constexpr unsigned kStrOptionNeedsValue = 40203;
inline constexpr unsigned kStrOptionUnknownValue = 40204;
inline constexpr unsigned kStrFileNameRefused = 40205;
inline constexpr unsigned kStrMailPrintsAlone = 40206;
inline constexpr unsigned kStrMailNeedsFile = 40207;
inline constexpr unsigned kStrMailNamesOneFile = 40208;
inline constexpr unsigned kStrCellRefused = 40209;
inline constexpr unsigned kStrSizingRefused = 40210;
inline constexpr unsigned kStrSheetRefused = 40211;
inline constexpr unsigned kStrOutputNeedsName = 40212;
inline constexpr unsigned kStrFormatRefused = 40213;
inline constexpr unsigned kStrPaperRefused = 40214;
inline constexpr unsigned kStrPrinterNeedsQueue = 40215;
inline constexpr unsigned kStrCupsOutputNeedsQueue = 40216;
inline constexpr unsigned kStrOutputIsFolder = 40217;
inline constexpr unsigned kStrOutputEndingRefused = 40218;
inline constexpr unsigned kStrOutputFolderMissing = 40219;
inline constexpr unsigned kStrOutputFolderReadOnly = 40220;
inline constexpr unsigned kStrOutputNotReplaceable = 40221;
inline constexpr unsigned kStrMessageNeedsNumber = 40222;
inline constexpr unsigned kStrMessageNeedsMail = 40223;
// Followed by the number of messages in the file.
inline constexpr unsigned kStrMessageOutOfRange = 40224;

} // namespace platform
