// SPDX-License-Identifier: GPL-3.0-or-later
// Level summaries kept per source in the user's cache folder, so that a second run with another
// threshold does not decode again.
#pragma once

#include "levelcachefile.h"
#include "levelsummary.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace parvex {

// $XDG_CACHE_HOME/parvex (only an absolute XDG_CACHE_HOME counts), else ~/.cache/parvex; empty
// when neither can be told.
std::filesystem::path LevelCacheFolder();

// The key of the file at `path` as it is now (symbolic links followed); nullopt when it cannot
// be examined.
std::optional<LevelCacheKey> LevelCacheKeyOf(const std::string& path);

// Decodes a source when the cache has no summary of it: SummariseLevels, or a test's stand-in.
using LevelDecoder = std::function<std::optional<LevelSummary>(
    const std::string& path, const LevelProgress& progress, std::string* error)>;

// The summary from `folder` when it holds one for the file as it is now; otherwise decoded and
// stored there (a damaged, stale or foreign cache file is replaced). The file is named by device
// and inode, so that a source that changes replaces its entry instead of adding one; it is
// written beside its final name and renamed over it, and the folder is then pruned to 1 GiB
// (about 19 days of audio). A cache that cannot be written costs only
// the next run's time: the summary is returned all the same.
std::optional<LevelSummary> CachedLevelsIn(const std::filesystem::path& folder,
    const std::string& path, const LevelProgress& progress, std::string* error,
    const LevelDecoder& decode);

// Removes the least recently used entries of `folder` (by modification time, which a hit renews)
// until its entries take at most `maxBytes`; `keep` (the entry just written) always stays. Other
// files in the folder are left alone.
void PruneLevelCache(const std::filesystem::path& folder, std::uintmax_t maxBytes,
    const std::filesystem::path& keep);

// Same, through LevelCacheFolder() and SummariseLevels.
std::optional<LevelSummary> CachedLevels(
    const std::string& path, const LevelProgress& progress, std::string* error);

} // namespace parvex
