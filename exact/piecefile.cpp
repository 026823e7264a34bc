// The temporary file is created with O_EXCL under a name no other run uses (the process id), so
// a concurrent run or a stale leftover is never written into.
#include "piecefile.h"

#include "fileaccess.h"
#include "splitmessages.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>
#include <vector>

namespace {

// Creates a new, hidden file beside `output` (mode 0666 less the umask, as a created output
// gets); -1 with errno set when the folder takes none.
int createTemporary(const std::string& output, std::string& path)
{
    const std::filesystem::path target(output);
    for (int attempt = 0; attempt < 100; ++attempt) {
        // Appended piece by piece: GCC 12 at -O3 sees a false overlap in "." + std::string.
        std::string name(1, '.');
        name += target.filename().string();
        name += ".parvex-" + std::to_string(::getpid()) + "-" + std::to_string(attempt);
        path = (target.parent_path() / name).string();
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

// 0, or the errno of a write that failed.
int writeAll(int fd, const std::vector<char>& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return LastErrorOr(EIO);
        done += static_cast<std::size_t>(n);
    }
    return 0;
}

// The ID3v2 tag, then the piece from the descriptor's position on (so the Info frame lands
// after the tag), then the ID3v1 tag.
PieceWriteOutcome writeTaggedPiece(const StreamIndex& index, const PiecePlan& piece, int sourceFd,
    int fd, const PieceTagBytes& tags, const PieceProceed& proceed)
{
    if (const int error = writeAll(fd, tags.id3v2))
        return { false, error };
    PieceWriteOutcome written = WritePiece(index, piece, sourceFd, fd, proceed);
    if (written.written) {
        if (const int error = writeAll(fd, tags.id3v1))
            return { false, error };
    }
    return written;
}

} // namespace

std::optional<PieceFileFailure> WritePieceFile(const StreamIndex& index, const PiecePlan& piece,
    int sourceFd, const std::string& output, const PieceTagBytes& tags, const PieceProceed& proceed)
{
    std::string temporary;
    const int fd = createTemporary(output, temporary);
    if (fd < 0)
        return PieceFileFailure { SplitMessages::CannotOpenOutput, LastErrorOr(EIO) };
    const PieceWriteOutcome written = writeTaggedPiece(index, piece, sourceFd, fd, tags, proceed);
    const int closed = ::close(fd) == 0 ? 0 : LastErrorOr(EIO);
    std::optional<PieceFileFailure> failure;
    if (written.cancelled)
        failure = PieceFileFailure { {}, 0, true };
    else if (!written.written)
        failure = PieceFileFailure { written.sourceFailed ? SplitMessages::CannotReadSource
                                                          : SplitMessages::CannotWriteOutput,
            written.error };
    else if (closed != 0)
        failure = PieceFileFailure { SplitMessages::CannotWriteOutput, closed };
    else if (StampOfOpenFile(sourceFd) != index.stamp)
        failure = PieceFileFailure { SplitMessages::CannotReadSource, ESTALE };
    else if (std::rename(temporary.c_str(), output.c_str()) != 0)
        failure = PieceFileFailure { SplitMessages::CannotWriteOutput, LastErrorOr(EIO) };
    if (failure)
        ::unlink(temporary.c_str());
    return failure;
}

std::int64_t PlannedPieceBytes(const StreamIndex& index, const PiecePlan& piece)
{
    if (piece.endFrame <= piece.start.leadInFrom)
        return 0;
    const IndexedFrame last = index.frames[piece.endFrame - 1];
    return last.offset + last.header.frameBytes() - index.frames[piece.start.leadInFrom].offset;
}
