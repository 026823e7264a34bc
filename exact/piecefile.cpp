// SPDX-License-Identifier: GPL-3.0-or-later
// The piece goes through an OutputFile: the old output stays whole until the new piece is
// complete, and nothing of a piece that failed, was cancelled or was killed is left.
#include "piecefile.h"

#include "fileaccess.h"
#include "outputfile.h"
#include "splitmessages.h"

#include <cerrno>
#include <new>
#include <unistd.h>
#include <vector>

namespace parvex {

namespace {

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

std::optional<PieceFileFailure> writePieceFile(const StreamIndex& index, const PiecePlan& piece,
    int sourceFd, const std::string& output, const PieceTagBytes& tags, const PieceProceed& proceed)
{
    OutputFile file; // removes the temporary file on every way out but a commit
    if (const int error = file.open(output))
        return PieceFileFailure { SplitMessages::CannotOpenOutput, error };
    const PieceWriteOutcome written
        = writeTaggedPiece(index, piece, sourceFd, file.fd(), tags, proceed);
    if (written.cancelled)
        return PieceFileFailure { {}, 0, true };
    if (!written.written)
        return PieceFileFailure { written.layoutFailed ? PieceLayoutFailureText
                : written.sourceFailed                 ? SplitMessages::CannotReadSource
                                                       : SplitMessages::CannotWriteOutput,
            written.error };
    if (StampOfOpenFile(sourceFd) != index.stamp)
        return PieceFileFailure { SplitMessages::CannotReadSource, ESTALE };
    if (const int error = file.commit())
        return PieceFileFailure { SplitMessages::CannotWriteOutput, error };
    return std::nullopt;
}

} // namespace

// Memory that runs out, or a `proceed` that throws, fails the piece like a write the disk
// refused; the temporary file goes with the OutputFile.
std::optional<PieceFileFailure> WritePieceFile(const StreamIndex& index, const PiecePlan& piece,
    int sourceFd, const std::string& output, const PieceTagBytes& tags, const PieceProceed& proceed)
{
    try {
        return writePieceFile(index, piece, sourceFd, output, tags, proceed);
    } catch (const std::bad_alloc&) {
        return PieceFileFailure { SplitMessages::CannotWriteOutput, ENOMEM };
    } catch (...) {
        return PieceFileFailure { SplitMessages::CannotWriteOutput, EIO };
    }
}

std::int64_t PlannedPieceBytes(const StreamIndex& index, const PiecePlan& piece)
{
    if (piece.endFrame <= piece.start.leadInFrom)
        return 0;
    const IndexedFrame last = index.frames[piece.endFrame - 1];
    return last.offset + last.header.frameBytes() - index.frames[piece.start.leadInFrom].offset;
}

} // namespace parvex
