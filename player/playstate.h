// SPDX-License-Identifier: GPL-3.0-or-later
// Transport state of the preview player.
#pragma once

#include <cstdint>

namespace parvex {

// `Closed` means that no graph exists. The values are fixed: the dialog and tests compare them.
enum class PlayState : std::int32_t {
    Stopped = 0,
    Paused = 1,
    Running = 2,
    Closed = 3,
};

} // namespace parvex
