// SPDX-License-Identifier: GPL-3.0-or-later
// What a split operation did, for hosts that report more than the message boxes.
#pragma once

#include <string>
#include <vector>

namespace parvex {

enum class SplitStatus {
    Done, // every piece written and closed; showDone() was called
    Stopped, // refused by a check, a No, or nothing to do; nothing touched on disk
    Failed, // a file failure was shown; finished pieces stay, the failed one left nothing
    Cancelled, // the host asked to stop: finished pieces stay, the one being written left nothing
};

struct SplitResult
{
    SplitStatus status = SplitStatus::Stopped;
    // The finished pieces, in order (a piece that failed or was cancelled left no file).
    std::vector<std::string> written;
    int errorNumber = 0; // errno of the failing file call, 0 when none applies
};

} // namespace parvex
