// SPDX-License-Identifier: GPL-3.0-or-later
// Keeps Ctrl-C, SIGTERM and SIGHUP away from the engines' worker threads.
#pragma once

#include <csignal>

namespace parvex {

// Blocks SIGINT, SIGTERM and SIGHUP in the calling thread while it lives, and restores the mask
// it found. A thread started meanwhile inherits the blocked mask and keeps it for good, so the
// interruptions always reach a thread that is not a worker: their handler then never runs in
// the middle of a walk's or a copy's own calls.
class BlockedInterruptions
{
public:
    BlockedInterruptions();
    ~BlockedInterruptions();
    BlockedInterruptions(const BlockedInterruptions&) = delete;
    BlockedInterruptions& operator=(const BlockedInterruptions&) = delete;

    // True when `signal` is blocked in the calling thread.
    static bool isBlocked(int signal);

private:
    sigset_t m_previous {};
};

} // namespace parvex
