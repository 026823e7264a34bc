// SPDX-License-Identifier: GPL-3.0-or-later
// Whole-second positions shown as marks.
#include "timemark.h"

namespace parvex {

TimeMark TimeMark::fromSeconds(std::int64_t secs)
{
    const auto hours = secs / 3600;
    const auto minutes = (secs % 3600) / 60;
    return { static_cast<std::int32_t>(hours), static_cast<std::int32_t>(minutes),
        static_cast<std::int32_t>(secs - (hours * 60 + minutes) * 60) };
}

} // namespace parvex
