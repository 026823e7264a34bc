// SPDX-License-Identifier: GPL-3.0-or-later
// SummariseLevels with the choice of threads open, for the tests that hold the two-halves decode
// to the one-pass decode.
#pragma once

#include "levelsummary.h"

namespace parvex {

enum class LevelThreads {
    Auto, // two halves on two threads for a long stream of a kind that allows it exactly
    One,
    Two, // two halves whenever the kind allows, however short; no retry in one pass
};

std::optional<LevelSummary> SummariseLevelsWith(const std::string& path,
    const LevelProgress& progress, std::string* error, LevelThreads threads);

} // namespace parvex
