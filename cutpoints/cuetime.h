// SPDX-License-Identifier: GPL-3.0-or-later
// CUE times: mm:ss:ff read and written, and CD frames (75 a second) against sample positions.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace parvex {

// The largest minutes a sheet may give: about 1.9 years, far past any recording, and small
// enough that frames × any sample rate stays well inside 64 bits.
constexpr std::int64_t kCueMaxMinutes = 999'999;

struct CueTimeParse
{
    std::int64_t frames = -1; // -1 when `error` is set
    std::string error; // e.g. "frames must be 0–74"
};

// `mm:ss:ff` or `mm:ss`; minutes may have any number of digits.
CueTimeParse ParseCueTime(std::string_view text);

// mm:ss:ff with at least two digits of minutes (which may pass 99); negative frames write as 0.
std::string FormatCueTime(std::int64_t frames);

// round(frames × rate / 75), halves away from zero, exact in 64-bit integers; 0 for a rate ≤ 0.
std::int64_t CueFramesToSample(std::int64_t frames, int sampleRate);

// The nearest CD frame of a sample: round(sample × 75 / rate); 0 for a rate ≤ 0.
std::int64_t SampleToCueFrames(std::int64_t sample, int sampleRate);

} // namespace parvex
