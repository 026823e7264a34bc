// SPDX-License-Identifier: GPL-3.0-or-later
// pthread_sigmask around the start of a worker thread.
#include "blockedinterruptions.h"

#include <pthread.h>

namespace parvex {

BlockedInterruptions::BlockedInterruptions()
{
    sigset_t blocked;
    sigemptyset(&blocked);
    sigaddset(&blocked, SIGINT);
    sigaddset(&blocked, SIGTERM);
    sigaddset(&blocked, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &blocked, &m_previous);
}

BlockedInterruptions::~BlockedInterruptions()
{
    pthread_sigmask(SIG_SETMASK, &m_previous, nullptr);
}

bool BlockedInterruptions::isBlocked(int signal)
{
    sigset_t current;
    sigemptyset(&current);
    return pthread_sigmask(SIG_BLOCK, nullptr, &current) == 0 && sigismember(&current, signal) == 1;
}

} // namespace parvex
