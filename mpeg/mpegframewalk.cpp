// SPDX-License-Identifier: GPL-3.0-or-later
// A frame walk over FileReader's buffer: one bounds check and one header parse per frame.
#include "mpegframewalk.h"

#include "filereader.h"
#include "mediatime.h"
#include "mpegaudioheader.h"

#include <array>
#include <cstring>

namespace parvex {

namespace {

constexpr std::int64_t kId3v1Bytes = 128;
constexpr std::int64_t kApeFooterBytes = 32;

std::uint32_t bigEndian32(const unsigned char* bytes)
{
    return std::uint32_t { bytes[0] } << 24 | std::uint32_t { bytes[1] } << 16
        | std::uint32_t { bytes[2] } << 8 | std::uint32_t { bytes[3] };
}

std::uint32_t littleEndian32(const unsigned char* bytes)
{
    return std::uint32_t { bytes[3] } << 24 | std::uint32_t { bytes[2] } << 16
        | std::uint32_t { bytes[1] } << 8 | std::uint32_t { bytes[0] };
}

bool isMono(std::uint32_t word)
{
    return ((word >> 6) & 3u) == 3u;
}

// The frame length of every header of the first one's stream, by bitrate index and padding
// bit: a table lookup per frame instead of a parse. Headers of another version, layer, sample
// rate or channel count, and invalid ones, have length 0.
class FrameLengths
{
public:
    explicit FrameLengths(std::uint32_t firstWord)
        : m_stream(firstWord & kStreamBits)
        , m_mono(isMono(firstWord))
    {
        for (std::uint32_t index = 0; index < 32; ++index) {
            const std::uint32_t word
                = (firstWord & ~kLengthBits) | (index >> 1) << 12 | (index & 1u) << 9;
            const auto header = MpegAudioHeader::parse(word & ~3u); // emphasis is checked apart
            m_bytes[index] = header ? header->frameBytes : 0;
        }
    }

    int of(std::uint32_t word) const
    {
        if ((word & kStreamBits) != m_stream || isMono(word) != m_mono || (word & 3u) == 2u)
            return 0;
        return m_bytes[(word >> 12 & 15u) << 1 | (word >> 9 & 1u)];
    }

private:
    static constexpr std::uint32_t kStreamBits = 0xFFFE0C00u; // sync, version, layer, sample rate
    static constexpr std::uint32_t kLengthBits = 0x0000F200u; // bitrate index, padding

    std::uint32_t m_stream;
    bool m_mono;
    std::array<int, 32> m_bytes {};
};

int samplesPerFrame(const MpegAudioHeader& header)
{
    if (header.layer == 1)
        return 384;
    return header.layer == 3 && header.version != 10 ? 576 : 1152;
}

// A Layer III stream's first frame may be a Xing/Info or VBRI frame instead of audio: its tag
// follows the side information (Xing, Info) or sits 32 bytes past the header (VBRI).
bool carriesVbrHeader(FileReader& reader, const MpegAudioHeader& header, std::uint32_t word)
{
    if (header.layer != 3)
        return false;
    const int sideInfo = header.version == 10 ? (isMono(word) ? 17 : 32) : (isMono(word) ? 9 : 17);
    std::array<char, 4> tag {};
    const auto tagAt = [&](std::int64_t offset) {
        return offset + 4 <= header.frameBytes && reader.readAt(offset, tag.data(), tag.size());
    };
    return (tagAt(4 + sideInfo)
               && (std::memcmp(tag.data(), "Xing", 4) == 0
                   || std::memcmp(tag.data(), "Info", 4) == 0))
        || (tagAt(36) && std::memcmp(tag.data(), "VBRI", 4) == 0);
}

// True when the `rest` bytes after the last frame at `end` are tags libmpg123 skips: an APEv2
// tag, an ID3v1 tag, or the APE tag followed by the ID3v1 one.
bool onlyEndTags(FileReader& reader, std::int64_t end, std::int64_t rest)
{
    if (rest == 0)
        return true;
    std::array<unsigned char, kApeFooterBytes> bytes {};
    if (rest >= kId3v1Bytes && reader.readAt(end + rest - kId3v1Bytes, bytes.data(), 3)
        && std::memcmp(bytes.data(), "TAG", 3) == 0)
        rest -= kId3v1Bytes;
    if (rest == 0)
        return true;
    if (rest < kApeFooterBytes
        || !reader.readAt(end + rest - kApeFooterBytes, bytes.data(), bytes.size())
        || std::memcmp(bytes.data(), "APETAGEX", 8) != 0)
        return false;
    // The footer's size counts the items and the footer; a header, when flagged, adds 32.
    const std::int64_t hasHeader = (bytes[23] & 0x80u) != 0 ? kApeFooterBytes : 0;
    return littleEndian32(&bytes[12]) + hasHeader == rest;
}

} // namespace

std::optional<std::int64_t> WalkPlainMpegLength(FileReader& reader, std::int64_t streamStart)
{
    reader.setOrigin(streamStart);
    const std::int64_t streamBytes = reader.fileSize() - streamStart;
    const unsigned char* bytes = reader.peek(0, 4);
    if (!bytes)
        return std::nullopt;
    const std::uint32_t firstWord = bigEndian32(bytes);
    const auto first = MpegAudioHeader::parse(firstWord);
    if (!first || carriesVbrHeader(reader, *first, firstWord))
        return std::nullopt;

    const FrameLengths lengths(firstWord);
    std::int64_t frames = 0;
    std::int64_t position = 0;
    while (position + 4 <= streamBytes && (bytes = reader.peek(position, 4))) {
        const int frameBytes = lengths.of(bigEndian32(bytes));
        if (frameBytes == 0)
            break;
        if (position + frameBytes > streamBytes)
            return std::nullopt; // a last frame cut short: decoders differ on what it holds
        position += frameBytes;
        ++frames;
    }
    if (!onlyEndTags(reader, position, streamBytes - position))
        return std::nullopt;
    return MediaTimeFromSamples(frames * samplesPerFrame(*first), first->sampleRate);
}

} // namespace parvex
