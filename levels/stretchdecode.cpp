// SPDX-License-Identifier: GPL-3.0-or-later
// A stretch decoded from a few frames before it, its samples counted from that frame's place on
// the gapless timeline.
#include "stretchdecode.h"

#include "mpg123stream.h"

#include <algorithm>

namespace parvex {

namespace {

// Frames decoded and dropped before the one that holds `begin`: enough for the deepest bit
// reservoir measured (19 frames of low-bitrate mono) and for the frame before it that the
// overlap needs.
constexpr std::int64_t kLeadInFrames = 20;
// libmpg123's output of mono and MPEG-2 streams depends on how many granules it decoded before a
// frame: starting on a multiple of 4 frames keeps the phase of a decode from the first frame.
constexpr std::int64_t kPhaseFrames = 4;

} // namespace

std::optional<SampleStretch> DecodeStretch(const StretchSource& source, std::int64_t begin,
    std::int64_t end, const std::atomic<bool>* cancel, std::string* error)
{
    const auto fail = [&](const std::string& text) {
        if (error)
            *error = text;
        return std::optional<SampleStretch>();
    };
    if (source.totalSamples > 0)
        end = std::min(end, source.totalSamples);
    SampleStretch stretch { 0, begin, {} };
    if (begin < 0 || source.samplesPerFrame <= 0 || !source.frameOffset)
        return fail("No stretch of " + source.path + " can be decoded.");
    const std::int64_t spf = source.samplesPerFrame;
    const std::int64_t target = (begin + source.leadSamples) / spf;
    const std::int64_t first
        = std::max<std::int64_t>(target - kLeadInFrames, 0) / kPhaseFrames * kPhaseFrames;
    if (end <= begin || first >= std::int64_t(source.frames))
        return stretch;
    Mpg123Stream stream;
    if (!stream.openAtFrame(source.path, source.frameOffset(std::size_t(first)), error))
        return std::nullopt;
    stretch.channels = stream.channels();
    stretch.samples.reserve(std::size_t((end - begin) * stretch.channels));
    std::int64_t at = first * spf - source.leadSamples; // the gapless sample of the next output
    while (at < end) {
        if (cancel && cancel->load(std::memory_order_relaxed))
            return fail("Decoding a stretch of " + source.path + " was cancelled.");
        const std::int16_t* samples = nullptr;
        std::size_t frames = 0;
        const auto status = stream.decodeFrame(samples, frames);
        if (status == Mpg123Stream::Status::End)
            break;
        if (status == Mpg123Stream::Status::Failed)
            return fail("Cannot decode " + source.path + ": " + stream.errorText() + ".");
        if (status == Mpg123Stream::Status::NewFormat) {
            if (!stretch.samples.empty() && stream.channels() != stretch.channels)
                return fail(source.path + " changes its channels within the stretch.");
            stretch.channels = stream.channels();
            continue;
        }
        const std::int64_t from = std::max(at, begin);
        const std::int64_t to = std::min(at + std::int64_t(frames), end);
        if (to > from)
            stretch.samples.insert(stretch.samples.end(), samples + (from - at) * stretch.channels,
                samples + (to - at) * stretch.channels);
        at += std::int64_t(frames);
    }
    return stretch;
}

} // namespace parvex
