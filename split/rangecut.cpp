// SPDX-License-Identifier: GPL-3.0-or-later
// The range cut: one piece between two time marks, written to a path the user chose.
#include "byteoffsets.h"
#include "fileaccess.h"
#include "filecopy.h"
#include "outputcheck.h"
#include "rangerefusal.h"
#include "splitjob.h"
#include "splitmessages.h"
#include "splitoperations.h"

#include <optional>
#include <string_view>

namespace parvex {

namespace {

SplitResult stopped()
{
    return { SplitStatus::Stopped, {}, 0 };
}

} // namespace

std::optional<std::string_view> RangeRefusal(
    std::int64_t a, std::int64_t b, std::int64_t total, bool endMayReachTotal)
{
    if (a >= total)
        return SplitMessages::StartBeyondTotal;
    if (endMayReachTotal ? b > total : b >= total)
        return SplitMessages::EndBeyondTotal;
    if (a >= b)
        return SplitMessages::StartAfterEnd;
    // Past the three checks a negative mark still gets through (a < b < T); it has no offset.
    if (a < 0)
        return SplitMessages::StartNegative;
    if (b < 0)
        return SplitMessages::EndNegative;
    return std::nullopt;
}

SplitResult CutRange(const RangeCutRequest& request, SplitHost& host)
{
    if (!request.sourceOpen) {
        host.showError(SplitMessages::NoSource);
        return stopped();
    }
    const std::int64_t a = request.start.totalSeconds();
    const std::int64_t b = request.end.totalSeconds();
    // From here on 0 <= a < b < T, so T is above 0 and nothing divides by zero.
    if (const auto message = RangeRefusal(a, b, request.totalSeconds, false)) {
        host.showError(*message);
        return stopped();
    }
    // Checked before the replace question: a Yes would otherwise delete the source itself.
    if (IsSameFile(request.outputPath, request.sourcePath)) {
        host.showError(SplitMessages::OutputIsSource);
        return stopped();
    }
    // The source is opened before the question too, so that a source that cannot be opened is
    // told before a question whose answer could not matter.
    SplitJob job(host);
    if (!job.openSource(request.sourcePath))
        return job.result();
    if (!MayWriteOutput(request.outputPath, host))
        return stopped();
    // The old output stays until the new piece is complete (SplitJob::writePiece): a symbolic
    // link keeps pointing at the file it replaces, and a failure loses nothing.
    const std::int64_t size = job.sourceSize();
    const ByteRange range { RangeCutOffset(a, request.totalSeconds, size),
        RangeCutOffset(b, request.totalSeconds, size) };
    job.setPlannedBytes(CopiedByteCount(range, size));
    if (!job.writePiece(request.outputPath, range))
        return job.result();
    return job.finish();
}

} // namespace parvex
