#pragma once

// The one print job of the library, from PLW_Init to PLW_UnInit.

#include "Destination.h"
#include "Gdi.h"
#include "PrintSetup.h"

#include <chrono>
#include <memory>
#include <string>

namespace plotwise {

enum class DialogOutcome { NotShown, Accepted, Cancelled, Failed };

struct Job {
    bool Initialised = false;
    std::string Title;
    PrintSetup Setup;
    int32_t Status = PLW_STATUS_PRINTED;
    int32_t ReportLevel = 2;
    DialogOutcome Dialog = DialogOutcome::NotShown;
    std::unique_ptr<PLW_DeviceContext> Dc;
    PageGeometry Geometry;
    std::unique_ptr<Destination> Output;
    bool Ended = false;
    Page Current;
    int PagesEmitted = 0;
    std::chrono::steady_clock::time_point Started;
    bool ProgressShown = false;
};

Job& CurrentJob();

// Tells the user why the job failed: one line on standard error, unless the
// report level is 0.
void Report(Job& job, const std::string& message);

// Marks the job failed with a reason for the user; the pages that follow are
// dropped.
void FailJob(Job& job, const std::string& message);

// Sends the current page to the destination when it received anything.
void EmitCurrentPage(Job& job);

// Ends the job's output: emits the open page, completes the destination.
bool FinishJob(Job& job);

// Drops the job's output and its device context.
void CloseJob(Job& job);

} // namespace plotwise
