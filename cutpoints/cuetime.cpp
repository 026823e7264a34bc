// SPDX-License-Identifier: GPL-3.0-or-later
// CUE times: mm:ss:ff read and written, and CD frames (75 a second) against sample positions.
#include "cuetime.h"

#include <cstdio>
#include <optional>

namespace parvex {

namespace {

constexpr std::int64_t kFramesPerSecond = 75;

// Digits only, at least one; nullopt past `limit` (read no further, so nothing overflows).
std::optional<std::int64_t> parseDigits(std::string_view text, std::int64_t limit)
{
    if (text.empty())
        return std::nullopt;
    std::int64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > limit)
            return std::nullopt;
    }
    return value;
}

bool allDigits(std::string_view text)
{
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

// numerator / denominator rounded to nearest, halves away from zero; denominator > 0.
std::int64_t roundedQuotient(std::int64_t numerator, std::int64_t denominator)
{
    const std::int64_t quotient = numerator / denominator;
    const std::int64_t remainder = numerator % denominator;
    if (2 * remainder >= denominator)
        return quotient + 1;
    if (-2 * remainder >= denominator)
        return quotient - 1;
    return quotient;
}

} // namespace

CueTimeParse ParseCueTime(std::string_view text)
{
    const auto first = text.find(':');
    const auto second = first == std::string_view::npos ? first : text.find(':', first + 1);
    const std::string_view minutesText = text.substr(0, first);
    const std::string_view secondsText = first == std::string_view::npos
        ? std::string_view {}
        : text.substr(first + 1, second == std::string_view::npos ? second : second - first - 1);
    const std::string_view framesText
        = second == std::string_view::npos ? std::string_view { "0" } : text.substr(second + 1);
    if (!allDigits(minutesText) || !allDigits(secondsText) || !allDigits(framesText))
        return { -1, "time must be mm:ss:ff" };
    const auto minutes = parseDigits(minutesText, kCueMaxMinutes);
    if (!minutes)
        return { -1, "minutes must be at most 999999" };
    const auto seconds = parseDigits(secondsText, 59);
    if (!seconds)
        return { -1, "seconds must be 0–59" };
    const auto frames = parseDigits(framesText, kFramesPerSecond - 1);
    if (!frames)
        return { -1, "frames must be 0–74" };
    return { (*minutes * 60 + *seconds) * kFramesPerSecond + *frames, {} };
}

std::string FormatCueTime(std::int64_t frames)
{
    if (frames < 0)
        frames = 0;
    const std::int64_t seconds = frames / kFramesPerSecond;
    char text[48];
    std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld", static_cast<long long>(seconds / 60),
        static_cast<long long>(seconds % 60), static_cast<long long>(frames % kFramesPerSecond));
    return text;
}

// Split at whole seconds so that only the remainder is multiplied: exact for every frame count
// whose samples fit 64 bits.
std::int64_t CueFramesToSample(std::int64_t frames, int sampleRate)
{
    if (sampleRate <= 0)
        return 0;
    return frames / kFramesPerSecond * sampleRate
        + roundedQuotient(frames % kFramesPerSecond * sampleRate, kFramesPerSecond);
}

std::int64_t SampleToCueFrames(std::int64_t sample, int sampleRate)
{
    if (sampleRate <= 0)
        return 0;
    return sample / sampleRate * kFramesPerSecond
        + roundedQuotient(sample % sampleRate * kFramesPerSecond, sampleRate);
}

} // namespace parvex
