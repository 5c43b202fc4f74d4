#include "Interrupts.h"

#include <csignal>
#include <initializer_list>

#include <unistd.h>

namespace platform {
namespace {

volatile std::sig_atomic_t interruptedExitStatus = 0;

void EndInterrupted(int)
{
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

} // namespace platform
