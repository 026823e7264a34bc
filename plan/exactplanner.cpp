// SPDX-License-Identifier: GPL-3.0-or-later
// The range, equal-parts and every-K-seconds planners of the exact engine.
#include "exactplanner.h"

#include "markplanner.h"
#include "partnames.h"
#include "pieceplan.h"
#include "rangerefusal.h"
#include "splitmessages.h"

#include <algorithm>
#include <vector>

namespace parvex {

namespace {

template<class... Ts>
struct Overloaded : Ts...
{
    using Ts::operator()...;
};
// Spelled out for compilers without class template argument deduction for aggregates (clang 14).
template<class... Ts>
Overloaded(Ts...) -> Overloaded<Ts...>;

PlanOutcome refused(std::string_view text)
{
    return { std::string(text), {} };
}

PlanOutcome planRange(const CutBetween& shape, const CutRequest& request, const StreamIndex& index)
{
    const std::int64_t rate = index.gapless.sampleRate;
    const std::int64_t a = MarkSample(shape.start, rate);
    const std::int64_t b = MarkSample(shape.end, rate);
    // The marks as gapless samples; they may reach the end exactly, not past it.
    if (const auto text = RangeRefusal(a, b, index.gapless.totalSamples, true))
        return refused(*text);
    CutPlan plan { request.sourcePath, { { a, b, shape.outputPath, {} } }, true };
    return { {}, std::move(plan) };
}

// Numbered pieces "<name>_<i>.mp3" between consecutive cuts; empty spans are left out.
CutPlan numberedPieces(const CutRequest& request, const std::vector<std::int64_t>& cuts)
{
    CutPlan plan { request.sourcePath, {}, false };
    for (std::size_t i = 0; i + 1 < cuts.size(); ++i) {
        if (cuts[i + 1] <= cuts[i])
            continue;
        plan.pieces.push_back({ cuts[i], cuts[i + 1], {}, {} });
    }
    const int count = static_cast<int>(plan.pieces.size());
    for (int i = 0; i < count; ++i) {
        PlannedPiece& piece = plan.pieces[static_cast<std::size_t>(i)];
        piece.outputPath
            = OutputPathInFolder(request.outputFolder, MakePartFileName(request.sourcePath, i));
        piece.tags.track = i + 1;
        piece.tags.trackCount = count;
    }
    return plan;
}

PlanOutcome planParts(
    const CutIntoParts& shape, const CutRequest& request, const StreamIndex& index)
{
    // Each piece holds at least one frame: a larger count is refused, unplanned.
    if (shape.count > std::ssize(index.frames))
        return refused(SplitMessages::TooManyPieces);
    CutPlan plan = numberedPieces(request, PartsCuts(index, static_cast<int>(shape.count)));
    if (std::ssize(plan.pieces) < shape.count)
        return refused(SplitMessages::TooManyPieces);
    return { {}, std::move(plan) };
}

PlanOutcome planEvery(const CutEvery& shape, const CutRequest& request, const StreamIndex& index)
{
    const double seconds = static_cast<double>(MarkSample(shape.length, 1'000'000'000)) / 1e9;
    CutPlan plan = numberedPieces(request, EveryCuts(index.gapless, seconds));
    if (plan.pieces.empty())
        return refused(SplitMessages::TooManyPieces);
    return { {}, std::move(plan) };
}

} // namespace

std::optional<std::int64_t> IndexHorizonSeconds(const CutShape& shape)
{
    if (const auto* range = std::get_if<CutBetween>(&shape)) {
        // A fraction reaches into the next second.
        return std::max(range->start.totalSeconds(), range->end.totalSeconds()) + 1;
    }
    return std::nullopt;
}

bool AsksForNothing(const CutRequest& request)
{
    return std::visit(
        Overloaded {
            [](const CutBetween&) { return false; },
            [](const CutAtMarks&) { return false; },
            [&](const CutIntoParts& parts) { return !request.sourceOpen || parts.count < 1; },
            [&](const CutEvery& every) {
                return request.sourcePath.empty() || MarkSample(every.length, 1'000'000'000) <= 0;
            },
        },
        request.shape);
}

std::int64_t PointSample(const CutPoint& point, std::int64_t sampleRate)
{
    // In two parts, so that no product overflows: whole seconds, then the rest rounded.
    const std::int64_t whole = point.count / point.perSecond;
    const std::int64_t rest = point.count % point.perSecond * sampleRate;
    const std::int64_t half = point.perSecond / 2;
    return whole * sampleRate + (rest + (rest < 0 ? -half : half)) / point.perSecond;
}

std::int64_t MarkSample(const TimeMark& mark, std::int64_t sampleRate)
{
    // The fraction rounds to the nearest sample, halves away from zero.
    constexpr std::int64_t kNanoseconds = 1'000'000'000;
    const std::int64_t fraction = std::int64_t { mark.nanoseconds } * sampleRate;
    const std::int64_t rounded
        = (fraction + (fraction < 0 ? -1 : 1) * kNanoseconds / 2) / kNanoseconds;
    return mark.totalSeconds() * sampleRate + rounded;
}

PlanOutcome PlanExactCut(const CutRequest& request, const StreamIndex& index)
{
    PlanOutcome planned = std::visit(
        [&](const auto& shape) -> PlanOutcome {
            using Shape = std::decay_t<decltype(shape)>;
            if constexpr (std::is_same_v<Shape, CutBetween>)
                return planRange(shape, request, index);
            else if constexpr (std::is_same_v<Shape, CutIntoParts>)
                return planParts(shape, request, index);
            else if constexpr (std::is_same_v<Shape, CutEvery>)
                return planEvery(shape, request, index);
            else
                return PlanMarkedPieces(shape, request, index);
        },
        request.shape);
    planned.plan.sampleRate = index.gapless.sampleRate;
    return planned;
}

} // namespace parvex
