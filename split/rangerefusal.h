// SPDX-License-Identifier: GPL-3.0-or-later
// The range cut's input checks, shared by both engines so that their order never drifts apart.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace parvex {

// The first check that refuses marks `a` and `b` against the length `total` (any one unit), in
// the order the user meets them; nullopt when the marks hold. The proportional cut's end must lie
// before T (whole seconds, the last one partial); an exact cut's end may reach the real length
// exactly (`endMayReachTotal`).
std::optional<std::string_view> RangeRefusal(
    std::int64_t a, std::int64_t b, std::int64_t total, bool endMayReachTotal);

} // namespace parvex
