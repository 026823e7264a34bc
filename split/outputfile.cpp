// SPDX-License-Identifier: GPL-3.0-or-later
// O_TMPFILE and linkat(2) where the file system has them, a locked short name where it has not,
// and one rename(2) over the old file.
#include "outputfile.h"

#include "armedtemporaries.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <csignal>
#include <cstdint>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <mutex>
#include <set>
#include <string_view>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <tuple>
#include <unistd.h>
#include <utility>
#include <vector>

namespace parvex {

namespace {

constexpr std::string_view kPrefix = ".parvex-";
constexpr std::string_view kLetters = "abcdefghijklmnopqrstuvwxyz0123456789";
constexpr std::size_t kRandomLetters = 8;
constexpr int kMaxLinks = 40; // as many as the kernel follows before ELOOP
constexpr int kMaxAttempts = 100;

int errorOr(int fallback)
{
    return errno != 0 ? errno : fallback;
}

// A write past RLIMIT_FSIZE raises SIGXFSZ, whose default ends the process and would leave
// the piece half written with nobody to report it; ignored, the write fails with EFBIG and the
// piece fails as on a full disk. A handler someone installed stays.
void ignoreFileSizeSignal()
{
    struct sigaction current = {};
    if (sigaction(SIGXFSZ, nullptr, &current) == 0 && (current.sa_flags & SA_SIGINFO) == 0
        && current.sa_handler == SIG_DFL)
        std::signal(SIGXFSZ, SIG_IGN);
}

// Follows the symbolic links that `path` names, as far as they go: a dangling link's target is
// where the file is created, as open(2) with O_CREAT would. 0 or ELOOP.
int followLinks(std::string& path)
{
    std::vector<char> target(PATH_MAX);
    for (int depth = 0; depth < kMaxLinks; ++depth) {
        struct stat status = {};
        if (::lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode))
            return 0;
        const ssize_t length = ::readlink(path.c_str(), target.data(), target.size());
        if (length <= 0 || static_cast<std::size_t>(length) >= target.size())
            return 0; // gone since, or no target it could name: open() says why
        const std::filesystem::path link(
            std::string(target.data(), static_cast<std::size_t>(length)));
        path = link.is_absolute() ? link.string()
                                  : (std::filesystem::path(path).parent_path() / link).string();
    }
    return ELOOP;
}

// Hidden, short and unlikely to be taken: the process id, the clock and a counter, mixed.
std::string randomName()
{
    static std::atomic<std::uint64_t> counter { 0 };
    std::uint64_t z = (static_cast<std::uint64_t>(::getpid()) << 40)
        ^ static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count())
        ^ (counter.fetch_add(1) + 1) * 0x9E3779B97F4A7C15u;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
    z ^= z >> 31;
    std::string name(kPrefix);
    for (std::size_t i = 0; i < kRandomLetters; ++i, z /= kLetters.size())
        name += kLetters[z % kLetters.size()];
    return name;
}

bool isTemporaryName(std::string_view name)
{
    return name.size() == kPrefix.size() + kRandomLetters && name.starts_with(kPrefix)
        && name.find_first_not_of(kLetters, kPrefix.size()) == std::string_view::npos;
}

bool namesFile(int folderFd, const char* name, int fd)
{
    struct stat named = {};
    struct stat open = {};
    return ::fstatat(folderFd, name, &named, AT_SYMLINK_NOFOLLOW) == 0 && ::fstat(fd, &open) == 0
        && named.st_dev == open.st_dev && named.st_ino == open.st_ino;
}

// A temporary file nobody holds locked belongs to a run that was killed: it goes. One that
// cannot be locked (a file system without locks) stays.
void removeIfStale(int folderFd, const char* name)
{
    const int fd
        = ::openat(folderFd, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return;
    struct stat status = {};
    if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0
        && namesFile(folderFd, name, fd))
        ::unlinkat(folderFd, name, 0);
    ::close(fd);
}

// Once per folder and process: reading a large folder for every piece would cost more than the
// pieces. A folder is known by its birth time too, as a new one may get a removed one's inode.
void sweepStaleTemporaries(int folderFd)
{
    static std::mutex mutex;
    static std::set<std::tuple<std::uint64_t, std::uint64_t, std::int64_t, std::uint32_t>> swept;
    struct statx folder = {};
    if (::statx(folderFd, "", AT_EMPTY_PATH, STATX_INO | STATX_BTIME, &folder) != 0)
        return;
    const bool born = (folder.stx_mask & STATX_BTIME) != 0;
    {
        const std::lock_guard lock(mutex);
        if (!swept
                 .emplace(makedev(folder.stx_dev_major, folder.stx_dev_minor), folder.stx_ino,
                     born ? folder.stx_btime.tv_sec : 0, born ? folder.stx_btime.tv_nsec : 0)
                 .second)
            return;
    }
    const int listFd = ::openat(folderFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* const list = listFd >= 0 ? ::fdopendir(listFd) : nullptr;
    if (!list) {
        if (listFd >= 0)
            ::close(listFd);
        return;
    }
    while (const dirent* entry = ::readdir(list)) {
        if (isTemporaryName(entry->d_name))
            removeIfStale(folderFd, entry->d_name);
    }
    ::closedir(list);
}

} // namespace

OutputFile::OutputFile(Temporary temporary)
    : m_temporary(temporary)
{ }

OutputFile::~OutputFile()
{
    discard();
}

