// SPDX-License-Identifier: GPL-3.0-or-later
// One cut point of the open file as the window keeps it.
#pragma once

#include <QString>

#include <cstdint>

namespace parvex {

struct Mark
{
    std::int64_t sample = 0; // on the gapless (exact engine's) timeline of the source
    QString title;
    friend bool operator==(const Mark&, const Mark&) = default;
};

} // namespace parvex
