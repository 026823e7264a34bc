// Table-driven CRC-16/ARC for the megabytes of a music CRC; bitwise CRC for the few bytes a
// frame's protection covers.
#include "crc16.h"

#include <array>

namespace {

constexpr std::array<std::uint16_t, 256> makeArcTable()
{
    std::array<std::uint16_t, 256> table {};
    for (unsigned i = 0; i < 256; ++i) {
        unsigned crc = i;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1u) ? (crc >> 1) ^ 0xA001u : crc >> 1;
        table[i] = static_cast<std::uint16_t>(crc);
    }
    return table;
}

constexpr std::array<std::uint16_t, 256> kArcTable = makeArcTable();

unsigned mpegUpdate(unsigned crc, std::uint8_t byte)
{
    crc ^= unsigned { byte } << 8;
    for (int bit = 0; bit < 8; ++bit)
        crc = (crc & 0x8000u) ? (crc << 1) ^ 0x8005u : crc << 1;
    return crc & 0xFFFFu;
}

} // namespace

std::uint16_t Crc16Arc(const std::uint8_t* data, std::size_t bytes, std::uint16_t crc)
{
    unsigned value = crc;
    for (std::size_t i = 0; i < bytes; ++i)
        value = (value >> 8) ^ kArcTable[(value ^ data[i]) & 0xFFu];
    return static_cast<std::uint16_t>(value);
}

std::uint16_t Crc16Mpeg(
    const std::uint8_t* headerBytes23, const std::uint8_t* sideInfo, std::size_t sideInfoBytes)
{
    unsigned crc = 0xFFFF;
    crc = mpegUpdate(crc, headerBytes23[0]);
    crc = mpegUpdate(crc, headerBytes23[1]);
    for (std::size_t i = 0; i < sideInfoBytes; ++i)
        crc = mpegUpdate(crc, sideInfo[i]);
    return static_cast<std::uint16_t>(crc);
}
