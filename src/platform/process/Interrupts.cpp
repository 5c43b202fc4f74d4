#include "Interrupts.h"

#include <climits>
#include <csignal>
#include <cstring>
#include <initializer_list>

#include <unistd.h>

namespace platform {
namespace {

volatile std::sig_atomic_t interruptedExitStatus = 0;

constexpr int kRemovals = 4;
char removals[kRemovals][PATH_MAX] = {};
volatile std::sig_atomic_t removalCount = 0;

void EndInterrupted(int)
{
    for (int i = 0; i < removalCount; ++i) {
        if (unlink(removals[i]) != 0)
            rmdir(removals[i]);
    }
    _exit(interruptedExitStatus);
}

} // namespace

void WatchInterrupts()
{
    for (int signal : { SIGINT, SIGTERM, SIGHUP }) {
        struct sigaction before { };
        if (sigaction(signal, nullptr, &before) != 0 || before.sa_handler == SIG_IGN)
            continue;
        struct sigaction action { };
        action.sa_handler = EndInterrupted;
        sigemptyset(&action.sa_mask);
        sigaction(signal, &action, nullptr);
    }
}

void SetInterruptedExitStatus(int status)
{
    interruptedExitStatus = status;
}

void RemoveOnInterrupt(const std::string& path)
{
    if (removalCount >= kRemovals || path.size() >= PATH_MAX)
        return;
    std::memcpy(removals[removalCount], path.c_str(), path.size() + 1);
    removalCount = removalCount + 1;
}

} // namespace platform
