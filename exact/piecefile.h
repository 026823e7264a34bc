// One piece of an exact cut written beside its final name and renamed into place once closed.
#pragma once

#include "pieceplan.h"
#include "piecewriter.h"
#include "sourcetags.h"
#include "streamindex.h"

#include <optional>
#include <string>
#include <string_view>

struct PieceFileFailure
{
    std::string_view message; // one of SplitMessages' file failures; empty when cancelled
    int errorNumber = 0;
    bool cancelled = false; // `proceed` stopped the piece: nothing is to be shown
};

// Writes `piece` of the source open as `sourceFd`, between its `tags`, to a new hidden file in
// `output`'s folder, closes it, checks the close and renames it over `output`. On a failure the
// temporary file is removed, so neither a partial piece nor a damaged old `output` is left; so is
// it on a cancel (`proceed` as WritePiece takes it), and when `sourceFd` is no longer the file
// `index` was made from as it was then (replaced, or written to since): "Can not read the mp3
// file!".
std::optional<PieceFileFailure> WritePieceFile(const StreamIndex& index, const PiecePlan& piece,
    int sourceFd, const std::string& output, const PieceTagBytes& tags,
    const PieceProceed& proceed = {});

// About the bytes `piece` will take on disk (its source frames; the Info and silent frames, a
// few hundred bytes, are left out): the total a progress report counts toward.
std::int64_t PlannedPieceBytes(const StreamIndex& index, const PiecePlan& piece);
