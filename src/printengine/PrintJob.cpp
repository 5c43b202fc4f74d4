#include "PrintJob.h"

#include "ColorTable.h"
#include "Fonts.h"
#include "LineLayout.h"
#include "SystemLocale.h"
#include "TextFlow.h"
#include "Units.h"

#include <AppSettings.h>
#include <Messages.h>
#include <PrintingLibrary.h>

#include <algorithm>

namespace printengine {
namespace {

PrintJob job;

constexpr char16_t kLibraryClientName[] = u"Tallowin";

// The next job's title; empty: the program's name.
std::u16string& NextJobTitle()
{
    static std::u16string title;
    return title;
}
constexpr std::int32_t kReportLevel = 2;
constexpr std::uint32_t kPageSetupSize = 68;
static_assert(sizeof(PLW_PAGESETUP) == kPageSetupSize);

bool QuickPrintApplies()
{
    const core::AppSettings& settings = core::Settings();
    const core::RunOptions& options = core::Options();
    switch (settings.ViewMode) {
    case core::kViewDocuments:
    case core::kViewEmail:
        return settings.QuickPrint != 0 || options.QuickPrintOnce != 0;
    case core::kViewWorkbooks:
        return options.QuickPrintOnce != 0;
    default:
        return false;
    }
}

int FailJob()
{
    core::HideBusyCursor();
    return kPrintJobFailed;
}

// Margins from the dialog are in thousandths of an inch in U.S. units, else
// in hundredths of a millimetre; the layout wants them in thousandths.
std::int32_t MarginInThousandths(std::int32_t margin, bool usUnits)
{
    return usUnits ? margin : HundredthsOfMillimetreToThousandthsOfInch(margin);
}

} // namespace

PrintJob& Job()
{
    return job;
}

int StartPrintJob()
{
    ResetCodePageState();
    SelectCodePage(0);

    job.Printing = true;
    job.DefaultTab = -1;
    job.PlainTextMode = 0;
    // A job starts with an empty flow: a line end or tabs that ended the
    // previous job must not pair with or precede this job's first characters.
    TextFlow& flow = Flow();
    flow.PendingLength = 0;
    flow.Previous = 0;
    flow.TabKind = kTabKindNone;
    flow.TabCount = 0;
    ResetColorCache();

    const std::u16string& title = NextJobTitle();
    if (PLW_Init(title.empty() ? kLibraryClientName : title.c_str()) != 0)
        return kPrintJobFailed;
    PLW_SetReportLevel(kReportLevel);
    core::ShowBusyCursor();

    PLW_PAGESETUP setup {};
    setup.lStructSize = kPageSetupSize;
    setup.Flags = PLW_PSD_DEFAULT_FLAGS;
    if (QuickPrintApplies())
        setup.Flags |= PLW_PSD_QUICKPRINT;
    core::Options().QuickPrintOnce = 0;

    if (PLW_PrintDlg(&setup) == 0) {
        job.PrinterDc = PLW_GetPrinterDC();
        return FailJob();
    }

    job.PrinterDc = PLW_GetPrinterDC();
    PLW_SetBkMode(job.PrinterDc, TRANSPARENT);
    job.Dpi = PLW_GetDeviceCaps(job.PrinterDc, LOGPIXELSX);
    const std::int32_t offsetX = PLW_GetDeviceCaps(job.PrinterDc, PHYSICALOFFSETX);
    const std::int32_t offsetY = PLW_GetDeviceCaps(job.PrinterDc, PHYSICALOFFSETY);

    const bool usUnits = LocaleMeasuresInUsUnits();
    const std::int32_t left = ThousandthsOfInchToDevice(MarginInThousandths(setup.rtMargin.left, usUnits), job.Dpi);
    const std::int32_t top = ThousandthsOfInchToDevice(MarginInThousandths(setup.rtMargin.top, usUnits), job.Dpi);
    const std::int32_t right = ThousandthsOfInchToDevice(MarginInThousandths(setup.rtMargin.right, usUnits), job.Dpi);
    const std::int32_t bottom = ThousandthsOfInchToDevice(MarginInThousandths(setup.rtMargin.bottom, usUnits), job.Dpi);

    // Margins count from the paper's edges, the DC from the corner of the
    // printable area, which lies the physical offset inside them: the left
    // margin shrinks by the offset, and the far edge, seen from the DC's
    // origin, comes nearer by as much.
    const std::int32_t usedX = std::min(left, offsetX);
    const std::int32_t usedY = std::min(top, offsetY);
    job.OriginX = std::max(0, left - usedX);
    job.OriginY = std::max(0, top - usedY);
    const std::int32_t rightPart = std::max(0, right + usedX);
    const std::int32_t bottomPart = std::max(0, bottom + usedY);

    job.TextWidth = PLW_GetDeviceCaps(job.PrinterDc, PHYSICALWIDTH) - rightPart - job.OriginX;
    job.TextHeight = PLW_GetDeviceCaps(job.PrinterDc, PHYSICALHEIGHT) - bottomPart - job.OriginY;

    const std::int32_t smallestText = job.Dpi / 3;
    if (job.TextWidth < smallestText || job.TextHeight < smallestText) {
        core::ShowMessageId(kInvalidPageSettingsMessage);
        return FailJob();
    }

    job.ColumnWidth = job.TextWidth;
    job.ColumnHeight = job.TextHeight;
    job.PenX = 0;
    job.PenY = 0;
    job.LineHeight = 0;
    PLW_SetBkMode(job.PrinterDc, TRANSPARENT);
    return kPrintJobStarted;
}

void NextPage()
{
    if (job.PrinterDc == nullptr)
        return; // No job is open: a page break has nothing to end.
    PLW_EndPage(job.PrinterDc);
    PLW_StartPage(job.PrinterDc);
}

void SetJobTitle(std::u16string title)
{
    NextJobTitle() = std::move(title);
}

void EndPrintJob()
{
    NextJobTitle().clear();
    if (job.PrinterDc != nullptr && FlowHasText())
        PutFlowChar(0);

    if (job.PrinterDc != nullptr) {
        NextPage();
        PLW_EndDoc(job.PrinterDc);
        job.FinalStatus = PLW_StatusCheck();
        PLW_DeleteDC(job.PrinterDc);
        job.PrinterDc = nullptr;
    } else {
        job.FinalStatus = PLW_StatusCheck();
    }

    // Runs a layout could not draw (a font that cannot be made) are dropped
    // with the job, with the pending text.
    FreeRunList();
    Flow().PendingLength = 0;
    FreeFlowResources();

    PLW_UnInit();
    core::HideBusyCursor();
    job.Printing = false;
    FreeColorTable();
}

void ResetPrintEngine()
{
    FreeRunList();
    FreeFontCache();
    ClearTabStops();
    FreeColorTable();
    ResetColorCache();
    ResetCodePageState();
    Flow() = TextFlow {};
    job = PrintJob {};
}

} // namespace printengine
