#pragma once

// The library's print dialog, as the job sees it: what the user is offered
// (the print queues, "Save as PDF", the papers) and how the answer changes
// the job's setup. The dialog itself lives in the module PrintDialogModule.h
// describes.

#include "Job.h"
#include "PrintDialogModule.h"

#include <string>
#include <vector>

namespace plotwise {

// The print queues of the system, by name, and the one `lp` would print to.
struct QueueList {
    std::vector<std::string> Names;
    int32_t Default = -1;
};

QueueList ListQueues();

// True when the environment names a display (DISPLAY or WAYLAND_DISPLAY).
bool DisplayNamed();

// What the dialog offers and preselects for a setup. The request points
// into offer, which must outlive it.
struct DialogOffer {
    QueueList Queues;
    std::vector<std::string> Papers;
    std::string FilePath;
    std::vector<const char*> QueuePointers;
    std::vector<const char*> PaperPointers;
    PlotwiseDialogRequest Request {};
};

void PrepareOffer(const PrintSetup& setup, const std::string& title, DialogOffer& offer);

// Makes the user's choices the job's destination, paper, orientation and
// copies.
void ApplyDialogAnswer(PrintSetup& setup, const DialogOffer& offer, const PlotwiseDialogAnswer& answer);

// Shows the dialog when a display is there: Accepted with the setup
// changed, Cancelled, or NotShown when there is no display or the dialog
// cannot be loaded (the setup is then used as it stands).
DialogOutcome ShowPrintDialog(Job& job);

} // namespace plotwise
