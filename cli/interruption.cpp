// SPDX-License-Identifier: GPL-3.0-or-later
#include "interruption.h"

#include "armedtemporaries.h"

#include <atomic>
#include <csignal>
#include <initializer_list>

namespace parvex {

namespace {

// Written by the handler, read by the work between blocks.
std::atomic<int> caughtSignal { 0 };
static_assert(std::atomic<int>::is_always_lock_free, "a signal handler writes it");

constexpr std::initializer_list<int> interruptions { SIGINT, SIGTERM, SIGHUP };

// The first signal only asks the work to stop. A second one ends the process by that signal at
// once, after removing the temporary file of the piece being written if it has a name (one
// without goes with the process): no half-written file is left for nobody to remove. The
// signal, blocked while its handler runs, comes again as soon as the handler returns.
extern "C" void onInterruption(int signal)
{
    int none = 0;
    if (caughtSignal.compare_exchange_strong(none, signal))
        return;
    RemoveArmedTemporaries();
    struct sigaction byDefault = {};
    byDefault.sa_handler = SIG_DFL;
    sigemptyset(&byDefault.sa_mask);
    sigaction(signal, &byDefault, nullptr);
    raise(signal);
}

} // namespace

// A signal the parent ignores (nohup, a background job of a script) stays ignored. The three
// block each other while one is handled, so a second one never interrupts the first's handler.
void CatchInterruptions()
{
    struct sigaction action = {};
    action.sa_handler = onInterruption;
    sigemptyset(&action.sa_mask);
    for (const int signal : interruptions)
        sigaddset(&action.sa_mask, signal);
    for (const int signal : interruptions) {
        struct sigaction previous = {};
        if (sigaction(signal, nullptr, &previous) == 0 && previous.sa_handler != SIG_IGN)
            sigaction(signal, &action, nullptr);
    }
}

int InterruptionSignal()
{
    return caughtSignal.load();
}

void EndByInterruption()
{
    const int signal = caughtSignal.load();
    if (signal == 0)
        return;
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

} // namespace parvex
