// SPDX-License-Identifier: GPL-3.0-or-later
// One run of a split operation: its open files, the busy sign, progress and the outcome.
#pragma once

#include "byterange.h"
#include "outputfile.h"
#include "splithost.h"
#include "splitresult.h"

#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace parvex {

// Owns the source stream and at most one output for the length of one operation. Every failure
// path closes what is open, switches the busy sign off if it was on, and only then shows its
// message; success closes everything before "Splitting is done!". Each piece is written through
// an OutputFile: outputs finished before a failure or a cancel stay on disk, the piece cut short
// never takes its name (an old file of that name stays as it was).
class SplitJob
{
public:
    explicit SplitJob(SplitHost& host);
    ~SplitJob();
    SplitJob(const SplitJob&) = delete;
    SplitJob& operator=(const SplitJob&) = delete;

    // Opens the source, a regular file only, and measures it. False after a message.
    bool openSource(const std::string& path);
    std::int64_t sourceSize() const { return m_sourceSize; }

    // The bytes the whole operation will write, the total its progress reports count towards.
    void setPlannedBytes(std::int64_t bytes) { m_plannedBytes = bytes; }

    // Refuses an output that is the source file itself. False after a message.
    bool refuseSource(const std::string& outputPath);

    // Copies `range` of the source into a new file that replaces `path` once it is complete and
    // closed. The busy sign goes on before the first block of the first piece. False after a
    // message, or after the host cancelled; either way nothing of the piece is left. An
    // exception on the way (memory, a host callback) fails the piece as a write failure.
    bool writePiece(const std::string& path, ByteRange range);

    // Closes the source, switches the busy sign off and shows "Splitting is done!".
    SplitResult finish();

    // Writes pieces 0..count-1 as "<source name>_<i>.mp3" into `folder`, piece i holding
    // rangeOf(i), each refused if it is the source; then finish(). Needs an open source. More
    // pieces than the source has bytes are refused before anything is written.
    SplitResult writeNumberedParts(const std::string& folder, std::int64_t count,
        const std::function<ByteRange(std::int64_t index)>& rangeOf);

    const SplitResult& result() const { return m_result; }

private:
    bool copyPiece(const std::string& path, ByteRange range);
    // `path`: the file the failure was about, the source or the piece.
    void fail(std::string_view message, int errorNumber, const std::string& path);
    void cancel();
    void dropPiece();
    void closeAll();
    void endBusy();

    SplitHost& m_host;
    std::string m_sourcePath;
    std::FILE* m_source = nullptr;
    std::unique_ptr<OutputFile> m_piece; // the piece being written
    std::FILE* m_output = nullptr; // writes m_piece's temporary file
    bool m_pieceListed = false; // m_result.written ends with m_piece's path
    std::int64_t m_sourceSize = 0;
    std::int64_t m_plannedBytes = 0;
    std::int64_t m_doneBytes = 0;
    bool m_busy = false;
    std::unique_ptr<char[]> m_buffer; // CopyBufferSize bytes, allocated with the first piece
    SplitResult m_result;
};

} // namespace parvex
