// SPDX-License-Identifier: GPL-3.0-or-later
// Runs a request: the proportional engine's three operations, or an exact plan over the index.
#include "cutdispatcher.h"

#include "exactplanner.h"
#include "exactplanrunner.h"
#include "fileaccess.h"
#include "splitmessages.h"
#include "splitoperations.h"
#include "streamscan.h"

#include <cerrno>
#include <cstdio>
#include <memory>

namespace parvex {

namespace {

SplitResult stopped()
{
    return { SplitStatus::Stopped, {}, 0 };
}

std::optional<std::int64_t> measure(const CutRequest& request)
{
    return request.measureSeconds ? request.measureSeconds() : std::nullopt;
}

SplitResult cutRange(const CutRequest& request, const CutBetween& range, SplitHost& host)
{
    RangeCutRequest cut;
    cut.sourcePath = request.sourcePath;
    cut.sourceOpen = request.sourceOpen;
    cut.start = range.start;
    cut.end = range.end;
    cut.outputPath = range.outputPath;
    // Without a source the cut refuses before it needs T.
    if (request.sourceOpen) {
        const auto total = measure(request);
        if (!total)
            return stopped();
        cut.totalSeconds = *total;
    }
    return CutRange(cut, host);
}

SplitResult splitEqualParts(const CutRequest& request, const CutIntoParts& parts, SplitHost& host)
{
    EqualPartsRequest split;
    split.sourcePath = request.sourcePath;
    split.sourceOpen = request.sourceOpen;
    split.partCount = parts.count;
    split.outputFolder = request.outputFolder;
    return SplitEqualParts(split, host);
}

SplitResult splitFixedLength(const CutRequest& request, const CutEvery& every, SplitHost& host)
{
    if (request.sourcePath.empty())
        return {};
    const auto total = measure(request);
    if (!total)
        return stopped();
    if (*total == 0) {
        host.explain("The mp3 file is shorter than one second: there is nothing to split.");
        return stopped();
    }
    FixedLengthRequest split;
    split.sourcePath = request.sourcePath;
    split.totalSeconds = *total;
    split.secondsText = every.secondsText;
    split.outputFolder = request.outputFolder;
    return SplitFixedLength(split, host);
}

SplitResult runProportional(const CutRequest& request, SplitHost& host)
{
    if (const auto* range = std::get_if<CutBetween>(&request.shape))
        return cutRange(request, *range, host);
    if (const auto* parts = std::get_if<CutIntoParts>(&request.shape))
        return splitEqualParts(request, *parts, host);
    return splitFixedLength(request, std::get<CutEvery>(request.shape), host);
}

SplitResult runExact(const CutRequest& request, SplitHost& host)
{
    if (AsksForNothing(request))
        return {};
    if (!request.sourceOpen) {
        host.showError(SplitMessages::NoSource);
        return stopped();
    }
    // A source that cannot be opened gets the proportional cut's message, not a refusal.
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> source(
        OpenSourceFile(request.sourcePath), &std::fclose);
    if (!source) {
        const int error = LastErrorOr(ENOENT);
        host.showFileFailure(SplitMessages::CannotOpenSource, request.sourcePath, error);
        return { SplitStatus::Failed, {}, error };
    }
    // The index, the tags and the pieces read this one descriptor: a file renamed over the path
    // meanwhile is never read.
    const IndexOutcome indexed
        = IndexMp3Stream(::fileno(source.get()), IndexHorizonSeconds(request.shape));
    if (!indexed.index) {
        host.showError(std::string("This file cannot be cut exactly: ")
            + IndexRefusalText(indexed.refusal) + ".");
        return stopped();
    }
    const PlanOutcome planned = PlanExactCut(request, *indexed.index);
    if (!planned.refusal.empty()) {
        host.showError(planned.refusal);
        return stopped();
    }
    if (request.reviewPlan && !request.reviewPlan(planned.plan))
        return {};
    return RunExactPlan(planned.plan, *indexed.index, ::fileno(source.get()), host);
}

} // namespace

SplitResult RunCut(const CutRequest& request, SplitHost& host)
{
    // Marked pieces are cut exactly, always: a proportional cut would put them off by seconds.
    return request.exact || std::holds_alternative<CutAtMarks>(request.shape)
        ? runExact(request, host)
        : runProportional(request, host);
}

} // namespace parvex
