#pragma once

#include <string>

// The print job: one run over the printing library, from the print dialog
// to the last page. There is one job at a time; its state is the single
// PrintJob record returned by Job().

#include <StringIds.h>
#include <plotwise/plotwise_types.h>

#include <cstdint>

namespace printengine {

// All lengths are printer device units.
struct PrintJob {
    HDC PrinterDc = nullptr; // null when there is none
    std::int32_t Dpi = 0; // both axes
    std::int32_t OriginX = 0;
    std::int32_t OriginY = 0;
    std::int32_t TextWidth = 0;
    std::int32_t TextHeight = 0;
    std::int32_t ColumnWidth = 0;
    std::int32_t ColumnHeight = 0;
    std::int32_t PenX = 0; // within the current line, from the line start
    std::int32_t PenY = 0; // from the top of the text area; the baseline of the last line
    std::int32_t LineHeight = 0; // height of the line laid out last
    std::int32_t DefaultTab = -1; // -1 until the layout computes it
    std::int32_t PlainTextMode = 0;
    bool Printing = false;
    std::int32_t FinalStatus = 0; // 0 printed, 1 cancelled, other failed
};

inline constexpr int kPrintJobStarted = 0;
inline constexpr int kPrintJobFailed = 8;

inline constexpr unsigned kInvalidPageSettingsMessage = platform::kStrInvalidPageSettings;

PrintJob& Job();

// Opens the job: print dialog, page metrics. Returns kPrintJobStarted when
// the first page is ready, kPrintJobFailed when the library could not start,
// the dialog was cancelled or the margins leave less than a third of an inch
// (that case shows "Invalid page or margin settings..."). The caller calls
// EndPrintJob afterwards whatever this returned.
int StartPrintJob();

// Names the next job (the document's file name, a message's subject): the
// queue's job name and the title of a PDF or PostScript file, whose default
// file name is made from it. EndPrintJob forgets it; a job without one is
// called after the program.
void SetJobTitle(std::u16string title);

// Ends the current page and opens the next. PenY is the caller's business.
void NextPage();

// Lays out what the flow still holds, finishes the document, records
// FinalStatus and frees everything the job owned.
void EndPrintJob();

// Forgets every piece of engine state (job, flow, fonts, tab stops, colour
// table) without calling the printing library; for tests.
void ResetPrintEngine();

} // namespace printengine
