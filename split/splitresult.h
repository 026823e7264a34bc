// What a split operation did, for hosts that report more than the message boxes.
#pragma once

#include <string>
#include <vector>

enum class SplitStatus {
    Done, // every piece written and closed; showDone() was called
    Stopped, // refused by a check, a No, or nothing to do; nothing touched on disk
    Failed, // a file failure was shown; files already written stay
};

struct SplitResult
{
    SplitStatus status = SplitStatus::Stopped;
    std::vector<std::string> written; // outputs created, in order, a partial last one included
    int errorNumber = 0; // errno of the failing file call, 0 when none applies
};
