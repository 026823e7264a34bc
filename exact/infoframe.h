// SPDX-License-Identifier: GPL-3.0-or-later
// The Xing/Info frame that heads a LAME-made stream, with its LAME extension: parse and write.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace parvex {

class FrameHeader;

// The 36-byte LAME extension. Gains, peak and the encoder's own settings are kept as LAME
// wrote them; only a writer of a new stream decides which to keep.
struct LameTag
{
    // E.g. "LAME3.100", NUL-padded. A new tag says "LAME3.100": the layout written here is
    // LAME's from 3.90 on (revision 0), and tag readers take delay and padding only after a
    // "LAME" and a version they can parse; GStreamer and ffmpeg look for the "LAME" alone.
    std::array<char, 9> encoder { 'L', 'A', 'M', 'E', '3', '.', '1', '0', '0' };
    std::uint8_t revisionAndVbrMethod = 0;
    std::uint8_t lowpass = 0; // 100 Hz units
    std::uint32_t peak = 0;
    std::uint16_t radioGain = 0;
    std::uint16_t audiophileGain = 0;
    std::uint8_t flagsAndAth = 0;
    std::uint8_t bitrate = 0; // kbit/s (ABR target or minimum), 255 for 255 and above
    int delay = 0; // samples the encoder put before the audio; 12 bits
    int padding = 0; // samples after the audio in the last frame; 12 bits
    std::uint8_t misc = 0;
    std::uint8_t mp3Gain = 0;
    std::uint16_t presetAndSurround = 0;
    std::uint32_t musicLength = 0; // bytes from this frame's first byte to the audio's end
    std::uint16_t musicCrc = 0; // CRC-16/ARC of the audio frames after this frame

    bool operator==(const LameTag&) const = default;
};

struct InfoFrame
{
    // Flags of the optional Xing fields; LAME writes all four.
    static constexpr std::uint32_t kFrames = 1;
    static constexpr std::uint32_t kBytes = 2;
    static constexpr std::uint32_t kToc = 4;
    static constexpr std::uint32_t kQuality = 8;

    std::uint32_t header = 0; // the frame's own header word (bitrate, protection, mode)
    bool vbr = false; // "Xing"; "Info" marks a CBR stream
    std::uint32_t flags = kFrames | kBytes | kToc | kQuality;
    std::uint32_t frames = 0; // audio frames after this one
    std::uint32_t bytes = 0; // this frame and the audio frames after it
    // TOC[i]: the byte offset of i percent of the playing time, in 256ths of `bytes`.
    std::array<std::uint8_t, 100> toc {};
    std::uint32_t quality = 0;
    std::optional<LameTag> lame;

    bool operator==(const InfoFrame&) const = default;
};

struct ParsedInfoFrame
{
    InfoFrame frame;
    bool frameCrcValid = true; // the header's protection CRC; true when unprotected
    bool tagCrcValid = false; // the LAME tag CRC; false without a LAME extension
};

// Reads the Xing/Info frame at the start of `frame` (`bytes` of it available); nullopt when
// it is not one, or its fields do not fit in the frame.
std::optional<ParsedInfoFrame> ParseInfoFrame(const std::uint8_t* frame, std::size_t bytes);

// A whole frame holding `info`, with the frame CRC (if protected) and the LAME tag CRC
// computed; empty if the header is invalid, the frame too small for the fields, or the delay
// or padding outside their 12 bits (a cut that needs more falls back to a frame start).
std::vector<std::uint8_t> WriteInfoFrame(const InfoFrame& info);

// The TOC of a stream of `frames` audio frames after its Info frame, `bytes` long with it:
// entry i is where frame floor(i x frames / 100) starts, in 256ths of `bytes`, rounded down.
// `frameOffset(k)` gives audio frame k's first byte counted from the Info frame's first byte.
std::array<std::uint8_t, 100> MakeToc(std::size_t frames, std::int64_t bytes,
    const std::function<std::int64_t(std::size_t)>& frameOffset);

// What the 32-bit Xing bytes and LAME music length fields hold for a stream `bytes` long: past
// 4 GiB the count modulo 2^32, as LAME writes such a stream. Decoders that know the file's
// size go by that (libmpg123 at most warns of the difference); the TOC, made from the real
// count, stays right.
std::uint32_t ByteCountField(std::int64_t bytes);

// The header of an Info frame that heads a stream of `stream`'s frames: its version, layer,
// sample rate, channel mode, private, copyright, original, emphasis and protection bits;
// mode extension 0, no padding. The bitrate is the stream's for a CBR stream when that frame
// holds the Xing and LAME fields, otherwise the smallest that does.
std::optional<std::uint32_t> InfoFrameHeader(const FrameHeader& stream, bool cbr);

} // namespace parvex
