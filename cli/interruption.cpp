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

void CatchInterruptions()
{
    struct sigaction action = {};
    action.sa_handler = onInterruption;
    sigemptyset(&action.sa_mask);
    for (const int signal : { SIGINT, SIGTERM, SIGHUP })
        sigaction(signal, &action, nullptr);
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
