// The checks in the order the proportional cut makes them, then one piece through a temporary
// file: the old output stays whole until the new one is complete and closed.
#include "exactrangecut.h"

#include "fileaccess.h"
#include "outputcheck.h"
#include "piecefile.h"
#include "pieceplan.h"
#include "sourcetags.h"
#include "splitmessages.h"
#include "streamscan.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <memory>
#include <optional>
#include <string_view>

namespace {

SplitResult stopped()
{
    return { SplitStatus::Stopped, {}, 0 };
}

// The marks as gapless samples; they may reach the end exactly, not past it.
std::optional<std::string_view> refusal(std::int64_t a, std::int64_t b, const GaplessFacts& facts)
{
    const std::int64_t length = facts.totalSamples;
    if (a * facts.sampleRate >= length)
        return SplitMessages::StartBeyondTotal;
    if (b * facts.sampleRate > length)
        return SplitMessages::EndBeyondTotal;
    if (a >= b)
        return SplitMessages::StartAfterEnd;
    if (a < 0)
        return SplitMessages::StartNegative;
    if (b < 0)
        return SplitMessages::EndNegative;
    return std::nullopt;
}

} // namespace

SplitResult CutRangeExact(const ExactRangeCutRequest& request, SplitHost& host)
{
    // A source that cannot be opened gets the proportional cut's message, not a refusal.
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> source(
        OpenSourceFile(request.sourcePath), &std::fclose);
    if (!source) {
        host.showFileError(SplitMessages::CannotOpenSource);
        return { SplitStatus::Failed, {}, LastErrorOr(ENOENT) };
    }
    // The frames past both marks are not needed.
    const IndexOutcome indexed = IndexMp3Stream(
        request.sourcePath, std::max(request.start.totalSeconds(), request.end.totalSeconds()));
    if (!indexed.index) {
        host.showError(std::string("This file cannot be cut exactly: ")
            + IndexRefusalText(indexed.refusal) + ".");
        return stopped();
    }
    const StreamIndex& index = *indexed.index;
    const std::int64_t a = request.start.totalSeconds();
    const std::int64_t b = request.end.totalSeconds();
    if (const auto message = refusal(a, b, index.gapless)) {
        host.showError(*message);
        return stopped();
    }
    // Before the replace question, as in the proportional cut: a Yes must never touch the source.
    if (IsSameFile(request.outputPath, request.sourcePath)) {
        host.showError(SplitMessages::OutputIsSource);
        return stopped();
    }
    if (!MayWriteOutput(request.outputPath, host))
        return stopped();
    const std::int64_t rate = index.gapless.sampleRate;
    const auto pieces = PlanPieces(index, { a * rate, b * rate });
    host.setBusy(true);
    host.pieceStarted(request.outputPath);
    const std::int64_t planned = PlannedPieceBytes(index, pieces.front());
    const auto proceed = [&host, planned](std::int64_t written) {
        host.progress(written, std::max(planned, written));
        return !host.cancelled();
    };
    // A range keeps the source's track number.
    const PieceTagBytes tags
        = ReadSourceTags(::fileno(source.get()), index)
              .forPiece({ 0, 0, PieceMilliseconds(pieces.front(), index.gapless) });
    const auto failure = WritePieceFile(
        index, pieces.front(), ::fileno(source.get()), request.outputPath, tags, proceed);
    host.setBusy(false);
    if (failure && failure->cancelled)
        return { SplitStatus::Cancelled, {}, 0 };
    if (failure) {
        host.showFileError(failure->message);
        return { SplitStatus::Failed, {}, failure->errorNumber };
    }
    host.showDone();
    return { SplitStatus::Done, { request.outputPath }, 0 };
}
