// SPDX-License-Identifier: GPL-3.0-or-later
// What an exact cut knows about its source after one pass: every frame and the gapless facts.
#pragma once

#include "bytecrcs.h"
#include "frameindex.h"
#include "infoframe.h"
#include "sourcestamp.h"

#include <cstdint>
#include <optional>

namespace parvex {

// The stream as gapless decoders play it. Raw decoded sample r of the stream (counted from
// its first audio frame) is gapless sample r - delay - 529 when there is a LAME tag (529:
// the decoders' own synthesis delay), and r when there is none.
struct GaplessFacts
{
    int sampleRate = 0; // Hz
    int samplesPerFrame = 0; // 1152 in MPEG-1, 576 in MPEG-2/2.5
    int channels = 0;
    bool hasLameTag = false;
    int encoderDelay = 0; // samples; 0 without a LAME tag
    int encoderPadding = 0; // samples, as the LAME tag gives them; 0 without one
    // The gapless decode's length: as a rule frames x samplesPerFrame - delay - max(padding,
    // 529); where the Info frame counts more frames than were found (a source cut short), the
    // decode runs on to the last frame found.
    std::int64_t totalSamples = 0;
};

// After a walk stopped early (toEnd false), `frames`, `skippedBytes` and the gapless
// totalSamples count only the frames walked, and `audioEnd` is where the end tags start.
struct StreamIndex
{
    FrameIndex frames; // audio frames only: the Xing/Info frame is not one
    GaplessFacts gapless;
    std::optional<InfoFrame> infoFrame; // the source's, as read
    std::int64_t infoFrameOffset = -1; // -1 without one
    std::int64_t audioEnd = 0; // the byte after the last whole frame
    std::int64_t skippedBytes = 0; // damaged bytes between frames that were resynced over
    ByteCrcs byteCrcs; // of the bytes the walk read, for the pieces' music CRCs
    bool toEnd = true; // every frame of the stream is in `frames`
    SourceStamp stamp; // of the file as the walk found it
};

// Why a source cannot be cut exactly.
enum class IndexRefusal {
    Unreadable, // not a regular file, or it cannot be opened
    ReadFailed, // a read failed partway: an I/O error, or the file shrank meanwhile
    NotMpegAudio,
    FreeFormat,
    NotLayer3,
    TooFewFrames,
    FormatChanges,
    GaplessLongerThanAudio,
    TooLarge,
    OutOfMemory, // the index did not fit in memory
};

// The reason as it completes "This file cannot be cut exactly: ", without a final stop.
const char* IndexRefusalText(IndexRefusal refusal);

struct IndexOutcome
{
    std::optional<StreamIndex> index; // set when the source can be cut exactly
    IndexRefusal refusal = IndexRefusal::Unreadable; // otherwise, why not
};

} // namespace parvex
