// SPDX-License-Identifier: GPL-3.0-or-later
// The fast CRC-16/ARC forms against the bit-by-bit definition.
#include "crc16.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace parvex {

namespace {

std::uint16_t bitwiseArc(const std::uint8_t* data, std::size_t bytes, std::uint16_t crc)
{
    unsigned value = crc;
    for (std::size_t i = 0; i < bytes; ++i) {
        value ^= data[i];
        for (int bit = 0; bit < 8; ++bit)
            value = (value & 1u) ? (value >> 1) ^ 0xA001u : value >> 1;
    }
    return static_cast<std::uint16_t>(value);
}

// Every length to past a few folding rounds and a long run, at every alignment, from a zero and
// a running CRC; and the CRC of two parts combined without their bytes.
TEST(Crc16Arc, MatchesTheBitwiseDefinition)
{
    const std::uint8_t check[] = { '1', '2', '3', '4', '5', '6', '7', '8', '9' };
    EXPECT_EQ(Crc16Arc(check, sizeof check), 0xBB3D);

    std::mt19937 random(7);
    std::vector<std::uint8_t> bytes(70000 + 16);
    for (auto& byte : bytes)
        byte = static_cast<std::uint8_t>(random());
    std::vector<std::size_t> lengths;
    for (std::size_t length = 0; length <= 600; ++length)
        lengths.push_back(length);
    lengths.insert(lengths.end(), { 1023, 1024, 1025, 4096 + 77, 70000 });
    for (const std::size_t length : lengths) {
        for (std::size_t align = 0; align < 16; align += (length > 600 ? 5 : 1)) {
            const std::uint8_t* data = bytes.data() + align;
            for (const std::uint16_t start : { std::uint16_t { 0 }, std::uint16_t { 0xC0DE } }) {
                const std::uint16_t expected = bitwiseArc(data, length, start);
                ASSERT_EQ(Crc16Arc(data, length, start), expected) << length << " at " << align;
                ASSERT_EQ(Crc16ArcSliced(data, length, start), expected) << length;
            }
            const std::size_t split = length / 3;
            ASSERT_EQ(Crc16ArcCombine(bitwiseArc(data, split, 0),
                          bitwiseArc(data + split, length - split, 0),
                          static_cast<std::int64_t>(length - split)),
                bitwiseArc(data, length, 0))
                << length;
        }
    }
}

} // namespace

} // namespace parvex
