// SPDX-License-Identifier: GPL-3.0-or-later
// The samples of a short stretch of an MP3 on the level summary's gapless timeline, decoded from
// a frame a little before it instead of from the start, for the waveform at deep zoom.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace parvex {

// Where the audio frames of a source lie and how they map to the gapless timeline: the output of
// frame i begins at gapless sample i * samplesPerFrame - leadSamples.
struct StretchSource
{
    std::string path;
    std::size_t frames = 0;
    std::function<std::int64_t(std::size_t frame)> frameOffset; // bytes from the file's start
    int samplesPerFrame = 0;
    // Decoded samples before gapless sample 0: the encoder delay plus the decoder's own 529
    // with a LAME tag, none without one.
    std::int64_t leadSamples = 0;
    std::int64_t totalSamples = 0; // the gapless length; nothing past it is decoded
};

// From the exact engine's StreamIndex (a template, so that levels/ does not link exact/), which
// the result keeps alive.
template<typename StreamIndexT>
StretchSource StretchSourceOf(const std::string& path, std::shared_ptr<const StreamIndexT> index)
{
    constexpr int kDecoderDelay = 529;
    StretchSource source;
    source.path = path;
    source.frames = index->frames.size();
    source.frameOffset = [index](std::size_t frame) {
        return index->frames[frame].offset;
    };
    source.samplesPerFrame = index->gapless.samplesPerFrame;
    source.leadSamples
        = index->gapless.hasLameTag ? index->gapless.encoderDelay + kDecoderDelay : 0;
    source.totalSamples = index->gapless.totalSamples;
    return source;
}

struct SampleStretch
{
    int channels = 0;
    std::int64_t begin = 0; // the gapless sample of the first one
    std::vector<std::int16_t> samples; // interleaved; short where the decode ends first

    std::int64_t frames() const
    {
        return channels > 0 ? std::int64_t(samples.size()) / channels : 0;
    }
};

// The gapless samples [begin, end): the same values a decode of the whole file gives there.
// `cancel`, when set, is read between frames. nullopt and a sentence in *error when the decode
// fails or is cancelled.
std::optional<SampleStretch> DecodeStretch(const StretchSource& source, std::int64_t begin,
    std::int64_t end, const std::atomic<bool>* cancel, std::string* error);

} // namespace parvex
