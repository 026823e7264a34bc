// SPDX-License-Identifier: GPL-3.0-or-later
// Xing part: magic, flags, then the fields the flags announce. LAME part: 36 bytes, whose last
// two are a CRC-16/ARC of every frame byte before them.
#include "infoframe.h"

#include "bigendian.h"
#include "crc16.h"
#include "frameheader.h"

#include <algorithm>
#include <cstring>

namespace parvex {

namespace {

constexpr std::size_t kLameBytes = 36;
constexpr auto kMaxFrameBytes = static_cast<std::size_t>(FrameHeader::kMaxLayer3Bytes);
constexpr std::size_t kTagCrcOffset = 34; // within the LAME part

// Bytes of the Xing part: magic and flags, then 4 per counter, 100 for the TOC.
std::size_t xingBytes(std::uint32_t flags)
{
    return 8u + ((flags & InfoFrame::kFrames) ? 4u : 0u) + ((flags & InfoFrame::kBytes) ? 4u : 0u)
        + ((flags & InfoFrame::kToc) ? 100u : 0u) + ((flags & InfoFrame::kQuality) ? 4u : 0u);
}

// The Xing part starts right after the side information's place, even in a protected frame:
// there the CRC word takes two of the side-info bytes and the part overlaps the last two.
std::size_t xingOffset(const FrameHeader& header)
{
    return 4 + static_cast<std::size_t>(header.sideInfoBytes());
}

LameTag readLame(const std::uint8_t* p)
{
    LameTag t;
    std::memcpy(t.encoder.data(), p, t.encoder.size());
    t.revisionAndVbrMethod = p[9];
    t.lowpass = p[10];
    t.peak = ReadBigEndian32(p + 11);
    t.radioGain = ReadBigEndian16(p + 15);
    t.audiophileGain = ReadBigEndian16(p + 17);
    t.flagsAndAth = p[19];
    t.bitrate = p[20];
    t.delay = (p[21] << 4) | (p[22] >> 4);
    t.padding = ((p[22] & 0x0F) << 8) | p[23];
    t.misc = p[24];
    t.mp3Gain = p[25];
    t.presetAndSurround = ReadBigEndian16(p + 26);
    t.musicLength = ReadBigEndian32(p + 28);
    t.musicCrc = ReadBigEndian16(p + 32);
    return t;
}

void writeLame(std::uint8_t* p, const LameTag& t)
{
    std::memcpy(p, t.encoder.data(), t.encoder.size());
    p[9] = t.revisionAndVbrMethod;
    p[10] = t.lowpass;
    WriteBigEndian32(p + 11, t.peak);
    WriteBigEndian16(p + 15, t.radioGain);
    WriteBigEndian16(p + 17, t.audiophileGain);
    p[19] = t.flagsAndAth;
    p[20] = t.bitrate;
    const auto delay = static_cast<unsigned>(t.delay);
    const auto padding = static_cast<unsigned>(t.padding);
    p[21] = static_cast<std::uint8_t>(delay >> 4);
    p[22] = static_cast<std::uint8_t>(((delay & 0x0F) << 4) | (padding >> 8));
    p[23] = static_cast<std::uint8_t>(padding & 0xFF);
    p[24] = t.misc;
    p[25] = t.mp3Gain;
    WriteBigEndian16(p + 26, t.presetAndSurround);
    WriteBigEndian32(p + 28, t.musicLength);
    WriteBigEndian16(p + 32, t.musicCrc);
}

// Encoders that write no LAME extension leave zeros (or the start of the audio) there; every
// known writer of one starts the encoder string with printable ASCII.
bool looksLikeLameTag(const std::uint8_t* p)
{
    return std::all_of(p, p + 4, [](std::uint8_t c) { return c >= 0x20 && c < 0x7F; });
}

std::uint16_t frameCrc(const std::uint8_t* frame, const FrameHeader& header)
{
    return Crc16Mpeg(frame + 2, frame + 6, static_cast<std::size_t>(header.sideInfoBytes()));
}

} // namespace

std::optional<ParsedInfoFrame> ParseInfoFrame(const std::uint8_t* frame, std::size_t bytes)
{
    if (bytes < 4)
        return std::nullopt;
    const auto header = FrameHeader::parse(ReadBigEndian32(frame));
    if (!header || header->layer() != 3)
        return std::nullopt;
    const std::size_t frameBytes = std::min(bytes, static_cast<std::size_t>(header->frameBytes()));
    const std::size_t xing = xingOffset(*header);
    if (xing + 8 > frameBytes)
        return std::nullopt;
    const std::uint8_t* p = frame + xing;
    ParsedInfoFrame parsed;
    InfoFrame& info = parsed.frame;
    info.header = header->word();
    info.vbr = std::memcmp(p, "Xing", 4) == 0;
    if (!info.vbr && std::memcmp(p, "Info", 4) != 0)
        return std::nullopt;
    info.flags = ReadBigEndian32(p + 4);
    if (xing + xingBytes(info.flags) > frameBytes)
        return std::nullopt;
    p += 8;
    if (info.flags & InfoFrame::kFrames) {
        info.frames = ReadBigEndian32(p);
        p += 4;
    }
    if (info.flags & InfoFrame::kBytes) {
        info.bytes = ReadBigEndian32(p);
        p += 4;
    }
    if (info.flags & InfoFrame::kToc) {
        std::memcpy(info.toc.data(), p, info.toc.size());
        p += info.toc.size();
    }
    if (info.flags & InfoFrame::kQuality) {
        info.quality = ReadBigEndian32(p);
        p += 4;
    }
    const auto lameOffset = static_cast<std::size_t>(p - frame);
    if (lameOffset + kLameBytes <= frameBytes && looksLikeLameTag(p)) {
        info.lame = readLame(p);
        parsed.tagCrcValid
            = Crc16Arc(frame, lameOffset + kTagCrcOffset) == ReadBigEndian16(p + kTagCrcOffset);
    }
    if (header->crcProtected())
        parsed.frameCrcValid = frameCrc(frame, *header) == ReadBigEndian16(frame + 4);
    return parsed;
}

std::vector<std::uint8_t> WriteInfoFrame(const InfoFrame& info)
{
    const auto header = FrameHeader::parse(info.header);
    if (!header || header->layer() != 3)
        return {};
    const std::size_t xing = xingOffset(*header);
    const std::size_t lameOffset = xing + xingBytes(info.flags);
    const std::size_t needed = lameOffset + (info.lame ? kLameBytes : 0);
    const auto fits12Bits = [](int value) {
        return value >= 0 && value <= 4095;
    };
    if (info.lame && (!fits12Bits(info.lame->delay) || !fits12Bits(info.lame->padding)))
        return {};
    const auto frameBytes = static_cast<std::size_t>(header->frameBytes());
    if (needed > frameBytes)
        return {};
    std::array<std::uint8_t, kMaxFrameBytes> frame {};
    WriteBigEndian32(frame.data(), info.header);
    std::uint8_t* p = frame.data() + xing;
    std::memcpy(p, info.vbr ? "Xing" : "Info", 4);
    WriteBigEndian32(p + 4, info.flags);
    p += 8;
    if (info.flags & InfoFrame::kFrames) {
        WriteBigEndian32(p, info.frames);
        p += 4;
    }
    if (info.flags & InfoFrame::kBytes) {
        WriteBigEndian32(p, info.bytes);
        p += 4;
    }
    if (info.flags & InfoFrame::kToc) {
        std::memcpy(p, info.toc.data(), info.toc.size());
        p += info.toc.size();
    }
    if (info.flags & InfoFrame::kQuality) {
        WriteBigEndian32(p, info.quality);
        p += 4;
    }
    // The frame CRC covers the first Xing bytes and the tag CRC covers the frame CRC: in
    // this order each sees the final bytes.
    if (info.lame)
        writeLame(p, *info.lame);
    if (header->crcProtected())
        WriteBigEndian16(frame.data() + 4, frameCrc(frame.data(), *header));
    if (info.lame)
        WriteBigEndian16(p + kTagCrcOffset, Crc16Arc(frame.data(), lameOffset + kTagCrcOffset));
    return { frame.begin(), frame.begin() + header->frameBytes() };
}

std::array<std::uint8_t, 100> MakeToc(std::size_t frames, std::int64_t bytes,
    const std::function<std::int64_t(std::size_t)>& frameOffset)
{
    std::array<std::uint8_t, 100> toc {};
    if (frames == 0 || bytes <= 0)
        return toc;
    for (std::size_t i = 0; i < toc.size(); ++i) {
        const std::int64_t offset = frameOffset(i * frames / 100);
        toc[i] = static_cast<std::uint8_t>(std::clamp<std::int64_t>(256 * offset / bytes, 0, 255));
    }
    return toc;
}

std::uint32_t ByteCountField(std::int64_t bytes)
{
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(bytes) & 0xFFFFFFFFu);
}

std::optional<std::uint32_t> InfoFrameHeader(const FrameHeader& stream, bool cbr)
{
    // Keep sync, version, layer, protection, sample rate, private bit, channel mode,
    // copyright, original and emphasis; clear bitrate, padding and mode extension.
    const std::uint32_t base = stream.word() & 0xFFFF0DCFu;
    const std::size_t needed = 4 + static_cast<std::size_t>(stream.sideInfoBytes())
        + xingBytes(InfoFrame::kFrames | InfoFrame::kBytes | InfoFrame::kToc | InfoFrame::kQuality)
        + kLameBytes;
    const auto holds = [&](int index) -> std::optional<std::uint32_t> {
        const std::uint32_t word = base | (static_cast<std::uint32_t>(index) << 12);
        const auto header = FrameHeader::parse(word);
        if (header && static_cast<std::size_t>(header->frameBytes()) >= needed)
            return word;
        return std::nullopt;
    };
    if (cbr) {
        if (const auto word = holds(stream.bitrateIndex()))
            return word;
    }
    for (int index = 1; index < 15; ++index) {
        if (const auto word = holds(index))
            return word;
    }
    return std::nullopt;
}

} // namespace parvex
