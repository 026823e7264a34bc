// SPDX-License-Identifier: GPL-3.0-or-later
// The equal-parts split: N pieces of equal byte size, numbered files in the output folder.
#include "byteoffsets.h"
#include "splitjob.h"
#include "splitoperations.h"

namespace parvex {

SplitResult SplitEqualParts(const EqualPartsRequest& request, SplitHost& host)
{
    const std::int64_t count = request.partCount;
    if (!request.sourceOpen || count < 1)
        return {};

    SplitJob job(host);
    if (!job.openSource(request.sourcePath))
        return job.result();
    const std::int64_t size = job.sourceSize();
    return job.writeNumberedParts(request.outputFolder, count,
        [&](std::int64_t i) { return EqualPartRange(i, count, size); });
}

} // namespace parvex
