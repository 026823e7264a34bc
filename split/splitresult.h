// What a split operation did, for hosts that report more than the message boxes.
#pragma once

#include <string>
#include <vector>

enum class SplitStatus {
    Done, // every piece written and closed; showDone() was called
    Stopped, // refused by a check, a No, or nothing to do; nothing touched on disk
    Failed, // a file failure was shown; files already written stay
    Cancelled, // the host asked to stop: finished pieces stay, the one being written is removed
};

struct SplitResult
{
    SplitStatus status = SplitStatus::Stopped;
    // Outputs created, in order, a partial last one included (but not one removed by a cancel).
    std::vector<std::string> written;
    int errorNumber = 0; // errno of the failing file call, 0 when none applies
};
