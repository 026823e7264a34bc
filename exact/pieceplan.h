// SPDX-License-Identifier: GPL-3.0-or-later
// Which frames each piece of an exact cut holds, and the gapless fields that trim its decode.
#pragma once

#include "streamindex.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace parvex {

// Where one piece starts. A "raw" sample counts the decoder's output from the source's first
// audio frame, the 529-sample synthesis delay included; gapless sample s is raw s + G, with G
// the source's delay + 529 (0 without a LAME tag).
struct CutStart
{
    // Frames decoded before the first piece frame: libmpg123 decodes at most this many ahead
    // of a gapless start (its "preframes"); frames in front of those it skips.
    static constexpr int kMaxDecodedBefore = 4;

    std::int64_t sample = 0; // gapless, in the source
    // Where the start was asked for. It differs from `sample` where no lead-in could give
    // libmpg123 the source decode's synthesis phase at the sample asked for: the start then
    // lies on the nearest frame start that can (both pieces around it share it).
    std::int64_t requestedSample = 0;
    std::int64_t rawSample = 0;
    std::size_t frame = 0; // the source frame whose output holds rawSample
    // First source frame the piece decodes: the frames before `frame` that must decode right
    // (their output overlaps frame's) are copied in front of it.
    std::size_t leadInFrom = 0;
    // The bit reservoir leadInFrom reads from frames before it travels in one of two ways.
    // Re-laid: leadInFrom is written at a higher bitrate, holding its own main data (with
    // main_data_begin 0) and the source's main data after it up to the next frame; its audio
    // bits are the source's. Else the last silent frame carries `reservoirBytes` as its main
    // data (where the re-laid frame would not fit the largest frame).
    bool relaid = false;
    // Silent frames in front of the lead-in. They set libmpg123's synthesis phase.
    int silentFrames = 0;
    int reservoirBytes = 0;
    // libmpg123's output depends on the number of granules it decoded before a frame, modulo
    // 1 (MPEG-1 stereo), 2 (MPEG-1 mono, MPEG-2/2.5 stereo) or 4 (MPEG-2/2.5 mono): a piece is
    // exact only if frame - decodedBefore() is a multiple of that. Starts that cannot be
    // matched move (see requestedSample); false only if no frame start near the cut can be
    // matched either, which no stream the tests know meets: libmpg123 then decodes the piece
    // up to 1 LSB off the source throughout.
    bool phaseMatched = true;

    int decodedBefore() const { return silentFrames + static_cast<int>(frame - leadInFrom); }
    bool moved() const { return sample != requestedSample; }
    // The first source frame copied as it is.
    std::size_t firstCopied() const { return leadInFrom + (relaid ? 1 : 0); }
};

struct PiecePlan
{
    CutStart start;
    std::int64_t endSample = 0; // gapless, exclusive
    std::size_t endFrame = 0; // one past the last source frame copied
    int delay = 0; // the piece's LAME delay field
    int padding = 0; // the piece's LAME padding field

    std::int64_t samples() const { return endSample - start.sample; }
    // Audio frames after the piece's Info frame: silent, lead-in and the source's own.
    std::size_t frames() const
    {
        return static_cast<std::size_t>(start.silentFrames) + (endFrame - start.leadInFrom);
    }
};

// G: the raw sample where the source's gapless decode starts.
std::int64_t RawOffset(const GaplessFacts& facts);

// The header of `frame` re-laid to hold `mainDataBytes` bytes of main data: the smallest bitrate
// that does, without padding, mode extension and other fields kept. Nullopt if none does.
std::optional<FrameHeader> RelaidFrameHeader(const FrameHeader& frame, int mainDataBytes);

// How a piece that starts at gapless sample `sample` (0 <= sample < totalSamples) begins.
CutStart PlanCutStart(const StreamIndex& index, std::int64_t sample);

// Pieces between consecutive `cuts` (gapless samples, ascending, within [0, totalSamples]),
// each starting and ending at exactly its cut.
std::vector<PiecePlan> PlanPieces(const StreamIndex& index, const std::vector<std::int64_t>& cuts);

// Cut samples of a split every `seconds` of the gapless decode: i x seconds x rate while below
// the length, with a remainder shorter than min(1 s, seconds / 10) joined to the last piece.
std::vector<std::int64_t> EveryCuts(const GaplessFacts& facts, double seconds);

// Cut samples of a split into `parts` of about equal audio bytes: the frame starts nearest to
// equal shares of the audio frames' bytes (tags and the Info frame excluded), each cut at least
// a frame after the one before. Fewer cuts when fewer frames start within the decode.
std::vector<std::int64_t> PartsCuts(const StreamIndex& index, int parts);

} // namespace parvex
