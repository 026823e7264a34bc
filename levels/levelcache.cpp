// SPDX-License-Identifier: GPL-3.0-or-later
// The cache folder and its files: POSIX I/O, so that a write is atomic (temporary file, rename)
// and a file that vanishes or is replaced meanwhile is only a miss.
#include "levelcache.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <pwd.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace parvex {

namespace fs = std::filesystem;

namespace {

constexpr std::uintmax_t kCacheBytes = std::uintmax_t { 1 } << 30;
constexpr std::string_view kEntryPrefix = "levels-";

bool readExactly(int fd, void* buffer, std::size_t bytes)
{
    auto* out = static_cast<char*>(buffer);
    while (bytes > 0) {
        const ssize_t got = ::read(fd, out, bytes);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        out += got;
        bytes -= static_cast<std::size_t>(got);
    }
    return true;
}

bool writeExactly(int fd, const void* buffer, std::size_t bytes)
{
    const auto* in = static_cast<const char*>(buffer);
    while (bytes > 0) {
        const ssize_t put = ::write(fd, in, bytes);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            return false;
        in += put;
        bytes -= static_cast<std::size_t>(put);
    }
    return true;
}

fs::path entryPath(const fs::path& folder, const LevelCacheKey& key)
{
    char name[64];
    std::snprintf(name, sizeof name, "levels-%llx-%llx.bin",
        static_cast<unsigned long long>(key.device), static_cast<unsigned long long>(key.inode));
    return folder / name;
}

std::optional<LevelSummary> load(const fs::path& file, const LevelCacheKey& key)
{
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return std::nullopt;
    struct stat st
    { };
    std::optional<LevelSummary> levels;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode))
        levels = ReadLevelCache(
            [fd](void* buffer, std::size_t bytes) { return readExactly(fd, buffer, bytes); },
            static_cast<std::uint64_t>(st.st_size), key);
    // A hit renews the entry for PruneLevelCache.
    if (levels)
        ::futimens(fd, nullptr);
    ::close(fd);
    return levels;
}

void store(const fs::path& folder, const LevelCacheKey& key, const LevelSummary& levels)
{
    // The folder is the user's alone, as XDG asks of folders an application creates.
    std::error_code ec;
    fs::create_directories(folder.parent_path(), ec);
    ::mkdir(folder.c_str(), 0700);
    const fs::path final = entryPath(folder, key);
    std::string temporary = final.string() + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0)
        return;
    const bool written = WriteLevelCache(
        [fd](const void* buffer, std::size_t bytes) { return writeExactly(fd, buffer, bytes); },
        key, levels);
    if (::close(fd) != 0 || !written || ::rename(temporary.c_str(), final.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return;
    }
    PruneLevelCache(folder, kCacheBytes, final);
}

} // namespace

fs::path LevelCacheFolder()
{
    const char* xdg = std::getenv("XDG_CACHE_HOME");
    if (xdg && xdg[0] == '/')
        return fs::path(xdg) / "parvex";
    const char* home = std::getenv("HOME");
    if (!home || home[0] != '/') {
        const passwd* user = ::getpwuid(::getuid());
        home = user ? user->pw_dir : nullptr;
    }
    if (!home || home[0] != '/')
        return {};
    return fs::path(home) / ".cache" / "parvex";
}

std::optional<LevelCacheKey> LevelCacheKeyOf(const std::string& path)
{
    struct stat st
    { };
    if (::stat(path.c_str(), &st) != 0)
        return std::nullopt;
    return LevelCacheKey { static_cast<std::uint64_t>(st.st_dev),
        static_cast<std::uint64_t>(st.st_ino), static_cast<std::int64_t>(st.st_size),
        static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec };
}

void PruneLevelCache(const fs::path& folder, std::uintmax_t maxBytes, const fs::path& keep)
{
    struct Entry
    {
        fs::file_time_type used;
        std::uintmax_t bytes;
        fs::path path;
    };
    std::vector<Entry> entries;
    std::uintmax_t total = 0;
    std::error_code ec;
    for (const auto& item : fs::directory_iterator(folder, ec)) {
        const std::string name = item.path().filename().string();
        // Not another writer's temporary file (the entry's name and a random suffix).
        if (!name.starts_with(kEntryPrefix) || !name.ends_with(".bin") || !item.is_regular_file(ec))
            continue;
        Entry entry { item.last_write_time(ec), item.file_size(ec), item.path() };
        if (ec)
            continue;
        total += entry.bytes;
        entries.push_back(std::move(entry));
    }
    std::sort(entries.begin(), entries.end(),
        [](const Entry& a, const Entry& b) { return a.used < b.used; });
    for (const Entry& entry : entries) {
        if (total <= maxBytes)
            break;
        if (entry.path != keep && fs::remove(entry.path, ec))
            total -= entry.bytes;
    }
}

std::optional<LevelSummary> CachedLevelsIn(const fs::path& folder, const std::string& path,
    const LevelProgress& progress, std::string* error, const LevelDecoder& decode)
{
    const auto key = LevelCacheKeyOf(path);
    if (key && !folder.empty()) {
        if (auto levels = load(entryPath(folder, *key), *key)) {
            if (progress.report)
                progress.report(1.0);
            return levels;
        }
    }
    auto levels = decode(path, progress, error);
    // A source rewritten while it was decoded would leave a summary filed under the new key.
    if (levels && key && !folder.empty() && LevelCacheKeyOf(path) == key)
        store(folder, *key, *levels);
    return levels;
}

std::optional<LevelSummary> CachedLevels(
    const std::string& path, const LevelProgress& progress, std::string* error)
{
    return CachedLevelsIn(LevelCacheFolder(), path, progress, error, SummariseLevels);
}

} // namespace parvex
