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

// The --help text; "%s" is the program's name as it was called.
inline constexpr char16_t kHelpText[] = uR"(Usage: %s [SWITCHES] [OPTIONS]
Prints Pocket Word, RTF and text documents, Pocket Excel workbooks and
e-mail messages.

Switches (letters in either case; a file name cannot contain "/", so write
directories with "\", or use --file, which does that for you):
  /F NAME      print the document NAME and end
  /A NAME      print the workbook NAME and end
  /E           exit statuses for a calling program (see below)
  /Q           quick print: no print dialogs
  /P           print the document as plain text
  /W /I /X     start with the document, e-mail or workbook list
  /XQ          print the workbook without the spreadsheet options dialog
  /XA0../XA3   range: full, selected, populated, custom
  /XAFcell     custom range from cell (e.g. /XAFB3); end it with a space
  /XATcell     custom range to cell
  /XG0 /XG1    gridlines off/on        /XH0 /XH1   headings off/on
  /XB0 /XB1    background colours      /XC0 /XC1   centring off/on
  /XS0../XS9   sheet number            /XZ0 /XZ1 /XZ2  normal, fit, custom size
  /XZCnnn      custom size in percent (25 to 250, else 100)
  A command line of 260 characters or more is ignored as a whole.
  Spreadsheet options given with /A or /X are stored for later runs.

Long options (translated into the switches above):
  --file=PATH            /F PATH         --workbook=PATH      /A PATH
  --quick                /Q              --exit-codes         /E
  --plain-text           /P              --no-sheet-dialog    /XQ
  --documents            /W              --email              /I
  --workbooks            /X              --sheet=N            /XSN
  --range=full|selected|populated|custom /XA0 to /XA3
  --from=CELL            /XAFCELL        --to=CELL            /XATCELL
  --gridlines=on|off     /XG1 /XG0       --headings=on|off    /XH1 /XH0
  --background-colors=on|off /XB1 /XB0   --center=on|off      /XC1 /XC0
  --sizing=normal|fit|PERCENT            /XZ0, /XZ1, /XZ2 /XZCPERCENT
  --mail=MESSAGE         print one e-mail message file and end: a file of a
                         Maildir folder (in its cur/ or new/) or a standalone
                         .eml; ends with the statuses of /E (no switch of its
                         own; not with --file or --workbook). An mbox file
                         prints all its messages as one job, each on new pages
  --message=N            with --mail on an mbox file, print its Nth message
                         only (from 1; beyond the last, nothing prints: 2)
  --print=PATH           --workbook for a .pxl or .pxt file, --mail for an
                         .eml, .mbox or .mbx file, else --file
  --output=PATH          print to PATH (.pdf, .ps, .png, .txt) for this run;
                         another ending, a folder or a folder that cannot be
                         written ends with 64 before anything prints
  --output=-             write the pages to standard output (PDF, or
                         PostScript with --format=ps)
  --file=-               print the document read from standard input
  --mail=-               print the message read from standard input (as a
                         mail reader's print command: --mail=- --quick)
  --printer=QUEUE        print to the CUPS queue QUEUE for this run
  --paper=PAPER          print on a3, a4, a5, legal, letter or a size like
                         210x297mm for this run
  --quiet                on a terminal, no line saying where the pages went
  FILE                   a file as the only argument (long options aside)
                         prints as --print=FILE
  --help, -h             show this text and end
  --version              show the version and end

Exit statuses:
                                          with /E   without
  printing library missing or too old        0         0
  another copy already runs                  0         1
  window creation failed                   995         0
  file not printed (reason shown)            2         0
  print cancelled                           63         0
  print failed                             995         0
  printed                                    0         1
  A shell sees only the low 8 bits of a status: 995 arrives as 227.
  A refused long option ends with 64 before anything starts. An interrupt
  (SIGINT, SIGTERM, SIGHUP) ends as a cancelled print and removes the
  unfinished output file.

Environment:
  TALLOWIN_REGISTRY   the settings file (default
                      $XDG_CONFIG_HOME/tallowin/registry.reg, or
                      ~/.config/tallowin/registry.reg)
  TALLOWIN_LOCK_TIMEOUT  seconds a settings save waits for another copy's
                      lock before it gives up (default 5)
  TALLOWIN_LIBDIR     the directory of the printing and language libraries
                      (default: ../lib/tallowin beside the program)
  TALLOWIN_DOCUMENTS  the folder the window lists documents and workbooks
                      from, subfolders included (default: the documents
                      folder xdg-user-dir names, else ~/Documents)
  PLOTWISE_OUTPUT     where the printing library prints: a .pdf, .ps, .png
                      or .txt file, or cups:QUEUE; checked as --output is
  LPDEST, PRINTER     the CUPS queue to print to when no destination is
                      given (else the lpoptions or the server's default;
                      without a default queue, a PDF named after the
                      document in the documents folder, XDG_DOCUMENTS_DIR)
  PAPERSIZE, PAPERCONF  the paper, unless a queue has one of its own

Without a file to print, the program opens its window (it needs a display,
DISPLAY or WAYLAND_DISPLAY); a second start without a file brings the
running window forward and ends at once.
)";

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
    StringEntry(kStrHelpText, kHelpText),
    StringEntry(kStrUsageErrorLine, u"%s: %s (see --help)"),
    StringEntry(kStrUnknownOption, u"unknown option %s"),
    StringEntry(kStrOptionNeedsValue, u"%s needs a value"),
    StringEntry(kStrOptionUnknownValue, u"%s: unknown value \"%s\""),
    StringEntry(kStrFileNameRefused, u"%s: the file name is empty or holds a double quote"),
    StringEntry(kStrMailPrintsAlone, u"--mail prints a message file alone; leave out --file and --workbook"),
    StringEntry(kStrMailNeedsFile, u"--mail needs a message file"),
    StringEntry(kStrMailNamesOneFile, u"--mail names one message file"),
    StringEntry(kStrCellRefused, u"%s: a cell is written like B3 or AA12"),
    StringEntry(kStrSizingRefused, u"--sizing: use normal, fit or a percentage from 25 to 250"),
    StringEntry(kStrSheetRefused, u"--sheet: use a sheet number from 0 to 9"),
    StringEntry(kStrOutputNeedsName, u"--output needs a file name"),
    StringEntry(kStrFormatRefused, u"--format: use pdf or ps"),
    StringEntry(kStrPaperRefused, u"--paper: use a3, a4, a5, legal, letter or a size like 210x297mm"),
    StringEntry(kStrPrinterNeedsQueue, u"--printer needs a queue name"),
    StringEntry(kStrCupsOutputNeedsQueue, u"PLOTWISE_OUTPUT=cups: needs a queue name"),
    StringEntry(kStrOutputIsFolder, u"%s is a folder; name a file in it"),
    StringEntry(
        kStrOutputEndingRefused, u"%s: the pages can be written as .pdf, .ps, .png or .txt (or - for standard output)"),
    StringEntry(kStrOutputFolderMissing, u"%s: the folder %s does not exist"),
    StringEntry(kStrOutputFolderReadOnly, u"%s: the folder %s cannot be written (%s)"),
    StringEntry(kStrOutputNotReplaceable, u"%s cannot be replaced (%s)"),
    StringEntry(kStrMessageNeedsNumber, u"--message needs a message number from 1"),
    StringEntry(kStrMessageNeedsMail, u"--message picks a message of the file --mail names"),
    StringEntry(kStrMessageOutOfRange, u"--message picks a message from 1 to the number in the file: "),
};

static_assert(IsWellFormedStringTable(kProgramStrings),
    "the program's strings must be sorted by unique id, non-empty and terminated");

} // namespace platform
