// One piece of an exact cut written beside its final name and renamed into place once closed.
#pragma once

#include "pieceplan.h"
#include "streamindex.h"

#include <optional>
#include <string>
#include <string_view>

struct PieceFileFailure
{
    std::string_view message; // one of SplitMessages' file failures
    int errorNumber = 0;
};

// Writes `piece` of the source open as `sourceFd` to a new hidden file in `output`'s folder,
// closes it, checks the close and renames it over `output`. On a failure the temporary file is
// removed, so neither a partial piece nor a damaged old `output` is left.
std::optional<PieceFileFailure> WritePieceFile(
    const StreamIndex& index, const PiecePlan& piece, int sourceFd, const std::string& output);
