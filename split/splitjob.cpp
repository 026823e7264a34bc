// SPDX-License-Identifier: GPL-3.0-or-later
// The shared course of the split operations: open, copy, close, and what each failure shows.
#include "splitjob.h"

#include "fileaccess.h"
#include "filecopy.h"
#include "partnames.h"
#include "splitmessages.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <new>
#include <unistd.h>
#include <utility>

namespace parvex {

namespace {

// An unbuffered stream of its own over the temporary file, for the block copy; closing it
// leaves the OutputFile's descriptor open.
std::FILE* openStream(int fd)
{
    const int copy = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
    std::FILE* stream = copy >= 0 ? ::fdopen(copy, "wb") : nullptr;
    if (!stream) {
        const int error = LastErrorOr(EIO);
        if (copy >= 0)
            ::close(copy);
        errno = error;
        return nullptr;
    }
    std::setvbuf(stream, nullptr, _IONBF, 0);
    return stream;
}

} // namespace

SplitJob::SplitJob(SplitHost& host)
    : m_host(host)
{ }

SplitJob::~SplitJob()
{
    closeAll();
}

bool SplitJob::openSource(const std::string& path)
{
    m_source = OpenSourceFile(path);
    if (!m_source) {
        fail(SplitMessages::CannotOpenSource, LastErrorOr(ENOENT), path);
        return false;
    }
    m_sourcePath = path;
    errno = 0;
    m_sourceSize = MeasureFileSize(m_source);
    if (m_sourceSize < 0) {
        fail(SplitMessages::CannotReadSource, LastErrorOr(EIO), path);
        return false;
    }
    return true;
}

bool SplitJob::refuseSource(const std::string& outputPath)
{
    if (!IsSameFile(outputPath, m_sourcePath))
        return false;
    closeAll();
    endBusy();
    m_result.status = m_result.written.empty() ? SplitStatus::Stopped : SplitStatus::Failed;
    m_host.showError(SplitMessages::OutputIsSource);
    return true;
}

bool SplitJob::writePiece(const std::string& path, ByteRange range)
{
    try {
        return copyPiece(path, range);
    } catch (const std::bad_alloc&) {
        fail(SplitMessages::CannotWriteOutput, ENOMEM, path);
    } catch (...) {
        fail(SplitMessages::CannotWriteOutput, EIO, path);
    }
    return false;
}

bool SplitJob::copyPiece(const std::string& path, ByteRange range)
{
    m_piece = std::make_unique<OutputFile>();
    const int openError = m_piece->open(path);
    m_output = openError == 0 ? openStream(m_piece->fd()) : nullptr;
    if (!m_output) {
        fail(SplitMessages::CannotOpenOutput, openError != 0 ? openError : LastErrorOr(EIO), path);
        return false;
    }
    m_result.written.push_back(path);
    m_pieceListed = true;
    m_host.pieceStarted(path);
    if (!m_busy) {
        m_busy = true;
        m_host.setBusy(true);
    }
    if (!m_buffer)
        m_buffer = std::make_unique_for_overwrite<char[]>(CopyBufferSize);

    const std::int64_t before = m_doneBytes;
    const auto report = [this, before](std::int64_t written) {
        m_doneBytes = before + written;
        m_host.progress(m_doneBytes, std::max(m_plannedBytes, m_doneBytes));
        return !m_host.cancelled();
    };
    const CopyOutcome copy
        = CopyByteRange(m_source, m_output, range, { m_buffer.get(), CopyBufferSize }, report);
    if (copy.error == CopyError::Cancelled) {
        cancel();
        return false;
    }
    if (!copy.ok()) {
        const bool read = copy.error == CopyError::Read;
        fail(read ? SplitMessages::CannotReadSource : SplitMessages::CannotWriteOutput,
            copy.errorNumber, read ? m_sourcePath : path);
        return false;
    }
    int error = CloseOutput(std::exchange(m_output, nullptr));
    if (error == 0)
        error = m_piece->commit();
    if (error != 0) {
        fail(SplitMessages::CannotWriteOutput, error, path);
        return false;
    }
    m_piece.reset();
    m_pieceListed = false;
    return true;
}

SplitResult SplitJob::finish()
{
    closeAll();
    endBusy();
    m_result.status = SplitStatus::Done;
    m_host.showDone();
    return m_result;
}

SplitResult SplitJob::writeNumberedParts(const std::string& folder, std::int64_t count,
    const std::function<ByteRange(std::int64_t index)>& rangeOf)
{
    // Every piece holds at least one byte of the source. A count past that (a slip of the keys,
    // a wrong duration) would create files by the billion before anything useful was written.
    if (count > m_sourceSize) {
        closeAll();
        m_host.showError(SplitMessages::TooManyPieces);
        return m_result;
    }
    std::int64_t planned = 0;
    for (std::int64_t i = 0; i < count; ++i)
        planned += CopiedByteCount(rangeOf(i), m_sourceSize);
    setPlannedBytes(planned);

    for (std::int64_t i = 0; i < count; ++i) {
        const std::string path = OutputPathInFolder(folder, MakePartFileName(m_sourcePath, i));
        if (refuseSource(path) || !writePiece(path, rangeOf(i)))
            return m_result;
    }
    return finish();
}

void SplitJob::fail(std::string_view message, int errorNumber, const std::string& path)
{
    closeAll();
    endBusy();
    m_result.status = SplitStatus::Failed;
    m_result.errorNumber = errorNumber;
    m_host.showFileFailure(message, path, errorNumber);
}

// The piece cut short goes with its temporary file, silently, as the user asked.
void SplitJob::cancel()
{
    closeAll();
    endBusy();
    m_result.status = SplitStatus::Cancelled;
}

// Whatever the piece being written holds goes with its temporary file.
void SplitJob::dropPiece()
{
    if (m_output)
        std::fclose(std::exchange(m_output, nullptr));
    m_piece.reset();
    if (std::exchange(m_pieceListed, false))
        m_result.written.pop_back();
}

void SplitJob::endBusy()
{
    if (std::exchange(m_busy, false))
        m_host.setBusy(false);
}

void SplitJob::closeAll()
{
    dropPiece();
    if (m_source)
        std::fclose(std::exchange(m_source, nullptr));
}

} // namespace parvex
