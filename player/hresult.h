// SPDX-License-Identifier: GPL-3.0-or-later
// Result codes of the media graph and the player, with the values their failure texts print.
#pragma once

#include <cstdint>

namespace parvex {

// Signed 32-bit like the codes they stand for: negative means failure. Failure texts print
// them as unsigned hexadecimal ("FAILED(hr=0x80004005) ...").
using HResult = std::int32_t;

namespace hr {

inline constexpr HResult Ok = 0;
inline constexpr HResult False = 1;
// Nothing better to say than "it failed".
inline constexpr HResult Fail = static_cast<HResult>(0x80004005u);
// The media has no such part (no picture, no video size).
inline constexpr HResult NoInterface = static_cast<HResult>(0x80004002u);

constexpr bool failed(HResult result)
{
    return result < 0;
}

constexpr unsigned printable(HResult result)
{
    return static_cast<unsigned>(result);
}

} // namespace hr

} // namespace parvex
