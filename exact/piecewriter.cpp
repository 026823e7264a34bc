// SPDX-License-Identifier: GPL-3.0-or-later
// Contiguous source frames go in one run, copied in the kernel (copy_file_range) so the bytes
// never pass through user space, or where it cannot through a 1 MiB buffer; a run's music CRC
// comes from the index's byte CRCs instead of from the bytes copied.
#include "piecewriter.h"

#include "bigendian.h"
#include "bytecrcs.h"
#include "crc16.h"
#include "frameheader.h"
#include "infoframe.h"
#include "readat.h"
#include "sideinfo.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <unistd.h>
#include <vector>

namespace parvex {

namespace {

constexpr std::size_t kCopyBytes = std::size_t { 1 } << 20;
constexpr auto kMaxFrameBytes = static_cast<std::size_t>(FrameHeader::kMaxLayer3Bytes);

bool readAt(int fd, std::int64_t offset, std::uint8_t* buffer, std::size_t bytes)
{
    return ReadFullyAt(fd, buffer, bytes, offset);
}

class PieceOutput
{
public:
    explicit PieceOutput(int fd)
        : m_fd(fd)
    { }

    // Writes `bytes` that count toward the music CRC.
    bool writeAudio(const std::uint8_t* data, std::size_t bytes)
    {
        m_musicCrc = Crc16Arc(data, bytes, m_musicCrc);
        return write(data, bytes);
    }

    // Copies source bytes [from, to), whose CRC-16/ARC is `crc`, calling `proceed` after each
    // block of up to kCopyBytes.
    bool copyAudio(int sourceFd, std::int64_t from, std::int64_t to, std::uint16_t crc,
        const PieceProceed& proceed)
    {
        for (std::int64_t at = from; at < to;) {
            const auto chunk = static_cast<std::size_t>(
                std::min<std::int64_t>(to - at, static_cast<std::int64_t>(kCopyBytes)));
            const ssize_t moved = m_inKernel ? copyInKernel(sourceFd, at, chunk) : 0;
            if (moved < 0 && errno == EINTR)
                continue;
            if (moved > 0) {
                at += moved;
                m_written += moved;
            } else {
                // Whatever stopped the kernel (another file system, one that cannot, a full
                // disk, a source cut short), the buffer carries on and reports its own error.
                m_inKernel = false;
                if (!copyThroughBuffer(sourceFd, at, chunk))
                    return false;
                at += static_cast<std::int64_t>(chunk);
            }
            if (proceed && !proceed(m_written))
                return cancel();
        }
        m_musicCrc = Crc16ArcCombine(m_musicCrc, crc, to - from);
        return true;
    }

    bool write(const std::uint8_t* data, std::size_t bytes)
    {
        while (bytes > 0) {
            const ssize_t n = ::write(m_fd, data, bytes);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return fail();
            data += n;
            bytes -= static_cast<std::size_t>(n);
            m_written += n;
        }
        return true;
    }

    bool fail()
    {
        m_error = errno != 0 ? errno : EIO;
        return false;
    }

    bool cancel()
    {
        m_cancelled = true;
        return false;
    }

    bool failReading()
    {
        m_sourceFailed = true;
        return fail();
    }

    // No frame of the stream holds what the piece needs: neither file is at fault.
    bool failLayout()
    {
        m_layoutFailed = true;
        errno = EINVAL;
        return fail();
    }

    ssize_t copyInKernel(int sourceFd, std::int64_t at, std::size_t bytes)
    {
        auto offset = static_cast<off_t>(at);
        return ::copy_file_range(sourceFd, &offset, m_fd, nullptr, bytes, 0);
    }

    bool copyThroughBuffer(int sourceFd, std::int64_t at, std::size_t bytes)
    {
        if (!m_buffer)
            m_buffer = std::make_unique_for_overwrite<std::uint8_t[]>(kCopyBytes);
        if (!readAt(sourceFd, at, m_buffer.get(), bytes))
            return failReading();
        return write(m_buffer.get(), bytes);
    }

