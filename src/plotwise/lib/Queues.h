#pragma once

// What the library asks of CUPS before a job prints to a queue: which queue
// is the user's default, and the paper and margins a queue prints on.

#include "PrintSetup.h"

#include <cstdint>
#include <optional>
#include <string>

namespace plotwise {

// The queue `lp` would print to without -d: LPDEST, PRINTER, the default of
// the user's or the system's lpoptions, else the server's default. Nothing
// when there is none or no server can answer. libcups is loaded only when a
// server could answer: a server named by CUPS_SERVER or a client.conf, or
// the local scheduler's socket.
std::optional<std::string> DefaultQueue();

// A setup that names no destination of its own (no output, no output
// folder) prints to the default queue when there is one; otherwise its
// pages stay a PDF in OutputFolder.
void ChooseDefaultQueue(PrintSetup& setup);

// The paper of a queue's default media, in micrometres, and its
// unprintable margins in device units at dpi (zero when the queue does not
// say). False, with the sizes untouched, when the queue names no media.
struct QueueMedia {
    int32_t PaperWidth = 0;
    int32_t PaperHeight = 0;
    int32_t OffsetX = 0;
    int32_t OffsetY = 0;
};
bool ReadQueueMedia(const std::string& queue, int32_t dpi, QueueMedia& media);

} // namespace plotwise
