// SPDX-License-Identifier: GPL-3.0-or-later
// The two CRC-16s of an MP3 file: the LAME tag's and the frames' error protection.
#pragma once

#include <cstddef>
#include <cstdint>

namespace parvex {

// CRC-16/ARC (reflected polynomial 0xA001, initial value 0), as LAME computes its music CRC and
// tag CRC. Continue a running CRC by passing the previous result as `crc`. Uses carry-less
// multiplication where the processor has it, else Crc16ArcSliced.
std::uint16_t Crc16Arc(const std::uint8_t* data, std::size_t bytes, std::uint16_t crc = 0);

// The same with tables only, on any processor.
std::uint16_t Crc16ArcSliced(const std::uint8_t* data, std::size_t bytes, std::uint16_t crc = 0);

// The CRC-16/ARC of A followed by B, from the CRC of A, the CRC of B (each started at 0) and the
// length of B in bytes: the bytes themselves are not needed.
std::uint16_t Crc16ArcCombine(std::uint16_t crcA, std::uint16_t crcB, std::int64_t bytesB);

// The same in two halves, for many CRCs moved by one length: Crc16ArcCombine(a, b, n) is
// Crc16ArcShift(a, Crc16ArcShiftFactor(n)) ^ b, and the shift is one multiplication.
std::uint16_t Crc16ArcShiftFactor(std::int64_t bytes);
std::uint16_t Crc16ArcShift(std::uint16_t crc, std::uint16_t factor);

// The MPEG audio frame CRC (polynomial 0x8005, MSB first, initial value 0xFFFF): over header
// bytes 2 and 3, then the side information.
std::uint16_t Crc16Mpeg(
    const std::uint8_t* headerBytes23, const std::uint8_t* sideInfo, std::size_t sideInfoBytes);

} // namespace parvex
