// SPDX-License-Identifier: GPL-3.0-or-later
// The level cache's file format: a keyed, checksummed copy of a LevelSummary's blocks.
#pragma once

#include "levelsummary.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>

namespace parvex {

// What identifies the source a cache file was made from: the file it is, and its size and
// modification time (nanoseconds), which change when it is rewritten in place.
struct LevelCacheKey
{
    std::uint64_t device = 0, inode = 0;
    std::int64_t size = 0, modifiedNs = 0;
    friend bool operator==(const LevelCacheKey&, const LevelCacheKey&) = default;
};

// Copies exactly `bytes` bytes out (a ByteSource) or in (a ByteSink); false at the end of the
// input or on an error.
using ByteSource = std::function<bool(void* buffer, std::size_t bytes)>;
using ByteSink = std::function<bool(const void* buffer, std::size_t bytes)>;

// Writes the summary's blocks and format, never its coarse level (derived again on reading).
bool WriteLevelCache(const ByteSink& write, const LevelCacheKey& key, const LevelSummary& levels);

// The summary (coarse level included) when the `fileBytes` bytes are a whole, undamaged cache
// file of this format version for `key`; nullopt for anything else. Reads in slices, so that a
// cached 24-hour summary is never held twice; the block count is checked against `fileBytes`
// before anything is allocated.
std::optional<LevelSummary> ReadLevelCache(
    const ByteSource& read, std::uint64_t fileBytes, const LevelCacheKey& key);

} // namespace parvex