int OutputFile::open(const std::string& path)
{
    discard();
    ignoreFileSizeSignal();
    if (path.empty())
        return ENOENT;
    std::string target = path;
    if (const int error = followLinks(target))
        return error;
    const std::filesystem::path output(target);
    m_name = output.filename().string();
    if (m_name.empty() || m_name == "." || m_name == "..")
        return EISDIR;
    const std::string folder = output.has_parent_path() ? output.parent_path().string() : ".";
    errno = 0;
    m_folderFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (m_folderFd < 0)
        return fail(errorOr(ENOENT));
    struct stat existing = {};
    if (::fstatat(m_folderFd, m_name.c_str(), &existing, 0) == 0) {
        // A rename would replace a FIFO or a device where writing into it was never meant.
        if (!S_ISREG(existing.st_mode))
            return fail(S_ISDIR(existing.st_mode) ? EISDIR : ENODEV);
        m_replacing = true;
        m_mode = existing.st_mode & 0777;
    } else if (errno != ENOENT) {
        return fail(errorOr(EIO));
    }
    sweepStaleTemporaries(m_folderFd);
    const int unnamed = m_temporary == Temporary::Unnamed ? createUnnamed() : EOPNOTSUPP;
    if (unnamed != 0) {
        if (const int error = createNamed())
            return fail(error);
    }
    if (m_replacing)
        (void)::fchmod(m_fd, m_mode); // a file system without modes keeps its own
    return 0;
}

int OutputFile::commit()
{
    if (m_fd < 0)
        return EBADF;
    // The old file may only give way to data that is on the disk.
    if (m_replacing && ::fsync(m_fd) != 0)
        return fail(errorOr(EIO));
    if (m_temporaryName.empty()) {
        if (const int error = giveName())
            return fail(error);
    }
    if (!m_temporaryName.empty()
        && ::renameat(m_folderFd, m_temporaryName.c_str(), m_folderFd, m_name.c_str()) != 0)
        return fail(errorOr(EIO));
    m_temporaryName.clear();
    DisarmTemporary(std::exchange(m_armedSlot, -1));
    // Only a network file system reports a failed write this late; without fsync the new file
    // it left in place is not to be trusted, and no old file is lost by removing it.
    const int closed = ::close(std::exchange(m_fd, -1)) == 0 ? 0 : errorOr(EIO);
    if (closed != 0 && !m_replacing)
        ::unlinkat(m_folderFd, m_name.c_str(), 0);
    if (m_replacing)
        (void)::fsync(m_folderFd); // the rename itself; the file is in place either way
    discard();
    return closed;
}

void OutputFile::discard()
{
    if (m_fd >= 0)
        ::close(std::exchange(m_fd, -1));
    if (!m_temporaryName.empty())
        ::unlinkat(m_folderFd, m_temporaryName.c_str(), 0);
    m_temporaryName.clear();
    DisarmTemporary(std::exchange(m_armedSlot, -1)); // before its folder's descriptor goes
    if (m_folderFd >= 0)
        ::close(std::exchange(m_folderFd, -1));
    m_replacing = false;
}

int OutputFile::fail(int error)
{
    discard();
    return error;
}

// Locked at once: the name it may get at commit() must never look like a killed run's. Without
// /proc only a privileged process could give it a name (AT_EMPTY_PATH), so it gets one at once.
int OutputFile::createUnnamed()
{
    if (::access("/proc/self/fd", X_OK) != 0)
        return EOPNOTSUPP;
    m_fd = ::openat(m_folderFd, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (m_fd < 0)
        return errorOr(EOPNOTSUPP);
    (void)::flock(m_fd, LOCK_EX);
    return 0;
}

// A sweep of another process may take the name between its creation and the lock: then the
// lock holds a file without that name, and another name is tried.
int OutputFile::createNamed()
{
    for (int attempt = 0; attempt < kMaxAttempts; ++attempt) {
        std::string name = randomName();
        const int fd = ::openat(m_folderFd, name.c_str(),
            O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC, 0666);
        if (fd < 0 && errno == EEXIST)
            continue;
        if (fd < 0)
            return errorOr(EIO);
        if (::flock(fd, LOCK_EX) == 0 && !namesFile(m_folderFd, name.c_str(), fd)) {
            ::close(fd);
            continue;
        }
        m_fd = fd;
        m_temporaryName = std::move(name);
        m_armedSlot = ArmTemporary(m_folderFd, m_temporaryName);
        return 0;
    }
    return EEXIST;
}

// linkat(2) through /proc, which any user may do (AT_EMPTY_PATH needs a privilege).
int OutputFile::linkAs(const std::string& name)
{
    const std::string self = "/proc/self/fd/" + std::to_string(m_fd);
    errno = 0;
    return ::linkat(AT_FDCWD, self.c_str(), m_folderFd, name.c_str(), AT_SYMLINK_FOLLOW) == 0
        ? 0
        : errorOr(EIO);
}

// A new output gets its name directly. linkat(2) cannot replace a file, so an old one is replaced
// by renaming a temporary name over it, as a named temporary file is.
int OutputFile::giveName()
{
    if (!m_replacing) {
        const int error = linkAs(m_name);
        if (error != EEXIST)
            return error;
        m_replacing = true; // the name was taken since open()
        if (::fsync(m_fd) != 0)
            return errorOr(EIO);
    }
    for (int attempt = 0; attempt < kMaxAttempts; ++attempt) {
        std::string name = randomName();
        const int error = linkAs(name);
        if (error == EEXIST)
            continue;
        if (error != 0)
            return error;
        m_temporaryName = std::move(name);
        m_armedSlot = ArmTemporary(m_folderFd, m_temporaryName);
        return 0;
    }
    return EEXIST;
}

} // namespace parvex
