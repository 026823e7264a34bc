// SPDX-License-Identifier: GPL-3.0-or-later
// One piece of the source, as byte offsets into it.
#pragma once

#include <cstdint>

namespace parvex {

struct ByteRange
{
    std::int64_t start = 0; // first byte copied
    std::int64_t end = 0; // nominal end, exclusive; end <= start copies nothing

    friend bool operator==(const ByteRange&, const ByteRange&) = default;
};

} // namespace parvex
