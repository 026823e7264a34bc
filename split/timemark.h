// SPDX-License-Identifier: GPL-3.0-or-later
// A point in the source as the user types it: hours, minutes, seconds, none range-checked.
#pragma once

#include <cstdint>

namespace parvex {

struct TimeMark
{
    std::int32_t hours = 0;
    std::int32_t minutes = 0;
    std::int32_t seconds = 0;
    // A typed fraction of a second, with the sign of the whole mark. The window's boxes and the
    // proportional engine count whole seconds and leave it 0; the exact engine cuts at it.
    std::int32_t nanoseconds = 0;

    // 0:0:90 is 90 s. Computed in 64 bits so that no typed value can overflow.
    std::int64_t totalSeconds() const
    {
        return std::int64_t { hours } * 3600 + std::int64_t { minutes } * 60 + seconds;
    }

    // The mark a whole-second position shows: minutes and seconds 0..59.
    static TimeMark fromSeconds(std::int64_t secs);

    friend bool operator==(const TimeMark&, const TimeMark&) = default;
};

} // namespace parvex
