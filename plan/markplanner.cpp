// SPDX-License-Identifier: GPL-3.0-or-later
// Marked pieces become sample spans in the source's decode, then named and tagged pieces.
#include "markplanner.h"

#include "nametemplate.h"
#include "partnames.h"
#include "sampleclock.h"

#include <algorithm>
#include <cstdio>

namespace parvex {

namespace {

std::string sourceName(const std::string& sourcePath)
{
    const std::string name = FileNameFromPath(sourcePath);
    const auto dot = name.rfind('.');
    return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

struct Span
{
    std::int64_t first = 0;
    std::int64_t end = 0;
};

// The pieces' spans, or the refusal of the first that cannot be cut.
std::string spansOf(const CutAtMarks& marks, const GaplessFacts& gapless, std::vector<Span>& spans)
{
    const std::int64_t rate = gapless.sampleRate;
    const std::int64_t total = gapless.totalSamples;
    for (std::size_t i = 0; i < marks.pieces.size(); ++i) {
        const MarkedPiece& piece = marks.pieces[i];
        const std::int64_t first = PointSample(piece.start, rate);
        const std::int64_t next
            = i + 1 < marks.pieces.size() ? PointSample(marks.pieces[i + 1].start, rate) : total;
        // An end a rounding past the source's (a chapter's milliseconds) is its end.
        const std::int64_t end = std::min(piece.end ? PointSample(*piece.end, rate) : next, total);
        const std::string number = "Piece " + std::to_string(i + 1);
        if (first < 0 || first >= total)
            return number + " starts at " + SampleClockText(first, rate)
                + ", at or past the end of the source (" + SampleClockText(total, rate) + ").";
        if (end <= first || (!spans.empty() && first < spans.back().end))
            return number + " at " + SampleClockText(first, rate)
                + " does not come after the piece before it: cut points must increase.";
        spans.push_back({ first, end });
    }
    return {};
}

} // namespace

PlanOutcome PlanMarkedPieces(
    const CutAtMarks& marks, const CutRequest& request, const StreamIndex& index)
{
    if (marks.pieces.empty())
        return { "There is no piece to cut.", {} };
    std::vector<Span> spans;
    if (auto refusal = spansOf(marks, index.gapless, spans); !refusal.empty())
        return { std::move(refusal), {} };

    const bool titled = std::all_of(marks.pieces.begin(), marks.pieces.end(),
        [](const MarkedPiece& piece) { return !piece.title.empty(); });
    const std::string pattern = request.nameTemplate.empty()
        ? std::string(DefaultNameTemplate(titled))
        : request.nameTemplate;
    const int count = static_cast<int>(spans.size());
    CutPlan plan { request.sourcePath, {}, false, !request.replaceExisting, true,
        index.gapless.sampleRate };
    for (int i = 0; i < count; ++i) {
        const MarkedPiece& piece = marks.pieces[static_cast<std::size_t>(i)];
        const Span& span = spans[static_cast<std::size_t>(i)];
        const std::string performer
            = piece.performer.empty() ? marks.albumPerformer : piece.performer;
        NameFields fields { sourceName(request.sourcePath), i + 1, count, piece.title, performer,
            marks.album, span.first * 1000 / index.gapless.sampleRate };
        const std::string name = ExpandNameTemplate(pattern, fields);
        plan.pieces.push_back({ span.first, span.end,
            name.starts_with('/') ? name : OutputPathInFolder(request.outputFolder, name),
            { i + 1, count, piece.title, performer, marks.album } });
    }
    return { {}, std::move(plan) };
}

} // namespace parvex
