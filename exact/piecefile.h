// SPDX-License-Identifier: GPL-3.0-or-later
// One piece of an exact cut, written through an OutputFile.
#pragma once

#include "pieceplan.h"
#include "piecewriter.h"
#include "sourcetags.h"
#include "streamindex.h"

#include <optional>
#include <string>
#include <string_view>

namespace parvex {

struct PieceFileFailure
{
    // One of SplitMessages' file failures, or PieceLayoutFailureText; empty when cancelled.
    std::string_view message;
    int errorNumber = 0;
    bool cancelled = false; // `proceed` stopped the piece: nothing is to be shown
};

// Writes `piece` of the source open as `sourceFd`, between its `tags`, to a temporary file in
// `output`'s folder (see OutputFile) and puts it in place of `output` once it is complete. On a
// failure nothing of the piece is left and an old `output` stays whole; so on a cancel
// (`proceed` as WritePiece takes it), and when `sourceFd` is no longer the file `index` was made
// from as it was then (replaced, or written to since): "Can not read the mp3 file!". No
// exception leaves it: one on the way (no memory, a `proceed` that threw) is a write failure.
std::optional<PieceFileFailure> WritePieceFile(const StreamIndex& index, const PiecePlan& piece,
    int sourceFd, const std::string& output, const PieceTagBytes& tags,
    const PieceProceed& proceed = {});

// About the bytes `piece` will take on disk (its source frames; the Info and silent frames, a
// few hundred bytes, are left out): the total a progress report counts toward.
std::int64_t PlannedPieceBytes(const StreamIndex& index, const PiecePlan& piece);

} // namespace parvex
