#include "Job.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace plotwise {
namespace {

// A job shows its page count only once it has run this long.
constexpr auto kProgressDelay = std::chrono::seconds(1);

void ShowProgress(Job& job)
{
    if (!isatty(STDERR_FILENO))
        return;
    if (!job.ProgressShown && std::chrono::steady_clock::now() - job.Started < kProgressDelay)
        return;
    std::fprintf(stderr, "\rPrinting page %d", job.PagesEmitted);
    std::fflush(stderr);
    job.ProgressShown = true;
}

void EndProgressLine(Job& job)
{
    if (job.ProgressShown) {
        std::fputc('\n', stderr);
        job.ProgressShown = false;
    }
}

} // namespace

Job& CurrentJob()
{
    static Job job;
    return job;
}

void Report(Job& job, const std::string& message)
{
    if (job.ReportLevel <= 0)
        return;
    EndProgressLine(job);
    // Reported as the calling program's own lines are: its name first.
    std::fprintf(stderr, "%s: %s\n", program_invocation_short_name, message.c_str());
}

void FailJob(Job& job, const std::string& message)
{
    Report(job, message);
    job.Status = PLW_STATUS_FAILED;
    if (job.Output) {
        job.Output->Abandon();
        job.Output.reset();
    }
}

void EmitCurrentPage(Job& job)
{
    if (job.Current.Ops.empty())
        return;
    const bool hasOutput = job.Output != nullptr;
    bool emitted = false;
    std::string error;
    if (hasOutput) {
        ++job.PagesEmitted;
        const size_t operations = job.Current.Ops.size();
        emitted = job.Output->TakePage(job.Current, job.PagesEmitted, error);
        // The list keeps (or gets back) its room: the pages of one document
        // are much alike, and the next page fills it again without growing
        // it step by step.
        job.Current.Ops.reserve(operations);
    }
    job.Current.Ops.clear();
    if (!hasOutput)
        return;
    if (!emitted) {
        FailJob(job, error);
        return;
    }
    ShowProgress(job);
}

bool FinishJob(Job& job)
{
    EmitCurrentPage(job);
    // A job that drew nothing still prints one blank page, so a caller finds
    // the file (or the sheet in the tray) that "printed" promised.
    if (job.Output && job.PagesEmitted == 0 && job.Status == PLW_STATUS_PRINTED) {
        std::string error;
        ++job.PagesEmitted;
        if (!job.Output->EmitPage(job.Current, job.PagesEmitted, error)) {
            FailJob(job, error);
            job.Ended = true;
            return false;
        }
    }
    job.Ended = true;
    EndProgressLine(job);
    if (!job.Output)
        return job.Status == PLW_STATUS_PRINTED;
    std::string error;
    bool finished = job.Output->Finish(job.PagesEmitted, error);
    const std::string where = finished ? job.Output->Where() : std::string();
    job.Output.reset();
    if (!finished)
        FailJob(job, error);
    // On a terminal the user is told where the pages went, unless asked
    // not to be; a program reading the output never sees the line.
    const char* quiet = std::getenv("PLOTWISE_QUIET");
    if (finished && !where.empty() && job.ReportLevel > 0 && isatty(STDERR_FILENO) && !(quiet && *quiet && *quiet != '0'))
        std::fprintf(stderr, "%s: printed %d page%s to %s\n", program_invocation_short_name, job.PagesEmitted, job.PagesEmitted == 1 ? "" : "s",
            where.c_str());
    return finished;
}

void CloseJob(Job& job)
{
    EndProgressLine(job);
    if (job.Output) {
        job.Output->Abandon();
        job.Output.reset();
    }
    job.Dc.reset();
    job.Current = Page {};
}

} // namespace plotwise