    int fd() const { return m_fd; }
    std::uint16_t musicCrc() const { return m_musicCrc; }
    std::int64_t written() const { return m_written; }
    int error() const { return m_error; }
    bool sourceFailed() const { return m_sourceFailed; }
    bool layoutFailed() const { return m_layoutFailed; }
    bool cancelled() const { return m_cancelled; }

private:
    int m_fd;
    std::uint16_t m_musicCrc = 0;
    std::int64_t m_written = 0;
    int m_error = 0;
    bool m_sourceFailed = false;
    bool m_layoutFailed = false;
    bool m_cancelled = false;
    bool m_inKernel = true;
    std::unique_ptr<std::uint8_t[]> m_buffer; // only once the kernel copy has stopped
};

void updateFrameCrc(const FrameHeader& header, std::uint8_t* frame)
{
    if (header.crcProtected()) {
        const std::uint16_t crc
            = Crc16Mpeg(frame + 2, frame + 6, static_cast<std::size_t>(header.sideInfoBytes()));
        frame[4] = static_cast<std::uint8_t>(crc >> 8);
        frame[5] = static_cast<std::uint8_t>(crc);
    }
}

// A frame of the stream with all-zero side information: it decodes to silence and leaves
// every decoder's synthesis state as silence would. Its main data is `mainData` at the end of
// the smallest such frame that holds it (zeros in front); it reads none of it itself.
std::vector<std::uint8_t> silentFrame(
    const FrameHeader& stream, const std::vector<std::uint8_t>& mainData)
{
    for (std::uint32_t bitrate = 1; bitrate < 15; ++bitrate) {
        // This bitrate, no padding, mode extension 0.
        const std::uint32_t word = (stream.word() & 0xFFFF0DCFu) | (bitrate << 12);
        const auto header = FrameHeader::parse(word);
        if (!header || header->mainDataBytes() < std::ssize(mainData))
            continue;
        std::array<std::uint8_t, kMaxFrameBytes> frame {};
        WriteBigEndian32(frame.data(), word);
        updateFrameCrc(*header, frame.data());
        const auto end = frame.begin() + header->frameBytes();
        std::copy(mainData.begin(), mainData.end(), end - std::ssize(mainData));
        return { frame.begin(), end };
    }
    return {};
}

// The last `bytes` of main data before source frame `frame`, gathered from the frames before
// it (their headers and side information left out).
bool reservoirBefore(const StreamIndex& index, std::size_t frame, int bytes, int sourceFd,
    std::vector<std::uint8_t>& reservoir)
{
    reservoir.assign(static_cast<std::size_t>(bytes), 0);
    auto filled = static_cast<std::ptrdiff_t>(bytes);
    while (filled > 0 && frame > 0) {
        const IndexedFrame source = index.frames[--frame];
        const auto take = std::min<std::ptrdiff_t>(filled, source.header.mainDataBytes());
        const std::int64_t from = source.offset + source.header.frameBytes() - take;
        filled -= take;
        if (!readAt(sourceFd, from, reservoir.data() + filled, static_cast<std::size_t>(take)))
            return false;
    }
    return true;
}

// The piece's silent frames, one after the other; the last carries the lead-in's reservoir.
// A failure is recorded in `out`.
bool silentFrames(const StreamIndex& index, const CutStart& start, int sourceFd, PieceOutput& out,
    std::vector<std::uint8_t>& frames, std::vector<int>& sizes)
{
    const FrameHeader& stream = index.frames[start.frame].header;
    std::vector<std::uint8_t> reservoir;
    for (int i = 0; i < start.silentFrames; ++i) {
        const bool carrier = i + 1 == start.silentFrames && start.reservoirBytes > 0;
        reservoir.clear();
        if (carrier
            && !reservoirBefore(index, start.leadInFrom, start.reservoirBytes, sourceFd, reservoir))
            return out.failReading();
        const std::vector<std::uint8_t> frame = silentFrame(stream, reservoir);
        if (frame.empty())
            return out.failLayout();
        frames.insert(frames.end(), frame.begin(), frame.end());
        sizes.push_back(static_cast<int>(frame.size()));
    }
    return true;
}

// Frame `start.leadInFrom` re-laid (see CutStart::relaid): its side information with
// main_data_begin 0, then its main data, zeros, and the source's main data after it up to the
// next frame, which the frames after it may read as their reservoir. A failure is recorded in
// `out`.
bool relaidFrame(const StreamIndex& index, const CutStart& start, int sourceFd, PieceOutput& out,
    std::vector<std::uint8_t>& frames, std::vector<int>& sizes)
{
    const IndexedFrame source = index.frames[start.leadInFrom];
    const FrameHeader& header = source.header;
    const auto sideInfoEnd
        = static_cast<std::size_t>(header.sideInfoOffset() + header.sideInfoBytes());
    std::array<std::uint8_t, kMaxFrameBytes> original {};
    std::vector<std::uint8_t> mainData;
    if (!readAt(
            sourceFd, source.offset, original.data(), static_cast<std::size_t>(header.frameBytes()))
        || !reservoirBefore(index, start.leadInFrom, source.mainDataBegin, sourceFd, mainData))
        return out.failReading();
    mainData.insert(mainData.end(), original.begin() + static_cast<std::ptrdiff_t>(sideInfoEnd),
        original.begin() + header.frameBytes());
    const auto sideInfo = ParseSideInfo(header, original.data() + header.sideInfoOffset());
    const auto relaid = RelaidFrameHeader(header, static_cast<int>(mainData.size()));
    if (!sideInfo || !relaid)
        return out.failLayout();
    std::array<std::uint8_t, kMaxFrameBytes> frame {};
    const auto end = frame.begin() + relaid->frameBytes();
    const auto sideInfoAt = static_cast<std::size_t>(header.sideInfoOffset());
    WriteBigEndian32(frame.data(), relaid->word());
    std::copy(original.begin() + static_cast<std::ptrdiff_t>(sideInfoAt),
        original.begin() + static_cast<std::ptrdiff_t>(sideInfoEnd),
        frame.begin() + static_cast<std::ptrdiff_t>(sideInfoAt));
    frame[sideInfoAt] = 0; // main_data_begin: 9 bits in MPEG-1, 8 in MPEG-2/2.5
    if (header.mpeg1())
        frame[sideInfoAt + 1] &= 0x7Fu;
    const auto own
        = std::min<std::ptrdiff_t>((sideInfo->mainDataBits() + 7) / 8, std::ssize(mainData));
    std::copy(mainData.begin(), mainData.begin() + own,
        frame.begin() + static_cast<std::ptrdiff_t>(sideInfoEnd));
    std::copy(mainData.begin() + own, mainData.end(), end - (std::ssize(mainData) - own));
    updateFrameCrc(*relaid, frame.data());
    frames.insert(frames.end(), frame.begin(), end);
    sizes.push_back(relaid->frameBytes());
    return true;
}

// What goes between the Info frame and the frames copied: the silent frames and the re-laid one.
// A failure is recorded in `out`.
bool headFrames(const StreamIndex& index, const CutStart& start, int sourceFd, PieceOutput& out,
    std::vector<std::uint8_t>& frames, std::vector<int>& sizes)
{
    if (!silentFrames(index, start, sourceFd, out, frames, sizes))
        return false;
    return !start.relaid || relaidFrame(index, start, sourceFd, out, frames, sizes);
}

// Copies source frames [from, to) in runs of contiguous frames (damaged bytes the index
// resynced over stay out).
bool copyFrames(const StreamIndex& index, std::size_t from, std::size_t to, int sourceFd,
    PieceOutput& out, const PieceProceed& proceed)
{
    std::size_t frame = from;
    while (frame < to) {
        const std::int64_t runStart = index.frames[frame].offset;
        std::int64_t runEnd = runStart;
        for (; frame < to && index.frames[frame].offset == runEnd; ++frame)
            runEnd += index.frames[frame].header.frameBytes();
        std::uint16_t crc = 0;
        if (!ByteRangeCrc(index.byteCrcs, sourceFd, runStart, runEnd, crc))
            return out.failReading();
        if (!out.copyAudio(sourceFd, runStart, runEnd, crc, proceed))
            return false;
    }
    return true;
}

// Reserves the piece's blocks before they are written, so the file system need not find them
// one by one (as the proportional cuts do); the size stays, and a file system that cannot is no
// error.
void reserveBlocks(const StreamIndex& index, const PiecePlan& piece, int outFd, off_t start,
    std::int64_t headBytes)
{
    if (piece.endFrame <= piece.start.firstCopied())
        return;
    const IndexedFrame last = index.frames[piece.endFrame - 1];
    const std::int64_t frameBytes
        = last.offset + last.header.frameBytes() - index.frames[piece.start.firstCopied()].offset;
    (void)::fallocate(
        outFd, FALLOC_FL_KEEP_SIZE, start, static_cast<off_t>(headBytes + frameBytes));
}

bool sameBitrate(const StreamIndex& index, std::size_t from, std::size_t to)
{
    const int bitrate = index.frames[from].header.bitrateIndex();
    for (std::size_t frame = from + 1; frame < to; ++frame) {
        if (index.frames[frame].header.bitrateIndex() != bitrate)
            return false;
    }
    return true;
}

LameTag pieceLameTag(const StreamIndex& index, const PiecePlan& piece)
{
    LameTag tag;
    if (index.infoFrame && index.infoFrame->lame)
        tag = *index.infoFrame->lame;
    else
        std::memcpy(tag.encoder.data(), "LAME", 4); // the prefix GStreamer and ffmpeg look for
    // Peak and gains describe the whole source.
    tag.peak = 0;
    tag.radioGain = 0;
    tag.audiophileGain = 0;
    tag.delay = piece.delay;
    tag.padding = piece.padding;
    return tag;
}

} // namespace

// The TOC counts the source frames at their distances in the source (equal to the piece's but
// for resynced bytes).
std::vector<std::uint8_t> PieceInfoFrame(const StreamIndex& index, const PiecePlan& piece,
    std::uint32_t headerWord, const std::vector<int>& headSizes, std::int64_t audioBytes,
    std::uint16_t musicCrc)
{
    const int infoBytes = FrameHeader::parse(headerWord)->frameBytes();
    const std::int64_t bytes = infoBytes + audioBytes;
    InfoFrame info;
    info.header = headerWord;
    info.vbr = !sameBitrate(index, piece.start.leadInFrom, piece.endFrame);
    info.frames = static_cast<std::uint32_t>(piece.frames());
    info.bytes = ByteCountField(bytes);
    std::vector<std::int64_t> headOffsets { infoBytes };
    for (const int size : headSizes)
        headOffsets.push_back(headOffsets.back() + size);
    const std::size_t copied = piece.start.firstCopied();
    info.toc = MakeToc(info.frames, bytes, [&](std::size_t frame) -> std::int64_t {
        if (frame < headSizes.size())
            return headOffsets[frame];
        const std::size_t source = copied + (frame - headSizes.size());
        return headOffsets.back() + index.frames[source].offset - index.frames[copied].offset;
    });
    info.quality = index.infoFrame ? index.infoFrame->quality : 0;
    info.lame = pieceLameTag(index, piece);
    info.lame->musicLength = info.bytes;
    info.lame->musicCrc = musicCrc;
    return WriteInfoFrame(info);
}

PieceWriteOutcome WritePiece(const StreamIndex& index, const PiecePlan& piece, int sourceFd,
    int outFd, const PieceProceed& proceed)
{
    PieceWriteOutcome outcome;
    const off_t start = ::lseek(outFd, 0, SEEK_CUR);
    const FrameHeader& stream = index.frames[piece.start.frame].header;
    const bool cbr = sameBitrate(index, piece.start.leadInFrom, piece.endFrame);
    const auto headerWord = InfoFrameHeader(stream, cbr);
    if (start < 0 || !headerWord) {
        outcome.error = start < 0 ? errno : EINVAL;
        outcome.layoutFailed = !headerWord;
        return outcome;
    }
    const int infoBytes = FrameHeader::parse(*headerWord)->frameBytes();
    PieceOutput out(outFd);
    const std::vector<std::uint8_t> placeholder(static_cast<std::size_t>(infoBytes), 0);
    std::vector<std::uint8_t> head; // the silent frames and the re-laid one
    std::vector<int> headSizes;
    bool ok = headFrames(index, piece.start, sourceFd, out, head, headSizes);
    if (ok)
        reserveBlocks(index, piece, outFd, start, infoBytes + std::ssize(head));
    ok = ok && out.write(placeholder.data(), placeholder.size())
        && out.writeAudio(head.data(), head.size())
        && copyFrames(index, piece.start.firstCopied(), piece.endFrame, sourceFd, out, proceed);
    if (ok) {
        const std::vector<std::uint8_t> info = PieceInfoFrame(
            index, piece, *headerWord, headSizes, out.written() - infoBytes, out.musicCrc());
        if (info.size() != placeholder.size())
            ok = out.failLayout();
        else if (::pwrite(outFd, info.data(), info.size(), start)
            != static_cast<ssize_t>(info.size()))
            ok = out.fail();
    }
    outcome.written = ok;
    outcome.error = ok ? 0 : out.error();
    outcome.sourceFailed = !ok && out.sourceFailed();
    outcome.layoutFailed = !ok && out.layoutFailed();
    outcome.cancelled = !ok && out.cancelled();
    outcome.bytes = out.written();
    return outcome;
}

} // namespace parvex
