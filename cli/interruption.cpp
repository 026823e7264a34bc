#include "interruption.h"

#include <csignal>
#include <initializer_list>

namespace {

volatile std::sig_atomic_t caughtSignal = 0;

extern "C" void onInterruption(int signal)
{
    caughtSignal = signal;
}

} // namespace

// A signal the parent ignores (nohup, a background job of a script) stays ignored. The first
// caught signal restores the default action, so a second Ctrl-C ends the process at once, even
// in the middle of indexing a large source.
void CatchInterruptions()
{
    struct sigaction action = {};
    action.sa_handler = onInterruption;
    action.sa_flags = static_cast<int>(SA_RESETHAND);
    sigemptyset(&action.sa_mask);
    for (const int signal : { SIGINT, SIGTERM, SIGHUP }) {
        struct sigaction previous = {};
        if (sigaction(signal, nullptr, &previous) == 0 && previous.sa_handler != SIG_IGN)
            sigaction(signal, &action, nullptr);
    }
}

int InterruptionSignal()
{
    return caughtSignal;
}

void EndByInterruption()
{
    const int signal = caughtSignal;
    if (signal == 0)
        return;
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}
