// SPDX-License-Identifier: GPL-3.0-or-later
// Big-endian fields of MPEG audio headers and the Xing/LAME frame.
#pragma once

#include <cstdint>

namespace parvex {

inline std::uint32_t ReadBigEndian32(const std::uint8_t* p)
{
    return (std::uint32_t { p[0] } << 24) | (std::uint32_t { p[1] } << 16)
        | (std::uint32_t { p[2] } << 8) | std::uint32_t { p[3] };
}

inline std::uint16_t ReadBigEndian16(const std::uint8_t* p)
{
    return static_cast<std::uint16_t>((p[0] << 8) | p[1]);
}

inline void WriteBigEndian32(std::uint8_t* p, std::uint32_t value)
{
    p[0] = static_cast<std::uint8_t>(value >> 24);
    p[1] = static_cast<std::uint8_t>(value >> 16);
    p[2] = static_cast<std::uint8_t>(value >> 8);
    p[3] = static_cast<std::uint8_t>(value);
}

inline void WriteBigEndian16(std::uint8_t* p, std::uint16_t value)
{
    p[0] = static_cast<std::uint8_t>(value >> 8);
    p[1] = static_cast<std::uint8_t>(value);
}

} // namespace parvex
