// SPDX-License-Identifier: GPL-3.0-or-later
// The planner of marked pieces: cut points, CUE tracks, chapters, silences and chunks.
#pragma once

#include "cutrequest.h"
#include "exactplanner.h"
#include "streamindex.h"

namespace parvex {

// One exact piece per marked piece over the source `index` was made from, named by the request's
// pattern and tagged with its number, title, performer and album; or why not (a piece that starts
// at or past the end, or not after the piece before).
PlanOutcome PlanMarkedPieces(
    const CutAtMarks& marks, const CutRequest& request, const StreamIndex& index);

} // namespace parvex
