// What the print dialog offers for a setup, and what the user's answer makes
// of the job's setup.

#include "PrintDialog.h"

#include <gtest/gtest.h>

using namespace plotwise;

namespace {

PrintSetup SetupWith(const std::string& output)
{
    PrintSetup setup;
    setup.OutputFolder = "/home/me/Documents";
    ApplySetting(setup, "paper", "a4");
    if (!output.empty())
        ApplySetting(setup, "output", output);
    return setup;
}

struct OfferRow {
    const char* Case;
    std::string Output; // PLOTWISE_OUTPUT
    int32_t DefaultQueue;
    int32_t Queue; // preselected
    std::string File;
    int32_t QueueCount;
};

TEST(PrintDialogOffer, TheDestinationOfTheSetupOrTheDefaultQueueIsPreselected)
{
    const OfferRow rows[] = {
        { "nothing named: the default queue", "", 1, 1, "/home/me/Documents/Memo.pdf", 2 },
        { "nothing named, no default queue", "", -1, -1, "/home/me/Documents/Memo.pdf", 2 },
        { "a named file", "/tmp/out.pdf", 1, -1, "/tmp/out.pdf", 2 },
        { "a named queue", "cups:laser", 1, 0, "/home/me/Documents/Memo.pdf", 2 },
        { "a queue the system does not list is offered", "cups:gone", 1, 2, "/home/me/Documents/Memo.pdf", 3 },
    };
    for (const OfferRow& row : rows) {
        DialogOffer offer;
        offer.Queues = { { "laser", "inkjet" }, row.DefaultQueue };
        PrepareOffer(SetupWith(row.Output), "Memo", offer);
        EXPECT_EQ(offer.Request.Queue, row.Queue) << row.Case;
        EXPECT_EQ(offer.Request.DefaultQueue, row.DefaultQueue) << row.Case;
        EXPECT_EQ(offer.Request.FilePath, row.File) << row.Case;
        ASSERT_EQ(offer.Request.QueueCount, row.QueueCount) << row.Case;
        EXPECT_STREQ(offer.Request.Papers[offer.Request.Paper], "A4") << row.Case;
    }
}

TEST(PrintDialogOffer, ACustomPaperIsOfferedAndKept)
{
    PrintSetup setup = SetupWith("");
    ApplySetting(setup, "paper", "100x150mm");
    DialogOffer offer;
    PrepareOffer(setup, "x", offer);
    EXPECT_STREQ(offer.Request.Papers[offer.Request.Paper], "100x150mm");
    // Save as PDF, no file chosen, the paper offered, upright, one copy.
    ApplyDialogAnswer(setup, offer, { -1, nullptr, 0, offer.Request.Paper, 0, 1 });
    EXPECT_EQ(setup.PaperWidth, 100000);
    EXPECT_EQ(setup.PaperHeight, 150000);
}

struct AnswerRow {
    const char* Case;
    std::string Output;
    int32_t Queue;
    const char* File; // null: the file offered, unchanged
    int32_t Copies;
    DestinationKind Destination;
    std::string Path; // OutputPath, or the queue for a queue
    bool Explicit;
    int32_t CopiesKept;
};

TEST(PrintDialogAnswer, TheChoicesBecomeTheSetup)
{
    const AnswerRow rows[] = {
        { "a queue with copies", "", 1, nullptr, 3, DestinationKind::Cups, "inkjet", true, 3 },
        { "copies are bounded", "", 0, nullptr, 5000, DestinationKind::Cups, "laser", true, 999 },
        { "the offered default file keeps its numbering", "cups:laser", -1, nullptr, 1, DestinationKind::Pdf, "", false,
            1 },
        { "a named file stays named", "/tmp/a.ps", -1, nullptr, 1, DestinationKind::PostScript, "/tmp/a.ps", true, 1 },
        { "a chosen file is replaced", "", -1, "/tmp/b.pdf", 1, DestinationKind::Pdf, "/tmp/b.pdf", true, 1 },
        { "a chosen name without an ending becomes a PDF", "", -1, "/tmp/report", 1, DestinationKind::Pdf,
            "/tmp/report.pdf", true, 1 },
    };
    for (const AnswerRow& row : rows) {
        PrintSetup setup = SetupWith(row.Output);
        DialogOffer offer;
        offer.Queues = { { "laser", "inkjet" }, 0 };
        PrepareOffer(setup, "Memo", offer);
        std::string file = row.File ? row.File : offer.FilePath;
        // The queue, the file and whether it was chosen, paper 2 (A5), landscape, the copies.
        ApplyDialogAnswer(setup, offer, { row.Queue, file.data(), row.File ? 1 : 0, 2, 1, row.Copies });
        EXPECT_EQ(setup.Destination, row.Destination) << row.Case;
        EXPECT_EQ(row.Destination == DestinationKind::Cups ? setup.CupsQueue : setup.OutputPath, row.Path) << row.Case;
        EXPECT_EQ(setup.ExplicitOutput, row.Explicit) << row.Case;
        EXPECT_EQ(setup.Copies, row.CopiesKept) << row.Case;
        EXPECT_EQ(setup.PaperName, "a5") << row.Case;
        EXPECT_TRUE(setup.Landscape) << row.Case;
    }
}

} // namespace
