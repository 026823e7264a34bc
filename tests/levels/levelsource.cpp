// SPDX-License-Identifier: GPL-3.0-or-later
// Deterministic signals (a fixed-seed generator), so that a failure reproduces.
#include "levelsource.h"

#include "mp3fixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>

namespace parvex {

SegmentedSource MakeSegmentedMp3(const std::filesystem::path& path,
    const std::vector<SourceSegment>& segments, double floorDb, int sampleRate,
    const std::vector<std::string>& lameArgs)
{
    std::mt19937 random(14);
    // Uniform noise in [-a, a] has an RMS of a / sqrt(3).
    const auto uniformFor = [](double db) {
        return 32767.0 * std::pow(10.0, db / 20) * std::sqrt(3.0);
    };
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    const double floor = uniformFor(floorDb);
    SegmentedSource source;
    std::vector<std::int16_t> pcm;
    std::int64_t at = 0;
    for (const SourceSegment& segment : segments) {
        source.starts.push_back(at);
        const auto samples = static_cast<std::int64_t>(std::llround(segment.seconds * sampleRate));
        const double level = 32767.0 * std::pow(10.0, segment.db / 20);
        for (std::int64_t i = 0; i < samples; ++i, ++at) {
            const double tone = level * std::numbers::sqrt2
                * std::sin(2 * std::numbers::pi * 440.0 * static_cast<double>(at) / sampleRate);
            double left = floor * unit(random);
            double right = floor * unit(random);
            if (segment.kind == SourceSegment::Kind::Tone) {
                left += tone;
                right += tone;
            } else if (segment.kind == SourceSegment::Kind::Noise) {
                const double noise = uniformFor(segment.db) * unit(random);
                left += noise;
                right += noise;
            } else if (segment.kind == SourceSegment::Kind::RightOnly) {
                right += tone;
            }
            pcm.push_back(static_cast<std::int16_t>(std::clamp(left, -32768.0, 32767.0)));
            pcm.push_back(static_cast<std::int16_t>(std::clamp(right, -32768.0, 32767.0)));
        }
    }
    source.starts.push_back(at);
    std::string error;
    if (!EncodeMp3(path, pcm, sampleRate, 2, lameArgs, &error)) {
        ADD_FAILURE() << error;
        return {};
    }
    return source;
}

} // namespace parvex
