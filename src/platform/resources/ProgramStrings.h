#pragma once

// The string table of the program module: every user-visible text in its
// original English. A language library may replace any of them; entries it
// lacks come from here.

#include "StringEntry.h"
#include "StringIds.h"
#include "SupportAddress.h"

#include <array>

namespace platform {

inline constexpr auto kPlotwiseMissingText = JoinText(
    u"Plotwise DLL missing or outdated... reinstall Tallowin. If that doesn't help, contact ", kSupportAddress);
inline constexpr auto kEmailNeedsPocketPcText = JoinText(
    u"To print emails with this device, reinstall Tallowin to get Pocket PC 2000 version or contact ", kSupportAddress);

inline constexpr std::array kProgramStrings {
    StringEntry(kStrWindowTitle, u"Tallowin"),
    StringEntry(kStrLanguageIdentity, u"tallowin3"),
    StringEntry(kStrWindowClass, u"TALLOWIN"),
    StringEntry(kStrDocOptionsTitle, u"Doc Options"),
    StringEntry(kStrPlotwiseMissing, kPlotwiseMissingText.text),
    StringEntry(kStrExcelOptionsTitle, u"Excel Options"),
    StringEntry(kStrEmailNeedsPocketPc, kEmailNeedsPocketPcText.text),
    StringEntry(kStrEmailPrintFailed, u"Error: Unable to print this email"),
    StringEntry(kStrEmailListFailed, u"Error displaying list of emails..."),
    StringEntry(kStrViewDocumentsTip, u"Go to Pocket Word printing..."),
    StringEntry(kStrViewWorkbooksTip, u"Go to Pocket Excel printing..."),
    StringEntry(kStrViewEmailTip, u"Go to email printing..."),
    StringEntry(kStrPxlOpenFailed, u"Unable to open PXL file : "),
    StringEntry(kStrPxlInvalid, u"Invalid PXL file : "),
    StringEntry(kStrPxlVersion1, u"Pocket Excel 1.0 Workbook format not supported."),
    StringEntry(kStrPxlUnsupported, u"This file is not a supported PXL file."),
    StringEntry(kStrPxlPasswordProtected, u"Error: This Pocket Excel file is password protected... cannot continue."),
    StringEntry(kStrCustomSizeOutOfRange, u"Custom Print Size must be between 25% and 250%"),
    StringEntry(kStrFileOpenFailed, u"Unable to open file: "),
    StringEntry(kStrInvalidFileType, u"Invalid file type: "),
    StringEntry(kStrRtfParseError, u"Error parsing rtf"),
    StringEntry(kStrInvalidPageSettings, u"Invalid page or margin settings..."),
    StringEntry(kStrInvalidCustomCell, u"Invalid Custom cell entry..."),
    StringEntry(kStrCustomCellsOverlap, u"Custom cell entries overlap..."),
    StringEntry(kStrUnsupportedEmailFormat, u"[Email is in unsupported format (HTML or other)... Unable to print]"),
    StringEntry(kStrHelpDocOptions, u"file:tallowin.htm#docoptions"),
    StringEntry(kStrHelpMainContents, u"file:tallowin.htm#Main_Contents"),
    StringEntry(kStrHelpEmailOptions, u"file:tallowin.htm#emailoptions"),
    StringEntry(kStrHelpDocs, u"file:tallowin.htm#docs"),
    StringEntry(kStrHelpExcel, u"file:tallowin.htm#excel"),
    StringEntry(kStrHelpEmails, u"file:tallowin.htm#emails"),
    StringEntry(kStrRangeSelected, u"Selected - %s to %s"),
    StringEntry(kStrRangeFull, u"Full - A1 to %s"),
    StringEntry(kStrRangePopulated, u"Populated - %s to %s"),
    StringEntry(kStrAlertCaption, u"Alert..."),
    StringEntry(kStrCharactersSuffix, u" Characters"),
    StringEntry(kStrSortFrom, u"From"),
    StringEntry(kStrSortReceivedDate, u"Received Date"),
    StringEntry(kStrSortSubject, u"Subject"),
    StringEntry(kStrSortBy, u"Sort by"),
    StringEntry(kStrHeaderSubject, u"Subject: "),
    StringEntry(kStrHeaderSent, u"Sent: "),
    StringEntry(kStrHeaderFrom, u"From: "),
    StringEntry(kStrHeaderTo, u"To: "),
    StringEntry(kStrHeaderCc, u"Cc: "),
    StringEntry(kStrFolderShow, u"Show"),
    StringEntry(kStrHeaderAttachments, u"Attachments: "),
    StringEntry(kStrFileTooLarge, u"File too large to print (over 256 MB): "),
    StringEntry(kStrReasonNotFound, u" (not found)"),
    StringEntry(kStrReasonFolder, u" (a folder)"),
    StringEntry(kStrReasonNotPermitted, u" (permission denied)"),
    StringEntry(kStrReasonNotRegular, u" (not a regular file)"),
};

static_assert(IsWellFormedStringTable(kProgramStrings),
    "the program's strings must be sorted by unique id, non-empty and terminated");

} // namespace platform
