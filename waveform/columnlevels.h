// SPDX-License-Identifier: GPL-3.0-or-later
// What one pixel column of the waveform shows, read from a level summary.
#pragma once

#include "levelsummary.h"

#include <cstdint>
#include <optional>

namespace parvex {

// The peak (min of the mins, max of the maxes, each including 0) and the loudest RMS of the
// samples [begin, end), from the coarsest level of `levels` whose entries are no longer than
// the span (the blocks when the span is shorter than one: the summary has nothing finer).
// nullopt when the span starts past the summary's end.
std::optional<LevelBlock> ColumnLevels(
    const LevelSummary& levels, std::int64_t begin, std::int64_t end);

} // namespace parvex
