// SPDX-License-Identifier: GPL-3.0-or-later
// The frame walk reads each frame's header and side information through ScanReader's large
// buffer, so the pass costs about what reading the file costs.
#include "streamscan.h"

#include "bigendian.h"
#include "blockedinterruptions.h"
#include "crc16.h"
#include "filereader.h"
#include "mpegaudioheader.h"
#include "mpegstreamlocator.h"
#include "scanreader.h"
#include "sideinfo.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <limits>
#include <new>
#include <sys/stat.h>
#include <system_error>
#include <thread>
#include <unistd.h>
#include <vector>

namespace parvex {

namespace {

constexpr std::size_t kMinimumFrames = 4;
constexpr int kSynthesisDelay = 529; // samples every decoder's output lags its input
// Header, CRC word and the largest side information (MPEG-1 stereo).
constexpr std::size_t kMaxFrameStartBytes = 6 + 32;

IndexOutcome refuse(IndexRefusal refusal)
{
    return { std::nullopt, refusal };
}

std::optional<FrameHeader> headerAt(ScanReader& reader, std::int64_t position)
{
    const std::uint8_t* bytes = reader.view(position, 4);
    if (!bytes)
        return std::nullopt;
    return FrameHeader::parse(ReadBigEndian32(bytes));
}

std::uint32_t littleEndian32(const std::uint8_t* p)
{
    return std::uint32_t { p[0] } | (std::uint32_t { p[1] } << 8) | (std::uint32_t { p[2] } << 16)
        | (std::uint32_t { p[3] } << 24);
}

// The end of the audio: before an ID3v1 tag (the last 128 bytes, "TAG") and an APEv2 tag
// before it (a 32-byte footer whose size field counts the items and the footer; flag bit 31
// announces a 32-byte header as well).
std::int64_t audioEnd(FileReader& reader)
{
    std::int64_t end = reader.fileSize();
    std::array<std::uint8_t, 32> bytes {};
    if (end >= 128 && reader.readAt(end - 128, bytes.data(), 3)
        && std::memcmp(bytes.data(), "TAG", 3) == 0)
        end -= 128;
    if (end >= 32 && reader.readAt(end - 32, bytes.data(), bytes.size())
        && std::memcmp(bytes.data(), "APETAGEX", 8) == 0) {
        const std::int64_t tagBytes = std::int64_t { littleEndian32(bytes.data() + 12) }
            + ((littleEndian32(bytes.data() + 20) & 0x80000000u) ? 32 : 0);
        if (tagBytes >= 32 && tagBytes <= end)
            end -= tagBytes;
    }
    return end;
}

// A stream of free-format frames (bitrate index 0) is not found by FindMpegAudioStart, whose
// header check refuses them; this tells that case from "not MPEG audio": three such headers of
// one stream, evenly spaced (up to a padding byte), within the file's first bytes.
bool looksFreeFormat(FileReader& reader)
{
    constexpr std::size_t kWindowBytes = 128 * 1024;
    constexpr std::uint32_t kStreamMask = 0xFFFEFC00u; // sync, version, layer, bitrate, rate
    // Decoders accept free-format Layer III up to 640 kbit/s: 2881 bytes at 32 kHz, padded.
    constexpr std::size_t kMaxFreeFrameBytes = 2881;
    std::vector<std::uint8_t> window(kWindowBytes);
    reader.setOrigin(0);
    const std::int64_t got
        = reader.seek(0, SEEK_SET) < 0 ? -1 : reader.read(window.data(), kWindowBytes);
    if (got < 8)
        return false;
    const auto n = static_cast<std::size_t>(got);
    const auto freeHeader = [&](std::size_t at) -> std::uint32_t {
        if (at + 4 > n || window[at] != 0xFF)
            return 0;
        const std::uint32_t word = ReadBigEndian32(&window[at]);
        const bool valid
            = (word & 0xFFE0F000u) == 0xFFE00000u && MpegAudioHeader::parse(word | 0x1000u);
        return valid ? word & kStreamMask : 0;
    };
    for (std::size_t i = 0; i + 8 <= n; ++i) {
        const std::uint32_t stream = freeHeader(i);
        if (stream == 0)
            continue;
        for (std::size_t d = 48; d <= kMaxFreeFrameBytes && i + 2 * d + 5 <= n; ++d) {
            if (freeHeader(i + d) == stream
                && (freeHeader(i + 2 * d - 1) == stream || freeHeader(i + 2 * d) == stream
                    || freeHeader(i + 2 * d + 1) == stream))
                return true;
        }
    }
    return false;
}

// A frame of `first`'s stream at `position` whose successor is one too (or which ends at
// `end`): a resync target that chance bytes in damaged data are unlikely to fake.
bool frameChainsAt(
    ScanReader& reader, std::int64_t position, std::int64_t end, const FrameHeader& first)
{
    const auto header = headerAt(reader, position);
    if (!header || !header->sameStream(first) || position + header->frameBytes() > end)
        return false;
    const std::int64_t next = position + header->frameBytes();
    if (next == end)
        return true;
    const auto following = headerAt(reader, next);
    return following && following->sameStream(first);
}

std::optional<std::int64_t> resync(
    ScanReader& reader, std::int64_t from, std::int64_t end, const FrameHeader& first)
{
    for (std::int64_t position = from; position + 4 <= end; ++position) {
        const std::uint8_t* byte = reader.view(position, 1);
        if (byte && *byte == 0xFF && frameChainsAt(reader, position, end, first))
            return position;
    }
    return std::nullopt;
}

// Reads the Xing/Info frame if the stream starts with one.
void readInfoFrame(ScanReader& reader, std::int64_t position, const FrameHeader& first,
    std::int64_t end, StreamIndex& index)
{
    const auto bytes = static_cast<std::size_t>(first.frameBytes());
    const std::uint8_t* frame
        = position + first.frameBytes() > end ? nullptr : reader.view(position, bytes);
    if (!frame)
        return;
    if (const auto parsed = ParseInfoFrame(frame, bytes)) {
        index.infoFrame = parsed->frame;
        index.infoFrameOffset = position;
    }
}

enum class Step { Frame, End, Refused };

// The parsed headers of the words met last: a stream repeats a handful of words (bitrates,
// padding, mode extensions), so most frames skip the parse.
class HeaderCache
{
public:
    std::optional<FrameHeader> parse(std::uint32_t word)
    {
        const std::size_t slot = ((word >> 12) ^ (word >> 9) ^ (word >> 4)) & (kSlots - 1);
        if (m_headers[slot] && m_headers[slot]->word() == word)
            return m_headers[slot];
        const auto header = FrameHeader::parse(word);
        if (header)
            m_headers[slot] = header;
        return header;
    }

private:
    static constexpr std::size_t kSlots = 16;
    std::array<std::optional<FrameHeader>, kSlots> m_headers {};
};

// Indexes the frame at `position` or finds the next one; moves `position` past what it read.
Step walkOne(ScanReader& reader, HeaderCache& headers, std::int64_t& position, std::int64_t end,
    const FrameHeader& first, StreamIndex& index, IndexRefusal& refusal)
{
    // One view of the header and the side information, cut short by the end of the audio.
    const auto available = static_cast<std::size_t>(
        std::min<std::int64_t>(end - position, static_cast<std::int64_t>(kMaxFrameStartBytes)));
    const std::uint8_t* start = reader.view(position, available);
    if (!start) {
        refusal = IndexRefusal::ReadFailed;
        return Step::Refused;
    }
    const auto header = headers.parse(ReadBigEndian32(start));
    if (header && header->sameStream(first)) {
        if (position + header->frameBytes() > end)
            return Step::End; // a last frame cut short
        const int mainDataBegin = ReadMainDataBegin(*header, start + header->sideInfoOffset());
        if (!index.frames.append(position, *header, mainDataBegin)) {
            refusal = IndexRefusal::TooLarge;
            return Step::Refused;
        }
        position += header->frameBytes();
        return Step::Frame;
    }
    if (header && frameChainsAt(reader, position, end, *header)) {
        refusal = IndexRefusal::FormatChanges;
        return Step::Refused;
    }
    const auto next = resync(reader, position + 1, end, first);
    if (!next)
        return Step::End;
    index.skippedBytes += *next - position;
    position = *next;
    return Step::Frame;
}

// The raw sample where libmpg123 and GStreamer end the gapless decode: `padding` samples before
// the end of as many frames as the Info frame counts, plus their 529-sample synthesis delay; but
// never past the last frame found. So a padding under 529 (other encoders write such), a stream
// cut short or an Info frame that counts more frames than there are all end at the last frame.
// Where the Info frame counts fewer, the frames found count.
std::int64_t gaplessEndRaw(const StreamIndex& index, const GaplessFacts& facts)
{
    const auto found = static_cast<std::int64_t>(index.frames.size());
    const std::int64_t frameEnd = found * facts.samplesPerFrame;
    if (!facts.hasLameTag)
        return frameEnd;
    const bool counted = (index.infoFrame->flags & InfoFrame::kFrames) != 0;
    const std::int64_t frames
        = counted ? std::max<std::int64_t>(index.infoFrame->frames, found) : found;
    return std::min(
        frameEnd, frames * facts.samplesPerFrame - facts.encoderPadding + kSynthesisDelay);
}

std::optional<IndexRefusal> setGaplessFacts(const FrameHeader& first, StreamIndex& index)
{
    GaplessFacts& facts = index.gapless;
    facts.sampleRate = first.sampleRate();
    facts.samplesPerFrame = first.samplesPerFrame();
    facts.channels = first.channels();
    if (index.infoFrame && index.infoFrame->lame) {
        facts.hasLameTag = true;
        facts.encoderDelay = index.infoFrame->lame->delay;
        facts.encoderPadding = index.infoFrame->lame->padding;
    }
    // Whatever the padding and the frame count, the decode starts at raw sample delay + 529.
    const std::int64_t start = facts.hasLameTag ? facts.encoderDelay + kSynthesisDelay : 0;
    facts.totalSamples = gaplessEndRaw(index, facts) - start;
    if (facts.totalSamples < 0)
        return IndexRefusal::GaplessLongerThanAudio;
    return std::nullopt;
}

// The second half of a whole walk, on a thread of its own: from the first frame that chains at
// or after `from` to `end`, with its own reader (of the one descriptor), frames and byte CRCs
// (taken from `from` on). Nothing it throws leaves the thread: the first half walks on alone.
struct HalfWalk
{
    StreamIndex part;
    ByteCrcs crcs;
    std::int64_t firstFrame = -1; // -1: no frame found, the first half walks on alone
    std::size_t expectedFrames = 0; // to reserve
    Step step = Step::End;
    IndexRefusal refusal = IndexRefusal::Unreadable;
};

void walkHalf(int fd, std::int64_t from, std::int64_t end, FrameHeader first, HalfWalk& half)
{
    ScanReader scan;
    if (!scan.open(fd, from))
        return;
    const auto start = resync(scan, from, end, first);
    if (!start)
        return;
    half.firstFrame = *start;
    half.part.frames.reserve(half.expectedFrames);
    std::int64_t position = *start;
    HeaderCache headers;
    half.step = Step::Frame;
    while (half.step == Step::Frame && position + 4 <= end)
        half.step = walkOne(scan, headers, position, end, first, half.part, half.refusal);
    half.crcs = scan.finish();
}

void walkSecondHalf(int fd, std::int64_t from, std::int64_t end, FrameHeader first, HalfWalk& half)
{
    try {
        walkHalf(fd, from, end, first, half);
    } catch (...) {
        half.firstFrame = -1;
    }
}

// Appends the second half to the first, which stopped at the half's first frame: its frames,
// skipped bytes and byte CRCs (each moved past the first half's CRC at the half's origin).
bool joinHalves(HalfWalk& half, StreamIndex& index, ByteCrcs& crcs)
{
    if (!index.frames.appendAll(std::move(half.part.frames)))
        return false;
    index.skippedBytes += half.part.skippedBytes;
    const auto step = static_cast<std::size_t>((half.crcs.origin - crcs.origin) / ByteCrcs::kStep);
    crcs.atSteps.resize(step + 1);
    const std::uint16_t factor = Crc16ArcShiftFactor(ByteCrcs::kStep);
    std::uint16_t shifted = crcs.atSteps[step];
    for (std::size_t i = 1; i < half.crcs.atSteps.size(); ++i) {
        shifted = Crc16ArcShift(shifted, factor);
        crcs.atSteps.push_back(static_cast<std::uint16_t>(shifted ^ half.crcs.atSteps[i]));
    }
    return true;
}

// The frames `bytes` of audio will likely hold. A reserve close to the count spares the index a
// copy into fresh pages (each page a fault) when it grows or shrinks. The Info frame's count
// where it has a smaller one: a VBR stream's first frame says nothing of the others' length.
std::size_t expectedFrames(const StreamIndex& index, std::int64_t bytes, const FrameHeader& first)
{
    const auto byLength
        = static_cast<std::size_t>(std::max<std::int64_t>(bytes, 0) / first.frameBytes());
    if (index.infoFrame && (index.infoFrame->flags & InfoFrame::kFrames) != 0)
        return std::min<std::size_t>(byLength, index.infoFrame->frames + std::size_t { 1 });
    return byLength;
}

// The frames of `part` bytes of `whole`, with a sixteenth to spare for a denser stretch.
std::size_t shareOf(std::size_t frames, std::int64_t part, std::int64_t whole)
{
    const auto share
        = static_cast<double>(frames) * static_cast<double>(part) / static_cast<double>(whole);
    return static_cast<std::size_t>(share * 17 / 16) + 1;
}

// Below this, a second thread costs more than it saves.
constexpr std::int64_t kMinSplitBytes = std::int64_t { 4 } << 20;

// Walks [position, end), the second half on a thread of its own when the stream is long: the
// first half stops at the first frame at or past the middle, and if the second half started at
// just that frame, takes over its frames; otherwise it walks on alone. Either way the frames,
// skipped bytes, refusals and byte CRCs are those of one walk.
Step walkWhole(int fd, ScanReader& scan, std::int64_t position, std::int64_t end,
    std::size_t expectedFrames, const FrameHeader& first, StreamIndex& index, IndexRefusal& refusal)
{
    HeaderCache headers;
    Step step = Step::Frame;
    HalfWalk half;
    std::jthread second; // joined on the way out, should the first half throw
    const std::int64_t origin = index.byteCrcs.origin;
    const std::int64_t middle = origin + (end - origin) / 2 / ByteCrcs::kStep * ByteCrcs::kStep;
    if (end - position >= kMinSplitBytes) {
        half.expectedFrames = shareOf(expectedFrames, end - middle, end - position);
        try {
            const BlockedInterruptions blocked; // for good in the worker, which inherits them
            second = std::jthread(walkSecondHalf, fd, middle, end, first, std::ref(half));
        } catch (const std::system_error&) {
            // One thread walks it all.
        }
    }
    // Each half's frames stay where they were appended (FrameIndex::appendAll), so each
    // reserves for its own share only.
    index.frames.reserve(second.joinable()
            ? shareOf(expectedFrames, middle - position, end - position)
            : expectedFrames);
    if (second.joinable()) {
        while (step == Step::Frame && position < middle && position + 4 <= end)
            step = walkOne(scan, headers, position, end, first, index, refusal);
        second.join();
        // The first half's CRCs must reach the middle, where the second half's start; its
        // buffer ends wherever its last read did, which on a file system with short reads
        // (FUSE, network) can be short of the middle.
        if (step == Step::Frame && half.firstFrame == position && scan.view(middle - 1, 1)) {
            index.byteCrcs = scan.finish();
            if (half.step == Step::Refused) {
                refusal = half.refusal;
                return Step::Refused;
            }
            if (!joinHalves(half, index, index.byteCrcs)) {
                refusal = IndexRefusal::TooLarge;
                return Step::Refused;
            }
            return half.step;
        }
    }
    while (step == Step::Frame && position + 4 <= end)
        step = walkOne(scan, headers, position, end, first, index, refusal);
    index.byteCrcs = scan.finish();
    return step;
}

// Frames enough that a range ending `seconds` in has all its frames, and that the gapless length
// they give (less the source's padding) still reaches past its end; never fewer than a source
// must have.
std::size_t framesFor(std::int64_t seconds, const FrameHeader& first, const StreamIndex& index)
{
    const std::int64_t spf = first.samplesPerFrame();
    std::int64_t samples = std::max<std::int64_t>(seconds, 0) * first.sampleRate() + 2 * spf;
    if (index.infoFrame && index.infoFrame->lame)
        samples += index.infoFrame->lame->delay + index.infoFrame->lame->padding + 529;
    return std::max(static_cast<std::size_t>(samples / spf + 1), kMinimumFrames);
}

IndexOutcome indexStream(int sourceFd, std::optional<std::int64_t> untilSecond)
{
    FileReader reader;
    if (!reader.use(sourceFd))
        return refuse(IndexRefusal::Unreadable);
    const auto start = FindMpegAudioStart(reader);
    if (!start)
        return refuse(
            looksFreeFormat(reader) ? IndexRefusal::FreeFormat : IndexRefusal::NotMpegAudio);
    reader.setOrigin(0);
    const std::int64_t end = audioEnd(reader);
    ScanReader scan;
    if (!scan.open(sourceFd, *start))
        return refuse(IndexRefusal::Unreadable);
    // FindMpegAudioStart read a header there: failing to read it again is a read error.
    const auto first = headerAt(scan, *start);
    if (!first)
        return refuse(IndexRefusal::ReadFailed);
    if (first->layer() != 3)
        return refuse(IndexRefusal::NotLayer3);

    IndexOutcome outcome { StreamIndex {}, IndexRefusal::Unreadable };
    StreamIndex& index = *outcome.index;
    index.stamp = scan.stamp();
    std::int64_t position = *start;
    readInfoFrame(scan, position, *first, end, index);
    if (index.infoFrame)
        position += first->frameBytes();
    const std::size_t wanted = untilSecond ? framesFor(*untilSecond, *first, index)
                                           : std::numeric_limits<std::size_t>::max();
    const std::size_t expected = expectedFrames(index, end - position, *first);
    IndexRefusal refusal = IndexRefusal::Unreadable;
    index.byteCrcs.origin = *start;
    Step step = Step::Frame;
    if (untilSecond) {
        HeaderCache headers;
        index.frames.reserve(std::min(wanted, expected));
        while (step == Step::Frame && position + 4 <= end && index.frames.size() < wanted)
            step = walkOne(scan, headers, position, end, *first, index, refusal);
        index.byteCrcs = scan.finish();
    } else {
        step = walkWhole(sourceFd, scan, position, end, expected, *first, index, refusal);
    }
    if (step == Step::Refused)
        return refuse(refusal);
    if (index.frames.size() < kMinimumFrames)
        return refuse(IndexRefusal::TooFewFrames);
    index.frames.shrinkToFit();
    index.toEnd = index.frames.size() < wanted;
    const IndexedFrame last = index.frames[index.frames.size() - 1];
    index.audioEnd = index.toEnd ? last.offset + last.header.frameBytes() : end;
    if (const auto gaplessRefusal = setGaplessFacts(*first, index))
        return refuse(*gaplessRefusal);
    return outcome;
}

} // namespace

IndexOutcome IndexMp3Stream(const std::string& path)
{
    return IndexMp3Stream(path, std::nullopt);
}

IndexOutcome IndexMp3Stream(const std::string& path, std::optional<std::int64_t> untilSecond)
{
    struct stat status
    { };
    const int fd = OpenRegularFile(path, status);
    if (fd < 0)
        return refuse(IndexRefusal::Unreadable);
    IndexOutcome outcome = IndexMp3Stream(fd, untilSecond);
    ::close(fd);
    return outcome;
}

IndexOutcome IndexMp3Stream(int sourceFd, std::optional<std::int64_t> untilSecond)
{
    try {
        return indexStream(sourceFd, untilSecond);
    } catch (const std::bad_alloc&) {
        return refuse(IndexRefusal::OutOfMemory);
    }
}

} // namespace parvex
