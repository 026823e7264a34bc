// The lead-in rules: the frames before a cut that must decode right (for the MDCT overlap and
// the synthesis window) are copied; the main data they read from earlier frames (the bit
// reservoir) travels in a silent frame in front of them; more silent frames set libmpg123's
// synthesis phase to the source decode's.
#include "pieceplan.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

constexpr int kSynthesisDelay = 529; // samples every decoder's output lags its input
constexpr int kMaxField = 4095; // the LAME delay and padding fields have 12 bits

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

// Frames that must decode right before `at.frame`: the one before (its second granule
// overlaps), and in MPEG-2/2.5 the one before that too, unless the cut lies late enough in
// the frame that the synthesis window holds only the previous granule's output.
std::size_t mustDecodeFrom(const StreamIndex& index, const Position& at)
{
    const FrameHeader& header = index.frames[at.frame].header;
    const std::size_t needed = (header.mpeg1() || at.offset >= 480) ? 1 : 2;
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

// The lead-in with the fewest silent frames that fits the delay field and libmpg123's look-
// ahead and, with `matchPhase`, gives it the source decode's synthesis phase.
std::optional<CutStart> leadInFor(const StreamIndex& index, const Position& at, bool matchPhase)
{
    const std::size_t from = mustDecodeFrom(index, at);
    const int reservoir = from > 0 ? index.frames[from].mainDataBegin : 0;
    const int phase = synthesisPhase(index.frames[at.frame].header);
    const auto leadIn = static_cast<int>(at.frame - from);
    for (int silent = reservoir > 0 ? 1 : 0; silent + leadIn <= CutStart::kMaxDecodedBefore;
         ++silent) {
        const int decoded = silent + leadIn;
        const std::int64_t delay = delayFor(at, decoded, index.gapless.samplesPerFrame);
        if (delay < 0 || delay > kMaxField
            || (matchPhase && !phaseMatches(static_cast<std::int64_t>(at.frame) - decoded, phase)))
            continue;
        CutStart start;
        start.rawSample = at.raw;
        start.frame = at.frame;
        start.leadInFrom = from;
        start.silentFrames = silent;
        start.reservoirBytes = reservoir;
        start.phaseMatched = matchPhase;
        return start;
    }
    return std::nullopt;
}

CutStart withSample(CutStart start, std::int64_t g)
{
    start.sample = start.rawSample - g;
    return start;
}

} // namespace

std::int64_t RawOffset(const GaplessFacts& facts)
{
    return facts.hasLameTag ? facts.encoderDelay + kSynthesisDelay : 0;
}

CutStart PlanCutStart(const StreamIndex& index, std::int64_t sample)
{
    const std::int64_t g = RawOffset(index.gapless);
    const std::int64_t last = std::max<std::int64_t>(index.gapless.totalSamples - 1, 0);
    const Position at = positionOf(index, std::clamp<std::int64_t>(sample, 0, last) + g);
    if (auto start = leadInFor(index, at, true))
        return withSample(*start, g);
    // Without the phase the fewest frames serve: a silent frame and the frames that must
    // decode, 2 x 1152 or 3 x 576 samples; the start lies less than spf + 529 samples into
    // its frame (the last frame's output runs on when the padding is under 529). The delay
    // stays under 3 x 1152 and fits its 12 bits: no start has to move to a frame boundary.
    return withSample(*leadInFor(index, at, false), g);
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
    for (std::size_t i = 0; i + 1 < cuts.size(); ++i)
        starts.push_back(PlanCutStart(index, cuts[i]));
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
    std::vector<std::int64_t> cuts { 0 };
    std::size_t frame = 0;
    for (int i = 1; i < parts; ++i) {
        const std::int64_t target = first + audioBytes * i / parts;
        while (frame + 1 < frames.size() && frames[frame + 1].offset <= target)
            ++frame;
        const bool nextIsNearer = frame + 1 < frames.size()
            && frames[frame + 1].offset - target < target - frames[frame].offset;
        const auto nearest = static_cast<std::int64_t>(nextIsNearer ? frame + 1 : frame);
        const std::int64_t cut = nearest * spf - g;
        if (cut > cuts.back() && cut < index.gapless.totalSamples)
            cuts.push_back(cut);
    }
    cuts.push_back(index.gapless.totalSamples);
    return cuts;
}
