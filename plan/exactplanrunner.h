// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the pieces of an exact cut plan, one after the other, each through a temporary file.
#pragma once

#include "cutplan.h"
#include "splithost.h"
#include "splitresult.h"
#include "streamindex.h"

namespace parvex {

// Writes `plan`'s pieces of the source open as `sourceFd`, which `index` was made from. A plan
// that asks before replacing checks its outputs first (the source itself is refused, an existing
// file needs a Yes); otherwise each piece is checked as it comes, and an existing file replaced.
// Each piece gets the source's tags with its own track, title and length. A failure leaves the
// finished pieces, no partial one, and the old file of that name whole.
SplitResult RunExactPlan(
    const CutPlan& plan, const StreamIndex& index, int sourceFd, SplitHost& host);

} // namespace parvex
