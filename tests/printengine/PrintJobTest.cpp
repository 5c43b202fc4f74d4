#include "EngineFixture.h"

#include <Fonts.h>

namespace printengine::testing {
namespace {

using PrintJobTest = EngineTest;

TEST_F(PrintJobTest, PageMetrics)
{
    struct Row {
        const char* Name;
        const char* Locale;
        RECT Margins; // left, top, right, bottom as the dialog returns them
        std::int32_t OffsetX, OffsetY;
        std::int32_t OriginX, OriginY, TextWidth, TextHeight;
    };
    const Row rows[] = {
        { "US inch margins", "en_US.UTF-8", { 1000, 1000, 1000, 1000 }, 0, 0, 300, 300, 2550 - 600, 3300 - 600 },
        { "metric 25.4 mm", "de_DE.UTF-8", { 2540, 2540, 2540, 2540 }, 0, 0, 300, 300, 2550 - 600, 3300 - 600 },
        // The printer cannot reach the outer 50 dots: origin moves in by
        // the margin less the offset, the far side keeps the whole margin.
        { "offset inside margin", "en_US.UTF-8", { 1000, 1000, 1000, 1000 }, 50, 60, 250, 240, 2550 - 350 - 250,
            3300 - 360 - 240 },
        { "offset beyond margin", "en_US.UTF-8", { 100, 100, 100, 100 }, 60, 90, 0, 0, 2550 - 60, 3300 - 60 },
        { "no margins", "C", { 0, 0, 0, 0 }, 40, 40, 0, 0, 2550, 3300 },
    };
    for (const Row& row : rows) {
        ResetPrintEngine();
        setenv("LC_ALL", row.Locale, 1);
        FakePrinterSetup setup;
        setup.Margins = row.Margins;
        setup.OffsetX = row.OffsetX;
        setup.OffsetY = row.OffsetY;
        InstallFakePrinter(setup);
        SCOPED_TRACE(row.Name);
        ASSERT_EQ(StartPrintJob(), kPrintJobStarted);
        const PrintJob& job = Job();
        EXPECT_EQ(job.Dpi, 300);
        EXPECT_EQ(std::tie(job.OriginX, job.OriginY, job.TextWidth, job.TextHeight),
            std::tie(row.OriginX, row.OriginY, row.TextWidth, row.TextHeight));
        EXPECT_EQ(std::tie(job.ColumnWidth, job.ColumnHeight), std::tie(job.TextWidth, job.TextHeight));
        EXPECT_TRUE(job.Printing);
        EndPrintJob();
        EXPECT_FALSE(Job().Printing);
    }
}

TEST_F(PrintJobTest, TextAreaUnderAThirdOfAnInchFails)
{
    // Right margins in thousandths of an inch, at 300 dpi on a 2550-dot page:
    // 2550 − 8170 × 300 / 1000 = 99 dots; 2550 − 8167 × 0.3 = 100.
    const std::pair<std::int32_t, int> rows[]
        = { { 8170, kPrintJobFailed }, { 8167, kPrintJobStarted }, { 9000, kPrintJobFailed } };
    for (const auto& [rightMargin, expected] : rows) {
        ResetPrintEngine();
        FakePrinterSetup setup;
        setup.Margins = RECT { 0, 0, rightMargin, 0 };
        InstallFakePrinter(setup);
        EXPECT_EQ(StartPrintJob(), expected) << rightMargin;
        const bool failed = expected == kPrintJobFailed;
        const std::vector<std::u16string> refusal { u"Invalid page or margin settings..." };
        EXPECT_EQ(ShownMessages(), failed ? refusal : std::vector<std::u16string> {}) << rightMargin;
        EXPECT_EQ(BusyCursorDepth(), failed ? 0 : 1);
        EndPrintJob();
        EXPECT_EQ(BusyCursorDepth(), failed ? -1 : 0);
    }
}

TEST_F(PrintJobTest, CancelledDialogPrintsNothingAndEndStillRuns)
{
    // A library that cannot start opens no dialog.
    FakeSetup().InitResult = 5;
    EXPECT_EQ(StartPrintJob(), kPrintJobFailed);
    EXPECT_EQ(CallCount("PrintDlg"), 0);
    EXPECT_EQ(BusyCursorDepth(), 0);
    EndPrintJob();
    EXPECT_EQ(CallCount("StatusCheck"), 1);

    InstallFakePrinter();
    FakeSetup().DialogResult = 0;
    FakeSetup().Status = 1;
    EXPECT_EQ(StartPrintJob(), kPrintJobFailed);
    EXPECT_EQ(Job().PrinterDc, nullptr);
    EXPECT_EQ(CallCount("GetPrinterDC"), 1); // asked for after the cancel too
    PutFlowChar(u'x');
    EndPrintJob();
    EXPECT_EQ(Job().FinalStatus, 1);
    EXPECT_EQ(CallCount("EndDoc"), 0);
    EXPECT_EQ(CallCount("UnInit"), 1);
    EXPECT_TRUE(FakeLog().Texts.empty());
    EXPECT_FALSE(Job().Printing);
}

TEST_F(PrintJobTest, QuickPrintFlag)
{
    // View, quick-print setting, quick print once, whether the dialog is quick.
    const std::tuple<std::int32_t, std::int32_t, std::int32_t, bool> rows[] = {
        { core::kViewDocuments, 0, 0, false },
        { core::kViewDocuments, 1, 0, true },
        { core::kViewDocuments, 0, 1, true },
        { core::kViewEmail, 1, 0, true },
        { core::kViewWorkbooks, 1, 0, false },
        { core::kViewWorkbooks, 0, 1, true },
        { core::kViewNone, 1, 1, false },
    };
    for (const auto& [viewMode, quickPrint, quickPrintOnce, quick] : rows) {
        ResetPrintEngine();
        InstallFakePrinter();
        core::Settings().ViewMode = viewMode;
        core::Settings().QuickPrint = quickPrint;
        core::Options().QuickPrintOnce = quickPrintOnce;
        StartPrintJob();
        EXPECT_EQ(FakeLog().DialogFlags, quick ? 0x2F00u : 0x0F00u)
            << viewMode << " " << quickPrint << " " << quickPrintOnce;
        EXPECT_EQ(core::Options().QuickPrintOnce, 0);
        EndPrintJob();
    }
}

TEST_F(PrintJobTest, EndLaysOutTheLastLineAndClosesTheDocument)
{
    StartJobWithFont(2550);
    Feed(u"no line end");
    EndPrintJob();
    EXPECT_EQ(Drawn(), (std::vector<Placed> { { 0, 10, "no line end" } }));
    const std::vector<std::string> tail(FakeLog().Calls.end() - 6, FakeLog().Calls.end());
    EXPECT_EQ(
        tail, (std::vector<std::string> { "EndPage", "StartPage", "EndDoc", "StatusCheck", "DeleteDC", "UnInit" }));
    EXPECT_EQ(Job().PrinterDc, nullptr);
    EXPECT_TRUE(Flow().FontTable.empty());
    EXPECT_EQ(FakeLog().FontsDeleted, 1);
}

// A job starts with an empty flow and the code pages of a western document.
TEST_F(PrintJobTest, EachJobStartsAfresh)
{
    StartJobWithFont(2550);
    Feed(u"first\r");
    EndPrintJob();
    InstallFakePrinter();
    CodePages().DocumentCodePage = 1250;
    SelectCodePage(204);
    StartJobWithFont(2550);
    EXPECT_EQ(CodePages().CurrentCharset, 0);
    EXPECT_EQ(CodePages().CodePage, 1252);
    EXPECT_EQ(CodePages().DocumentCodePage, kNoDocumentCodePage);
    EXPECT_EQ(Job().DefaultTab, -1);
    Feed(u"\nsecond"); // a line end of its own, not the pair of the last job's CR
    EndPrintJob();
    EXPECT_EQ(Drawn(), (std::vector<Placed> { { 0, 60, "second" } }));
}

} // namespace
} // namespace printengine::testing
