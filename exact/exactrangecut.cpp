// The checks in the order the proportional cut makes them, then one piece through a temporary
// file: the old output stays whole until the new one is complete and closed.
#include "exactrangecut.h"

#include "fileaccess.h"
#include "pieceplan.h"
#include "piecewriter.h"
#include "splitmessages.h"
#include "streamscan.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <optional>
#include <string_view>
#include <unistd.h>

namespace {

SplitResult stopped()
{
    return { SplitStatus::Stopped, {}, 0 };
}

// The marks as gapless samples; they may reach the end exactly, not past it.
std::optional<std::string_view> refusal(std::int64_t a, std::int64_t b, const GaplessFacts& facts)
{
    const std::int64_t length = facts.totalSamples;
    if (a * facts.sampleRate >= length)
        return SplitMessages::StartBeyondTotal;
    if (b * facts.sampleRate > length)
        return SplitMessages::EndBeyondTotal;
    if (a >= b)
        return SplitMessages::StartAfterEnd;
    if (a < 0)
        return SplitMessages::StartNegative;
    if (b < 0)
        return SplitMessages::EndNegative;
    return std::nullopt;
}

// Creates a new, hidden file beside `output` (mode 0666 less the umask, as a created output
// gets); -1 with errno set when the folder takes none.
int createTemporary(const std::string& output, std::string& path)
{
    const std::filesystem::path target(output);
    for (int attempt = 0; attempt < 100; ++attempt) {
        path = (target.parent_path()
            / ("." + target.filename().string() + ".parvex-" + std::to_string(::getpid()) + "-"
                + std::to_string(attempt)))
                   .string();
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

// Writes the piece and renames it over `output`; the errno and message of a failure, if any.
struct WriteFailure
{
    std::string_view message;
    int errorNumber = 0;
};

std::optional<WriteFailure> writeThroughTemporary(
    const StreamIndex& index, const PiecePlan& piece, std::FILE* source, const std::string& output)
{
    std::string temporary;
    const int fd = createTemporary(output, temporary);
    if (fd < 0)
        return WriteFailure { SplitMessages::CannotOpenOutput, LastErrorOr(EIO) };
    const PieceWriteOutcome written = WritePiece(index, piece, ::fileno(source), fd);
    const int closed = ::close(fd) == 0 ? 0 : LastErrorOr(EIO);
    std::optional<WriteFailure> failure;
    if (!written.written)
        failure = WriteFailure { written.sourceFailed ? SplitMessages::CannotReadSource
                                                      : SplitMessages::CannotWriteOutput,
            written.error };
    else if (closed != 0)
        failure = WriteFailure { SplitMessages::CannotWriteOutput, closed };
    else if (std::rename(temporary.c_str(), output.c_str()) != 0)
        failure = WriteFailure { SplitMessages::CannotWriteOutput, LastErrorOr(EIO) };
    if (failure)
        ::unlink(temporary.c_str());
    return failure;
}

} // namespace

SplitResult CutRangeExact(const ExactRangeCutRequest& request, SplitHost& host)
{
    const IndexOutcome indexed = IndexMp3Stream(request.sourcePath);
    if (!indexed.index) {
        host.showError(std::string("This file cannot be cut exactly: ")
            + IndexRefusalText(indexed.refusal) + ".");
        return stopped();
    }
    const StreamIndex& index = *indexed.index;
    const std::int64_t a = request.start.totalSeconds();
    const std::int64_t b = request.end.totalSeconds();
    if (const auto message = refusal(a, b, index.gapless)) {
        host.showError(*message);
        return stopped();
    }
    // Before the replace question, as in the proportional cut: a Yes must never touch the source.
    if (IsSameFile(request.outputPath, request.sourcePath)) {
        host.showError(SplitMessages::OutputIsSource);
        return stopped();
    }
    std::FILE* source = OpenSourceFile(request.sourcePath);
    if (!source) {
        host.showFileError(SplitMessages::CannotOpenSource);
        return { SplitStatus::Failed, {}, LastErrorOr(ENOENT) };
    }
    const PathKind outputKind = KindOfPath(request.outputPath);
    if (outputKind == PathKind::Special
        || (outputKind == PathKind::RegularFile && !host.confirmReplace(request.outputPath))) {
        std::fclose(source);
        if (outputKind == PathKind::Special)
            host.showFileError(SplitMessages::CannotOpenOutput);
        return stopped();
    }
    const std::int64_t rate = index.gapless.sampleRate;
    const auto pieces = PlanPieces(index, { a * rate, b * rate });
    host.setBusy(true);
    host.pieceStarted(request.outputPath);
    const auto failure = writeThroughTemporary(index, pieces.front(), source, request.outputPath);
    std::fclose(source);
    host.setBusy(false);
    if (failure) {
        host.showFileError(failure->message);
        return { SplitStatus::Failed, {}, failure->errorNumber };
    }
    host.showDone();
    return { SplitStatus::Done, { request.outputPath }, 0 };
}
