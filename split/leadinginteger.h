// SPDX-License-Identifier: GPL-3.0-or-later
// Reads the integer a number box holds, the way "%d" and atoi read it.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace parvex {

// Skips leading white space, takes an optional sign and the digits after it, and ignores
// whatever follows ("45s" is 45). No digits: no number. Values beyond 32 bits are clamped to
// the int32 range.
std::optional<std::int32_t> ParseLeadingInteger(std::string_view text);

} // namespace parvex
