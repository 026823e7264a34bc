// SPDX-License-Identifier: GPL-3.0-or-later
// The fixed-length split: pieces of K seconds each, the last one holding what remains.
#include "byteoffsets.h"
#include "leadinginteger.h"
#include "splitjob.h"
#include "splitoperations.h"

namespace parvex {

SplitResult SplitFixedLength(const FixedLengthRequest& request, SplitHost& host)
{
    const std::int64_t total = request.totalSeconds;
    if (total <= 0 || request.sourcePath.empty())
        return {};
    // An empty box or text without a number reads as 0, like a typed 0 or a negative value:
    // there is no piece of fewer than one second, so nothing is written and nothing shown.
    const std::int64_t secondsPerPart = ParseLeadingInteger(request.secondsText).value_or(0);
    const std::int64_t count = FixedLengthPartCount(total, secondsPerPart);
    if (count < 1)
        return {};

    SplitJob job(host);
    if (!job.openSource(request.sourcePath))
        return job.result();
    const std::int64_t size = job.sourceSize();
    return job.writeNumberedParts(request.outputFolder, count,
        [&](std::int64_t i) { return FixedLengthRange(i, total, size, secondsPerPart); });
}

} // namespace parvex
