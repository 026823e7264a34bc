// SPDX-License-Identifier: GPL-3.0-or-later
// The lead-in rules: the frames before a cut that must decode right (for the MDCT overlap and
// the synthesis window) are copied; the main data they read from earlier frames (the bit
// reservoir) comes along in the first of them, re-laid, or in a silent frame in front; more
// silent frames set libmpg123's synthesis phase to the source decode's.
#include "pieceplan.h"

#include <algorithm>
#include <cmath>

namespace parvex {

namespace {

constexpr int kSynthesisDelay = 529; // samples every decoder's output lags its input
constexpr int kMaxField = 4095; // the LAME delay and padding fields have 12 bits
constexpr int kGranule = 576; // samples
// From this sample of a granule on, the synthesis window holds only that granule's output and
// the one before it.
constexpr int kOneGranuleBack = 480;
constexpr int kFramesToMove = 8; // frame starts tried on each side of an unmatched start

// libmpg123's output depends on how many granules it decoded before a frame, modulo this.
int synthesisPhase(const FrameHeader& header)
{
    return (header.mpeg1() ? 1 : 2) * (header.mono() ? 2 : 1);
}

struct Position
{
    std::int64_t raw = 0;
    std::size_t frame = 0;
    std::int64_t offset = 0; // raw samples into `frame`
};

Position positionOf(const StreamIndex& index, std::int64_t raw)
{
    const int spf = index.gapless.samplesPerFrame;
    const auto frame = std::min(static_cast<std::size_t>(raw / spf), index.frames.size() - 1);
    return { raw, frame, raw - static_cast<std::int64_t>(frame) * spf };
}

// Frames that must decode right before `at.frame`: those holding the granule before the cut's
// and, unless the cut lies late enough in its granule, the one before that (the MDCT overlap
// and the synthesis window reach back that far). In MPEG-1 the cut's frame may hold them.
std::size_t mustDecodeFrom(const StreamIndex& index, const Position& at)
{
    const FrameHeader& header = index.frames[at.frame].header;
    const std::int64_t granulesBack = at.offset % kGranule >= kOneGranuleBack ? 1 : 2;
    const std::int64_t fromEarlierFrames
        = std::max<std::int64_t>(granulesBack - at.offset / kGranule, 0);
    const std::int64_t perFrame = header.mpeg1() ? 2 : 1;
    const auto needed = static_cast<std::size_t>((fromEarlierFrames + perFrame - 1) / perFrame);
    return at.frame >= needed ? at.frame - needed : 0;
}

bool phaseMatches(std::int64_t firstDecoded, int phase)
{
    return ((firstDecoded % phase) + phase) % phase == 0;
}

std::int64_t delayFor(const Position& at, int decodedBefore, int spf)
{
    return std::int64_t { decodedBefore } * spf + at.offset - kSynthesisDelay;
}

// How the lead-in's first frame gets the reservoir it reads: none needed, re-laid, or carried.
CutStart reservoirFor(const StreamIndex& index, std::size_t from)
{
    CutStart start;
    start.leadInFrom = from;
    const IndexedFrame first = index.frames[from];
    const int reservoir = from > 0 ? first.mainDataBegin : 0;
    if (reservoir == 0)
        return start;
    start.relaid
        = RelaidFrameHeader(first.header, reservoir + first.header.mainDataBytes()).has_value();
    start.reservoirBytes = start.relaid ? 0 : reservoir;
    return start;
}

// The lead-in with the fewest silent frames that fits the delay field and libmpg123's look-
// ahead and, with `matchPhase`, gives it the source decode's synthesis phase.
std::optional<CutStart> leadInFor(const StreamIndex& index, const Position& at, bool matchPhase)
{
    CutStart start = reservoirFor(index, mustDecodeFrom(index, at));
    const int phase = synthesisPhase(index.frames[at.frame].header);
    const auto leadIn = static_cast<int>(at.frame - start.leadInFrom);
    for (int silent = start.reservoirBytes > 0 ? 1 : 0;
         silent + leadIn <= CutStart::kMaxDecodedBefore; ++silent) {
        const int decoded = silent + leadIn;
        const std::int64_t delay = delayFor(at, decoded, index.gapless.samplesPerFrame);
        if (delay < 0 || delay > kMaxField
            || (matchPhase && !phaseMatches(static_cast<std::int64_t>(at.frame) - decoded, phase)))
            continue;
        start.rawSample = at.raw;
        start.frame = at.frame;
        start.silentFrames = silent;
        start.phaseMatched = matchPhase;
        return start;
    }
    return std::nullopt;
}

// The frame start nearest `raw` whose lead-in can match the phase, within kFramesToMove frames
// and inside the gapless decode.
std::optional<CutStart> matchedFrameStart(const StreamIndex& index, std::int64_t raw)
{
    const std::int64_t spf = index.gapless.samplesPerFrame;
    const std::int64_t g = RawOffset(index.gapless);
    const std::int64_t below = raw / spf;
    std::vector<std::int64_t> frames;
    for (std::int64_t step = -kFramesToMove; step <= kFramesToMove; ++step)
        frames.push_back(below + step);
    std::stable_sort(frames.begin(), frames.end(), [&](std::int64_t a, std::int64_t b) {
        return std::abs(a * spf - raw) < std::abs(b * spf - raw);
    });
    for (const std::int64_t frame : frames) {
        const std::int64_t sample = frame * spf - g;
        if (sample < 0 || sample >= index.gapless.totalSamples
            || frame >= static_cast<std::int64_t>(index.frames.size()))
            continue;
        if (auto start = leadInFor(index, positionOf(index, frame * spf), true))
            return start;
    }
    return std::nullopt;
}

CutStart withSample(CutStart start, std::int64_t g, std::int64_t requested)
{
    start.sample = start.rawSample - g;
    start.requestedSample = requested;
    return start;
}

} // namespace

std::int64_t RawOffset(const GaplessFacts& facts)
{
    return facts.hasLameTag ? facts.encoderDelay + kSynthesisDelay : 0;
}

std::optional<FrameHeader> RelaidFrameHeader(const FrameHeader& frame, int mainDataBytes)
{
    for (std::uint32_t bitrate = 1; bitrate < 15; ++bitrate) {
        const auto header = FrameHeader::parse((frame.word() & 0xFFFF0DFFu) | (bitrate << 12));
        if (header && header->mainDataBytes() >= mainDataBytes)
            return header;
    }
    return std::nullopt;
}

CutStart PlanCutStart(const StreamIndex& index, std::int64_t sample)
{
    const std::int64_t g = RawOffset(index.gapless);
    const std::int64_t last = std::max<std::int64_t>(index.gapless.totalSamples - 1, 0);
    const std::int64_t requested = std::clamp<std::int64_t>(sample, 0, last);
    const Position at = positionOf(index, requested + g);
    if (auto start = leadInFor(index, at, true))
        return withSample(*start, g, requested);
    if (auto start = matchedFrameStart(index, at.raw))
        return withSample(*start, g, requested);
    // Without the phase the fewest frames serve: a silent frame and the frames that must
    // decode, 2 x 1152 or 3 x 576 samples; the start lies less than spf + 529 samples into
    // its frame (the last frame's output runs on when the padding is under 529). The delay
    // stays under 3 x 1152 and fits its 12 bits.
    return withSample(*leadInFor(index, at, false), g, requested);
}

std::vector<PiecePlan> PlanPieces(const StreamIndex& index, const std::vector<std::int64_t>& cuts)
{
    std::vector<PiecePlan> pieces;
    if (cuts.size() < 2)
        return pieces;
    const std::int64_t g = RawOffset(index.gapless);
    const std::int64_t spf = index.gapless.samplesPerFrame;
    const auto frameCount = static_cast<std::int64_t>(index.frames.size());
    std::vector<CutStart> starts;
    for (std::size_t i = 0; i + 1 < cuts.size(); ++i) {
        const CutStart start = PlanCutStart(index, cuts[i]);
        // A start moved to a frame start may pass a neighbour (cuts under two frames apart):
        // it goes, and its piece joins the one before, so no samples are doubled.
        if (!starts.empty() && (start.sample < starts.back().sample || start.sample >= cuts.back()))
            continue;
        starts.push_back(start);
    }
    for (std::size_t i = 0; i < starts.size(); ++i) {
        PiecePlan piece;
        piece.start = starts[i];
        piece.endSample = i + 1 < starts.size() ? starts[i + 1].sample : cuts.back();
        if (piece.endSample <= piece.start.sample)
            continue;
        const std::int64_t endRaw = piece.endSample + g;
        const std::int64_t endFrame = std::min((endRaw + spf - 1) / spf, frameCount);
        piece.endFrame = static_cast<std::size_t>(endFrame);
        const std::int64_t firstFrame
            = static_cast<std::int64_t>(piece.start.leadInFrom) - piece.start.silentFrames;
        piece.delay = static_cast<int>(piece.start.rawSample - firstFrame * spf - kSynthesisDelay);
        piece.padding = static_cast<int>(endFrame * spf - endRaw + kSynthesisDelay);
        pieces.push_back(piece);
    }
    return pieces;
}

std::vector<std::int64_t> EveryCuts(const GaplessFacts& facts, double seconds)
{
    const std::int64_t length = facts.totalSamples;
    std::vector<std::int64_t> cuts { 0 };
    const double step = seconds * facts.sampleRate;
    if (step < 1)
        return { 0, length };
    for (std::int64_t i = 1;; ++i) {
        const auto cut = std::llround(static_cast<double>(i) * step);
        if (cut >= length)
            break;
        cuts.push_back(cut);
    }
    const double shortest = std::min<double>(facts.sampleRate, step / 10);
    if (cuts.size() > 1 && static_cast<double>(length - cuts.back()) < shortest)
        cuts.pop_back();
    cuts.push_back(length);
    return cuts;
}

std::vector<std::int64_t> PartsCuts(const StreamIndex& index, int parts)
{
    const FrameIndex& frames = index.frames;
    const std::int64_t first = frames[0].offset;
    const std::int64_t audioBytes = index.audioEnd - first;
    const std::int64_t g = RawOffset(index.gapless);
    const std::int64_t spf = index.gapless.samplesPerFrame;
    const std::int64_t total = index.gapless.totalSamples;
    // The frames whose start lies within the gapless decode, after its first sample.
    const std::int64_t lowest = g / spf + 1;
    const std::int64_t highest
        = std::min((total + g - 1) / spf, static_cast<std::int64_t>(frames.size()) - 1);
    std::vector<std::int64_t> cuts { 0 };
    std::size_t frame = 0;
    std::int64_t previous = lowest - 1;
    for (int i = 1; i < parts; ++i) {
        const std::int64_t target = first + audioBytes * i / parts;
        while (frame + 1 < frames.size() && frames[frame + 1].offset <= target)
            ++frame;
        const bool nextIsNearer = frame + 1 < frames.size()
            && frames[frame + 1].offset - target < target - frames[frame].offset;
        const auto nearest = static_cast<std::int64_t>(nextIsNearer ? frame + 1 : frame);
        // Where frames differ in size, two shares can be nearest the same frame: each cut takes
        // a frame of its own, leaving one for every cut after it, so every piece holds a frame.
        const std::int64_t last = highest - (parts - 1 - i);
        if (previous + 1 > last)
            break; // more parts than frames to start them: the caller refuses the count
        previous = std::clamp(nearest, previous + 1, last);
        cuts.push_back(previous * spf - g);
    }
    cuts.push_back(total);
    return cuts;
}

} // namespace parvex
