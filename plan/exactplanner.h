// SPDX-License-Identifier: GPL-3.0-or-later
// Turns a request into the exact engine's plan: sample boundaries from the source's frame index.
#pragma once

#include "cutplan.h"
#include "cutrequest.h"
#include "streamindex.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace parvex {

struct PlanOutcome
{
    // An input check's text ("The Start Time is bigger than the total time!", …); empty when the
    // plan holds the pieces to write.
    std::string refusal;
    CutPlan plan;
};

// How far into the source (seconds of its decode) the index must reach for `shape`; nullopt for
// the whole source.
std::optional<std::int64_t> IndexHorizonSeconds(const CutShape& shape);

// Whether `request` asks for nothing at all (no source, no pieces): nothing is shown then.
// A range without a source is not "nothing": it is refused with "Please open an MP3 file first!".
bool AsksForNothing(const CutRequest& request);

// The sample of the source's gapless decode at `mark`, at `sampleRate`.
std::int64_t MarkSample(const TimeMark& mark, std::int64_t sampleRate);

// The plan for `request` over the source `index` was made from, or the check that refused it, in
// the order the proportional cut makes its checks (with the source's real length for T).
PlanOutcome PlanExactCut(const CutRequest& request, const StreamIndex& index);

} // namespace parvex
