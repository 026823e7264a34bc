// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzz target: the level cache reader on any bytes, and what it accepts written back byte for byte.
#include "fuzzcheck.h"
#include "fuzztarget.h"
#include "levelcachefile.h"

#include <cstring>
#include <vector>

using namespace parvex;

namespace {

// The key is taken from where a cache file keeps it, so that inputs get past the key check.
LevelCacheKey keyIn(const std::uint8_t* data, std::size_t size)
{
    LevelCacheKey key;
    std::uint64_t fields[4] = {};
    for (std::size_t f = 0; f < 4; ++f)
        for (std::size_t i = 0; i < 8 && 12 + 8 * f + i < size; ++i)
            fields[f] |= std::uint64_t { data[12 + 8 * f + i] } << (8 * i);
    key.device = fields[0];
    key.inode = fields[1];
    key.size = static_cast<std::int64_t>(fields[2]);
    key.modifiedNs = static_cast<std::int64_t>(fields[3]);
    return key;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const LevelCacheKey key = keyIn(data, size);
    std::size_t at = 0;
    const auto read = [&](void* buffer, std::size_t bytes) {
        if (bytes > size - at)
            return false;
        std::memcpy(buffer, data + at, bytes);
        at += bytes;
        return true;
    };
    const auto levels = ReadLevelCache(read, size, key);
    if (!levels)
        return 0;
    FUZZ_CHECK(std::ssize(levels->blocks)
        == (levels->totalSamples + levels->blockSamples - 1) / levels->blockSamples);
    FUZZ_CHECK(levels->coarse.size()
        == (levels->blocks.size() + LevelSummary::kCoarseBlocks - 1) / LevelSummary::kCoarseBlocks);
    std::vector<std::uint8_t> written;
    FUZZ_CHECK(WriteLevelCache(
        [&](const void* buffer, std::size_t bytes) {
            const auto* bytesIn = static_cast<const std::uint8_t*>(buffer);
            written.insert(written.end(), bytesIn, bytesIn + bytes);
            return true;
        },
        key, *levels));
    FUZZ_CHECK(written.size() == size && std::memcmp(written.data(), data, size) == 0);
    return 0;
}
