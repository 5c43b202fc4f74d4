#include "PrintDialog.h"

#include "OutputFile.h"

#include <cups/cups.h>

#include <algorithm>
#include <cstdlib>
#include <dlfcn.h>
#include <memory>

namespace plotwise {
namespace {

constexpr int32_t kMaximumCopies = 999;

bool Set(const char* variable)
{
    const char* value = std::getenv(variable);
    return value && *value;
}

// The module is looked for beside the library itself.
std::string ModulePath()
{
    Dl_info info {};
    if (dladdr(reinterpret_cast<void*>(&ShowPrintDialog), &info) == 0 || !info.dli_fname)
        return PLOTWISE_DIALOG_MODULE;
    std::string library = info.dli_fname;
    size_t slash = library.rfind('/');
    return slash == std::string::npos ? std::string(PLOTWISE_DIALOG_MODULE)
                                      : library.substr(0, slash + 1) + PLOTWISE_DIALOG_MODULE;
}

PlotwiseDialogRun DialogEntry(std::string& error)
{
    static void* module = nullptr;
    static std::string loadError;
    if (!module && loadError.empty()) {
        const std::string path = ModulePath();
        module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!module) {
            const char* reason = dlerror();
            loadError = reason ? reason : path;
        }
    }
    if (!module) {
        error = loadError;
        return nullptr;
    }
    auto entry = reinterpret_cast<PlotwiseDialogRun>(dlsym(module, PLOTWISE_DIALOG_ENTRY));
    if (!entry)
        error = "the print dialog module has no " PLOTWISE_DIALOG_ENTRY;
    return entry;
}

int32_t IndexOf(const std::vector<std::string>& names, const std::string& name)
{
    auto found = std::find(names.begin(), names.end(), name);
    return found == names.end() ? -1 : static_cast<int32_t>(found - names.begin());
}

bool IsFile(DestinationKind kind)
{
    return kind != DestinationKind::Cups;
}

} // namespace

QueueList ListQueues()
{
    QueueList queues;
    cups_dest_t* dests = nullptr;
    const int count = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests);
    for (int i = 0; i < count; ++i) {
        // Instances ("queue/duplex") are lpoptions presets of a queue; the
        // queue itself is what is offered.
        if (dests[i].instance || !dests[i].name)
            continue;
        if (dests[i].is_default)
            queues.Default = static_cast<int32_t>(queues.Names.size());
        queues.Names.emplace_back(dests[i].name);
    }
    cupsFreeDests(count, dests);
    return queues;
}

bool DisplayNamed()
{
    return Set("DISPLAY") || Set("WAYLAND_DISPLAY");
}

void PrepareOffer(const PrintSetup& setup, const std::string& title, DialogOffer& offer)
{
    PlotwiseDialogRequest& request = offer.Request;
    QueueList& queues = offer.Queues;
    request.Queue = -1;
    if (setup.Destination == DestinationKind::Cups) {
        // A queue named by the setup is offered even when the system does
        // not list it, so the user sees where the job was to go.
        request.Queue = IndexOf(queues.Names, setup.CupsQueue);
        if (request.Queue < 0) {
            queues.Names.push_back(setup.CupsQueue);
            request.Queue = static_cast<int32_t>(queues.Names.size() - 1);
        }
    } else if (!setup.ExplicitOutput) {
        // Nothing was named: the system's default queue, as lp takes it.
        request.Queue = queues.Default;
    }
    offer.FilePath = setup.ExplicitOutput && IsFile(setup.Destination)
        ? setup.OutputPath
        : setup.OutputFolder + "/" + FileNameFromTitle(title) + ".pdf";

    request.Paper = -1;
    for (const NamedPaper& paper : kNamedPapers) {
        if (setup.PaperName == paper.Name)
            request.Paper = static_cast<int32_t>(offer.Papers.size());
        offer.Papers.emplace_back(paper.Label);
    }
    if (request.Paper < 0) {
        request.Paper = static_cast<int32_t>(offer.Papers.size());
        offer.Papers.push_back(setup.PaperName);
    }

    for (const std::string& name : queues.Names)
        offer.QueuePointers.push_back(name.c_str());
    for (const std::string& name : offer.Papers)
        offer.PaperPointers.push_back(name.c_str());
    request.Queues = offer.QueuePointers.data();
    request.QueueCount = static_cast<int32_t>(offer.QueuePointers.size());
    request.DefaultQueue = queues.Default;
    request.FilePath = offer.FilePath.c_str();
    request.Papers = offer.PaperPointers.data();
    request.PaperCount = static_cast<int32_t>(offer.PaperPointers.size());
    request.Landscape = setup.Landscape ? 1 : 0;
    request.Copies = setup.Copies;
}

void ApplyDialogAnswer(PrintSetup& setup, const DialogOffer& offer, const PlotwiseDialogAnswer& answer)
{
    const std::vector<std::string>& queues = offer.Queues.Names;
    if (answer.Queue >= 0 && static_cast<size_t>(answer.Queue) < queues.size()) {
        setup.Destination = DestinationKind::Cups;
        setup.CupsQueue = queues[static_cast<size_t>(answer.Queue)];
        setup.OutputPath.clear();
        setup.ExplicitOutput = true;
    } else if (answer.FileChosen && answer.FilePath && *answer.FilePath) {
        std::string path = answer.FilePath;
        std::optional<DestinationKind> kind = DestinationFromPath(path);
        if (!kind || *kind == DestinationKind::Cups) {
            path += ".pdf";
            kind = DestinationKind::Pdf;
        }
        setup.Destination = *kind;
        setup.OutputPath = path;
        setup.ExplicitOutput = true;
    } else if (!(setup.ExplicitOutput && IsFile(setup.Destination))) {
        // The file offered was the default one: it is numbered as ever
        // rather than replacing an earlier job's.
        setup.Destination = DestinationKind::Pdf;
        setup.OutputPath.clear();
        setup.ExplicitOutput = false;
    }
    const auto paper = static_cast<size_t>(answer.Paper);
    if (answer.Paper >= 0 && paper < std::size(kNamedPapers))
        ApplySetting(setup, "paper", kNamedPapers[paper].Name);
    setup.Landscape = answer.Landscape != 0;
    setup.Copies = std::clamp(answer.Copies, 1, kMaximumCopies);
}

DialogOutcome ShowPrintDialog(Job& job)
{
    if (!DisplayNamed())
        return DialogOutcome::NotShown;
    std::string error;
    PlotwiseDialogRun run = DialogEntry(error);
    if (!run) {
        Report(job, "the print dialog cannot be shown: " + error);
        return DialogOutcome::NotShown;
    }
    DialogOffer offer;
    offer.Queues = ListQueues();
    PrepareOffer(job.Setup, job.Title, offer);
    offer.Request.Title = job.Title.c_str();
    PlotwiseDialogAnswer answer {};
    const int32_t result = run(&offer.Request, &answer);
    std::unique_ptr<char, decltype(&std::free)> path(answer.FilePath, &std::free);
    switch (result) {
    case PLOTWISE_DIALOG_ACCEPTED:
        ApplyDialogAnswer(job.Setup, offer, answer);
        return DialogOutcome::Accepted;
    case PLOTWISE_DIALOG_CANCELLED:
        return DialogOutcome::Cancelled;
    default:
        Report(job, "no display for the print dialog: printing with the setup as it stands");
        return DialogOutcome::NotShown;
    }
}

} // namespace plotwise
