// SPDX-License-Identifier: GPL-3.0-or-later
// The decode behind the level summary: a frame scan for the exact length (so the blocks are
// allocated once), then one decode, or two halves on two threads for a long MPEG-1 stereo stream.
#include "levelsummary.h"

#include "blockaccumulator.h"
#include "levelsummarydecode.h"
#include "mpg123stream.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>

namespace parvex {

namespace {

// Below this a second thread and its scan to the middle are not worth their cost.
constexpr std::int64_t kTwoHalvesSeconds = 120;
// Progress reports per decode.
constexpr std::int64_t kReportSteps = 200;
// How often the first thread reports while it waits for the second half.
constexpr std::chrono::milliseconds kWaitReportPeriod { 50 };

struct Shared
{
    const LevelProgress& progress;
    std::atomic<std::int64_t> secondHalfDone { 0 };
    std::atomic<bool> stop { false };
    // What `partial` is shown. The first thread alone sets the first run's end; the second
    // thread publishes its blocks written with a release store, so that the first thread reads
    // them complete.
    LevelBlocksSoFar soFar {};
    std::atomic<std::size_t> secondBlocksDone { 0 };

    bool cancelled() const
    {
        return stop.load(std::memory_order_relaxed)
            || (progress.cancel && progress.cancel->load(std::memory_order_relaxed));
    }
    bool reporting() const { return progress.report || progress.partial; }
    // On the first thread only.
    void report(std::int64_t samplesDone, std::int64_t total)
    {
        if (progress.report)
            progress.report(
                std::min(1.0, static_cast<double>(samplesDone) / static_cast<double>(total)));
        if (progress.partial) {
            soFar.runs[1].end
                = soFar.runs[1].begin + secondBlocksDone.load(std::memory_order_acquire);
            progress.partial(soFar);
        }
    }
};

enum class HalfOutcome { Done, Cancelled, Failed };

struct Half
{
    HalfOutcome outcome = HalfOutcome::Failed;
    std::int64_t samples = 0;
    std::vector<LevelBlock> overflow;
    std::string errorText;
};

std::size_t blockCount(std::int64_t samples, int blockSamples)
{
    return static_cast<std::size_t>((samples + blockSamples - 1) / blockSamples);
}

// Where one decode writes: blocks out[0 .. room), samples up to endSample (the end of the stream
// when negative). Only the first (or only) half reports progress, for both halves.
struct HalfTarget
{
    LevelBlock* out = nullptr;
    std::size_t room = 0;
    std::int64_t endSample = -1;
    bool second = false;
};

Half decodeHalf(Mpg123Stream& stream, const HalfTarget& target, Shared& shared, std::int64_t total)
{
    Half half;
    BlockAccumulator blocks(stream.channels(), stream.sampleRate() / 100, target.out, target.room);
    const std::int64_t reportEvery = std::max<std::int64_t>(total / kReportSteps, 1);
    std::int64_t nextReport = reportEvery;
    for (;;) {
        if (shared.cancelled()) {
            half.outcome = HalfOutcome::Cancelled;
            return half;
        }
        const std::int16_t* samples = nullptr;
        std::size_t frames = 0;
        const auto status = stream.decodeFrame(samples, frames);
        if (status == Mpg123Stream::Status::NewFormat) {
            blocks.setChannels(stream.channels());
            continue;
        }
        if (status == Mpg123Stream::Status::Failed) {
            half.errorText = stream.errorText();
            return half;
        }
        if (status == Mpg123Stream::Status::End)
            break;
        if (target.endSample >= 0)
            frames = static_cast<std::size_t>(std::min<std::int64_t>(
                static_cast<std::int64_t>(frames), target.endSample - half.samples));
        blocks.add(samples, frames);
        half.samples += static_cast<std::int64_t>(frames);
        // A second half that runs past the scanned length will not be used: stop before its
        // overflow grows to the size of the summary.
        if (target.second && !blocks.overflow().empty()) {
            half.errorText = "the second half runs past the scanned length";
            return half;
        }
        const std::size_t finished = std::min(blocks.blocksWritten(), target.room);
        if (target.second) {
            shared.secondHalfDone.store(half.samples, std::memory_order_relaxed);
            shared.secondBlocksDone.store(finished, std::memory_order_release);
        } else if (shared.reporting()) {
            const std::int64_t sum = half.samples + shared.secondHalfDone.load();
            if (sum >= nextReport) {
                shared.soFar.runs[0].end = shared.soFar.runs[0].begin + finished;
                shared.report(sum, total);
                nextReport = sum + reportEvery;
            }
        }
        if (target.endSample >= 0 && half.samples >= target.endSample)
            break;
    }
    blocks.finish();
    half.overflow = std::move(blocks.overflow());
    half.outcome = HalfOutcome::Done;
    return half;
}

std::optional<LevelSummary> failed(std::string* error, const std::string& text)
{
    if (error)
        *error = text;
    return std::nullopt;
}

// The first half on this thread up to `middle`, the rest on a second one that seeks there; both
// write into `blocks`, sized for the scanned length. Done only when both halves came out exactly
// as long as the scan said; while the second half is still running, this thread reports its
// progress.
Half decodeTwoHalves(Mpg123Stream& first, const std::string& path, std::int64_t middle,
    std::vector<LevelBlock>& blocks, Shared& shared)
{
    const std::int64_t scanned = first.length();
    const std::size_t firstBlocks = blockCount(middle, first.sampleRate() / 100);
    Half second;
    std::atomic<bool> secondFinished { false };
    std::jthread worker([&] {
        Mpg123Stream stream;
        if (stream.open(path, &second.errorText) && stream.seek(middle))
            second = decodeHalf(stream,
                { blocks.data() + firstBlocks, blocks.size() - firstBlocks, -1, true }, shared,
                scanned);
        if (second.outcome != HalfOutcome::Done)
            shared.stop = true;
        secondFinished = true;
    });
    Half whole = decodeHalf(first, { blocks.data(), firstBlocks, middle, false }, shared, scanned);
    if (whole.outcome != HalfOutcome::Done)
        shared.stop = true;
    shared.soFar.runs[0].end = firstBlocks;
    while (!secondFinished) {
        if (shared.reporting())
            shared.report(whole.samples + shared.secondHalfDone, scanned);
        std::this_thread::sleep_for(kWaitReportPeriod);
    }
    worker.join();
    const bool joined = whole.outcome == HalfOutcome::Done && second.outcome == HalfOutcome::Done
        && whole.samples == middle && whole.overflow.empty() && second.samples == scanned - middle;
    if (!joined) {
        whole.outcome = HalfOutcome::Failed;
        return whole;
    }
    whole.samples += second.samples;
    whole.overflow = std::move(second.overflow);
    return whole;
}

} // namespace

std::optional<LevelSummary> SummariseLevelsWith(const std::string& path,
    const LevelProgress& progress, std::string* error, LevelThreads threads)
{
    Mpg123Stream first;
    if (!first.open(path, error))
        return std::nullopt;
    if (!first.scan() || !first.seek(0))
        return failed(error, "The MPEG audio decoder cannot read " + path + ".");
    LevelSummary summary;
    summary.sampleRate = first.sampleRate();
    summary.channels = first.channels();
    summary.blockSamples = summary.sampleRate / 100;
    const std::int64_t scanned = first.length();
    // Exactly the scanned length's blocks: a decode that runs longer spills into the overflow.
    summary.blocks.resize(blockCount(scanned, summary.blockSamples));
    Shared shared { progress };
    shared.soFar = { summary.sampleRate, summary.channels, summary.blockSamples, scanned,
        summary.blocks.data(), summary.blocks.size(), {} };

    // The second half starts on a coarse block boundary, so that no block, nor any coarse block
    // shown while both halves run, straddles the halves.
    const std::int64_t coarseSamples
        = std::int64_t { summary.blockSamples } * LevelSummary::kCoarseBlocks;
    const std::int64_t middle = scanned / 2 / coarseSamples * coarseSamples;
    const bool twoHalves = first.isMpeg1LayerIIIStereo() && !first.isJoined() && middle > 0
        && (threads == LevelThreads::Two
            || (threads == LevelThreads::Auto
                && scanned >= kTwoHalvesSeconds * summary.sampleRate));
    Half whole;
    if (twoHalves) {
        shared.soFar.runs[1] = { std::size_t(middle / summary.blockSamples),
            std::size_t(middle / summary.blockSamples) };
        whole = decodeTwoHalves(first, path, middle, summary.blocks, shared);
        const bool userCancelled = progress.cancel && progress.cancel->load();
        // A half that failed or came out another length than the scan promised cannot be joined
        // to the other exactly: decode the whole again in one pass, which also words any error.
        if (whole.outcome != HalfOutcome::Done && !userCancelled) {
            if (threads == LevelThreads::Two)
                return failed(error, "The two halves of " + path + " do not join.");
            summary.blocks = {}; // not two summaries' memory at once
            return SummariseLevelsWith(path, progress, error, LevelThreads::One);
        }
        if (userCancelled)
            whole.outcome = HalfOutcome::Cancelled;
    } else {
        whole = decodeHalf(
            first, { summary.blocks.data(), summary.blocks.size(), -1, false }, shared, scanned);
    }
    if (whole.outcome == HalfOutcome::Cancelled)
        return failed(error, "Reading the levels of " + path + " was cancelled.");
    if (whole.outcome == HalfOutcome::Failed)
        return failed(error, "Cannot decode " + path + ": " + whole.errorText + ".");
    summary.totalSamples = whole.samples;
    summary.blocks.resize(
        std::min(summary.blocks.size(), blockCount(summary.totalSamples, summary.blockSamples)));
    summary.blocks.insert(summary.blocks.end(), whole.overflow.begin(), whole.overflow.end());
    if (summary.totalSamples == 0)
        return failed(error, path + " holds no audio.");
    BuildCoarseLevels(summary);
    if (progress.report)
        progress.report(1.0);
    return summary;
}

std::optional<LevelSummary> SummariseLevels(
    const std::string& path, const LevelProgress& progress, std::string* error)
{
    return SummariseLevelsWith(path, progress, error, LevelThreads::Auto);
}

void BuildCoarseLevels(LevelSummary& summary)
{
    const auto& blocks = summary.blocks;
    const std::size_t factor = LevelSummary::kCoarseBlocks;
    summary.coarse.assign((blocks.size() + factor - 1) / factor, LevelBlock {});
    for (std::size_t c = 0; c < summary.coarse.size(); ++c) {
        const std::size_t begin = c * factor;
        const std::size_t end = std::min(blocks.size(), begin + factor);
        summary.coarse[c] = CoarseBlockOf(blocks.data() + begin, blocks.data() + end);
    }
}

LevelBlock CoarseBlockOf(const LevelBlock* first, const LevelBlock* last)
{
    LevelBlock out = *first;
    double squares = 0;
    for (const LevelBlock* b = first; b != last; ++b) {
        out.min = std::min(out.min, b->min);
        out.max = std::max(out.max, b->max);
        squares += static_cast<double>(b->rms) * b->rms;
    }
    out.rms = static_cast<std::uint16_t>(
        std::lround(std::sqrt(squares / static_cast<double>(last - first))));
    return out;
}

} // namespace parvex
