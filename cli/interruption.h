// SPDX-License-Identifier: GPL-3.0-or-later
// Ctrl-C, SIGTERM and SIGHUP during a split: the operation is asked to stop at its next block,
// removes the piece it was writing, and the process then ends by the same signal, so shells
// and scripts see the interruption as such.
#pragma once

namespace parvex {

// Catches the three signals, unless they are ignored, without SA_RESTART, so a blocked terminal
// read (the replace question) returns at once; a second one ends the process at once, leaving
// no temporary file behind (see RemoveArmedTemporaries). Call once, before any operation starts
// and before any worker thread (which must block them: BlockedInterruptions).
void CatchInterruptions();

// The signal caught, or 0.
int InterruptionSignal();

// Ends the process by the caught signal with its default action; returns if none was caught.
void EndByInterruption();

} // namespace parvex
