// SPDX-License-Identifier: GPL-3.0-or-later
// Little-endian fields behind a magic and a version, then the blocks, then an FNV-1a checksum of
// everything before it: a torn write, a flipped bit or another program's file all read as a miss.
#include "levelcachefile.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

namespace parvex {

namespace {

constexpr std::array<std::uint8_t, 8> kMagic { 'P', 'V', 'X', 'L', 'E', 'V', 'E', 'L' };
constexpr std::uint32_t kVersion = 1;
constexpr std::size_t kBlockBytes = 6;
constexpr std::size_t kSliceBlocks = 8192;
// 48 kHz, mono to stereo: what libmpg123 decodes MP3 to.
constexpr std::uint32_t kLowestRate = 8000, kHighestRate = 48000;
// A week of audio: a larger count is damage, not a recording.
constexpr std::uint64_t kMostBlocks = 7ull * 24 * 3600 * 100;

class Checksum
{
public:
    void add(const std::uint8_t* bytes, std::size_t count)
    {
        for (std::size_t i = 0; i < count; ++i)
            m_value = (m_value ^ bytes[i]) * 0x100000001b3ull;
    }
    std::uint64_t value() const { return m_value; }

private:
    std::uint64_t m_value = 0xcbf29ce484222325ull;
};

class Fields
{
public:
    template<typename T>
    void put(T value)
    {
        auto bits = static_cast<std::uint64_t>(value);
        for (std::size_t i = 0; i < sizeof(T); ++i, bits >>= 8)
            m_bytes.push_back(static_cast<std::uint8_t>(bits & 0xff));
    }
    template<typename T>
    T take()
    {
        std::uint64_t bits = 0;
        for (std::size_t i = 0; i < sizeof(T); ++i)
            bits |= std::uint64_t { m_bytes[m_read + i] } << (8 * i);
        m_read += sizeof(T);
        return static_cast<T>(bits);
    }
    std::vector<std::uint8_t>& bytes() { return m_bytes; }

private:
    std::vector<std::uint8_t> m_bytes;
    std::size_t m_read = 0;
};

// magic, version, key (4 x 8), rate, channels, block samples, total samples, block count.
constexpr std::size_t kHeaderBytes = 8 + 4 + 32 + 4 + 4 + 4 + 8 + 8;

void putBlock(std::uint8_t* out, const LevelBlock& block)
{
    const auto min = static_cast<std::uint16_t>(block.min);
    const auto max = static_cast<std::uint16_t>(block.max);
    const std::uint16_t values[3] = { min, max, block.rms };
    for (int i = 0; i < 3; ++i) {
        out[2 * i] = static_cast<std::uint8_t>(values[i] & 0xff);
        out[2 * i + 1] = static_cast<std::uint8_t>(values[i] >> 8);
    }
}

LevelBlock takeBlock(const std::uint8_t* in)
{
    const auto value = [&](int i) {
        return static_cast<std::uint16_t>(in[2 * i] | (in[2 * i + 1] << 8));
    };
    return { static_cast<std::int16_t>(value(0)), static_cast<std::int16_t>(value(1)), value(2) };
}

} // namespace

bool WriteLevelCache(const ByteSink& write, const LevelCacheKey& key, const LevelSummary& levels)
{
    Fields header;
    header.bytes().assign(kMagic.begin(), kMagic.end());
    header.put(kVersion);
    header.put(key.device);
    header.put(key.inode);
    header.put(key.size);
    header.put(key.modifiedNs);
    header.put(static_cast<std::uint32_t>(levels.sampleRate));
    header.put(static_cast<std::uint32_t>(levels.channels));
    header.put(static_cast<std::uint32_t>(levels.blockSamples));
    header.put(levels.totalSamples);
    header.put(static_cast<std::uint64_t>(levels.blocks.size()));
    Checksum checksum;
    checksum.add(header.bytes().data(), header.bytes().size());
    if (!write(header.bytes().data(), header.bytes().size()))
        return false;
    std::vector<std::uint8_t> slice(kSliceBlocks * kBlockBytes);
    for (std::size_t first = 0; first < levels.blocks.size(); first += kSliceBlocks) {
        const std::size_t count = std::min(kSliceBlocks, levels.blocks.size() - first);
        for (std::size_t i = 0; i < count; ++i)
            putBlock(slice.data() + i * kBlockBytes, levels.blocks[first + i]);
        checksum.add(slice.data(), count * kBlockBytes);
        if (!write(slice.data(), count * kBlockBytes))
            return false;
    }
    Fields trailer;
    trailer.put(checksum.value());
    return write(trailer.bytes().data(), trailer.bytes().size());
}

std::optional<LevelSummary> ReadLevelCache(
    const ByteSource& read, std::uint64_t fileBytes, const LevelCacheKey& key)
{
    Fields header;
    header.bytes().resize(kHeaderBytes);
    if (!read(header.bytes().data(), kHeaderBytes)
        || !std::equal(kMagic.begin(), kMagic.end(), header.bytes().begin()))
        return std::nullopt;
    Checksum checksum;
    checksum.add(header.bytes().data(), kHeaderBytes);
    header.take<std::uint64_t>(); // the magic
    const auto version = header.take<std::uint32_t>();
    const LevelCacheKey stored { header.take<std::uint64_t>(), header.take<std::uint64_t>(),
        header.take<std::int64_t>(), header.take<std::int64_t>() };
    if (version != kVersion || !(stored == key))
        return std::nullopt;
    const auto rate = header.take<std::uint32_t>();
    const auto channels = header.take<std::uint32_t>();
    const auto blockSamples = header.take<std::uint32_t>();
    const auto total = header.take<std::int64_t>();
    const auto count = header.take<std::uint64_t>();
    if (rate < kLowestRate || rate > kHighestRate || channels < 1 || channels > 2
        || blockSamples != rate / 100 || total <= 0 || count > kMostBlocks
        || count != (static_cast<std::uint64_t>(total) + blockSamples - 1) / blockSamples
        || fileBytes != kHeaderBytes + count * kBlockBytes + 8)
        return std::nullopt;
    LevelSummary levels;
    levels.sampleRate = static_cast<int>(rate);
    levels.channels = static_cast<int>(channels);
    levels.blockSamples = static_cast<int>(blockSamples);
    levels.totalSamples = total;
    levels.blocks.reserve(count);
    std::vector<std::uint8_t> slice(kSliceBlocks * kBlockBytes);
    for (std::uint64_t first = 0; first < count; first += kSliceBlocks) {
        const auto n
            = static_cast<std::size_t>(std::min<std::uint64_t>(kSliceBlocks, count - first));
        if (!read(slice.data(), n * kBlockBytes))
            return std::nullopt;
        checksum.add(slice.data(), n * kBlockBytes);
        for (std::size_t i = 0; i < n; ++i)
            levels.blocks.push_back(takeBlock(slice.data() + i * kBlockBytes));
    }
    Fields trailer;
    trailer.bytes().resize(8);
    std::uint8_t extra = 0;
    if (!read(trailer.bytes().data(), 8) || trailer.take<std::uint64_t>() != checksum.value()
        || read(&extra, 1))
        return std::nullopt;
    BuildCoarseLevels(levels);
    return levels;
}

} // namespace parvex
