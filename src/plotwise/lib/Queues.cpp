#include "Queues.h"

#include <cups/cups.h>
#include <cups/pwg.h>

#include <cstdlib>
#include <fstream>
#include <string_view>
#include <sys/stat.h>

namespace plotwise {
namespace {

constexpr int64_t kHundredthsOfMillimetrePerInch = 2540;
constexpr int32_t kMicrometresPerHundredth = 10;

bool Exists(const std::string& path)
{
    struct stat info {};
    return !path.empty() && stat(path.c_str(), &info) == 0;
}

std::string Environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

// True when an lpoptions file names a default destination.
bool NamesDefault(const std::string& path)
{
    std::ifstream file(path);
    std::string word;
    while (file >> word) {
        if (word == "Default" || word == "default")
            return true;
        file.ignore(1 << 16, '\n');
    }
    return false;
}

// True when a CUPS server could name a default queue, so that libcups is
// worth loading: without a configured server and without the local
// scheduler's socket there is none to ask.
bool ServerMayAnswer()
{
    if (!Environment("LPDEST").empty() || !Environment("PRINTER").empty())
        return true;
    const std::string home = Environment("HOME");
    if (!home.empty() && (NamesDefault(home + "/.cups/lpoptions") || Exists(home + "/.cups/client.conf")))
        return true;
    const std::string server = Environment("CUPS_SERVER");
    if (!server.empty())
        return server.front() != '/' || Exists(server);
    return NamesDefault("/etc/cups/lpoptions") || Exists("/etc/cups/client.conf") || Exists("/run/cups/cups.sock")
        || Exists("/var/run/cups/cups.sock");
}

} // namespace

std::optional<std::string> DefaultQueue()
{
    if (!ServerMayAnswer())
        return std::nullopt;
    cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, nullptr, nullptr);
    if (!dest)
        return std::nullopt;
    std::optional<std::string> name;
    if (dest->name && *dest->name)
        name = dest->name;
    cupsFreeDests(1, dest);
    return name;
}

void ChooseDefaultQueue(PrintSetup& setup)
{
    if (setup.ExplicitOutput || setup.OutputFolderGiven || !setup.OutputError.empty())
        return;
    if (std::optional<std::string> queue = DefaultQueue()) {
        setup.Destination = DestinationKind::Cups;
        setup.CupsQueue = *queue;
    }
}

bool ReadQueueMedia(const std::string& queue, int32_t dpi, QueueMedia& media)
{
    cups_dest_t* dests = nullptr;
    const int count = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests);
    cups_dest_t* dest = cupsGetDest(queue.c_str(), nullptr, count, dests);
    bool found = false;
    cups_size_t size {};
    if (dest) {
        if (cups_dinfo_t* info = cupsCopyDestInfo(CUPS_HTTP_DEFAULT, dest)) {
            found = cupsGetDestMediaDefault(CUPS_HTTP_DEFAULT, dest, info, 0, &size) != 0;
            cupsFreeDestInfo(info);
        }
        // A queue without a driver (a raw queue) describes no media of its
        // own, but its options still name the paper it was set up with.
        const char* named = found ? nullptr : cupsGetOption("media", dest->num_options, dest->options);
        if (named) {
            pwg_media_t* paper = pwgMediaForPWG(named);
            if (!paper)
                paper = pwgMediaForLegacy(named);
            if (paper && paper->width > 0 && paper->length > 0) {
                size = {};
                size.width = paper->width;
                size.length = paper->length;
                found = true;
            }
        }
    }
    cupsFreeDests(count, dests);
    if (!found || size.width <= 0 || size.length <= 0)
        return false;
    media.PaperWidth = size.width * kMicrometresPerHundredth;
    media.PaperHeight = size.length * kMicrometresPerHundredth;
    media.OffsetX = static_cast<int32_t>(static_cast<int64_t>(size.left) * dpi / kHundredthsOfMillimetrePerInch);
    media.OffsetY = static_cast<int32_t>(static_cast<int64_t>(size.top) * dpi / kHundredthsOfMillimetrePerInch);
    return true;
}

} // namespace plotwise
