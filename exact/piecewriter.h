// Writes one planned piece of an exact cut: a fresh Info/LAME frame, filler and lead-in frames,
// then the source's frames verbatim.
#pragma once

#include "pieceplan.h"
#include "streamindex.h"

#include <cstdint>

struct PieceWriteOutcome
{
    bool written = false;
    int error = 0; // errno of the failed read or write
    bool sourceFailed = false; // the failure was reading the source
    std::int64_t bytes = 0; // bytes written, Info frame included
};

// Writes `piece` of the source open as `sourceFd` (the file `index` was built from) into
// `outFd` from its current position, which ends past the piece. The Info frame goes in last,
// with pwrite(), once the copy has computed the music CRC: `outFd` must be a regular file.
// Neither descriptor is closed.
PieceWriteOutcome WritePiece(
    const StreamIndex& index, const PiecePlan& piece, int sourceFd, int outFd);
