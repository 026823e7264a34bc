// SPDX-License-Identifier: GPL-3.0-or-later
// Writes one planned piece of an exact cut: a fresh Info/LAME frame, filler and lead-in frames
// (the first maybe re-laid), then the source's frames verbatim.
#pragma once

#include "pieceplan.h"
#include "streamindex.h"

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

namespace parvex {

// What a piece that failed with PieceWriteOutcome::layoutFailed shows (as a file failure would).
inline constexpr std::string_view PieceLayoutFailureText
    = "This piece cannot be cut exactly: no frame of this stream can carry the audio data its "
      "first frames need. Cut it at another point, or without exact cuts.";

struct PieceWriteOutcome
{
    bool written = false;
    int error = 0; // errno of the failed read or write
    bool sourceFailed = false; // the failure was reading the source
    // No frame of the stream can hold the piece's Info frame or carry the main data its first
    // frames read from earlier ones: a limit of the cut, not a fault of either file.
    bool layoutFailed = false;
    bool cancelled = false; // `proceed` said stop
    std::int64_t bytes = 0; // bytes written, Info frame included
};

// Writes `piece` of the source open as `sourceFd` (the file `index` was built from) into
// `outFd` from its current position, which ends past the piece. The Info frame goes in last,
// with pwrite(), once the copy has computed the music CRC: `outFd` must be a regular file.
// Neither descriptor is closed. `proceed`, when set, is called with the bytes written so far
// after each block copied from the source (up to 1 MiB); false stops the piece unfinished.
using PieceProceed = std::function<bool(std::int64_t bytesWritten)>;
PieceWriteOutcome WritePiece(const StreamIndex& index, const PiecePlan& piece, int sourceFd,
    int outFd, const PieceProceed& proceed = {});

// The Info/LAME frame of `piece` (header `headerWord`, from InfoFrameHeader), after which come
// silent frames and the re-laid frame, if any, of `headSizes` bytes and then the source's frames,
// `audioBytes` in all, whose CRC-16/ARC is `musicCrc`. WritePiece writes it once the copy is done;
// empty if the fields do not fit.
std::vector<std::uint8_t> PieceInfoFrame(const StreamIndex& index, const PiecePlan& piece,
    std::uint32_t headerWord, const std::vector<int>& headSizes, std::int64_t audioBytes,
    std::uint16_t musicCrc);

} // namespace parvex
