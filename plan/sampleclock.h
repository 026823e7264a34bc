// SPDX-License-Identifier: GPL-3.0-or-later
// A sample of the decode as a time for people: "1:02:03.250".
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace parvex {

// Hours, minutes, seconds and milliseconds (rounded) of `sample` at `rate` Hz.
inline std::string SampleClockText(std::int64_t sample, std::int64_t rate)
{
    const std::int64_t ms = (sample * 1000 + rate / 2) / rate;
    char text[40];
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld.%03lld",
        static_cast<long long>(ms / 3600000), static_cast<long long>(ms / 60000 % 60),
        static_cast<long long>(ms / 1000 % 60), static_cast<long long>(ms % 1000));
    return text;
}

} // namespace parvex
