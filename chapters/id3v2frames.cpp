// SPDX-License-Identifier: GPL-3.0-or-later
// Our own walk over the frames of a tag: TagLib 1.13 misplaces the frames after a v2.3
// extended header and drops the last one after a v2.4 one (taglib#1081), stops at an empty or
// unknown frame, and drops v2.3 frames it has no v2.4 form for (RVAD, EQUA, TSIZ, TRDA) when
// it renders a tag; a chaptered copy keeps every frame as the source wrote it.
#include "id3v2frames.h"

#include <algorithm>
#include <cstdint>
#include <optional>

namespace parvex {

namespace {

using Bytes = std::vector<char>;

std::uint32_t bigEndian(const char* bytes, int count)
{
    std::uint32_t value = 0;
    for (int i = 0; i < count; ++i)
        value = (value << 8) | static_cast<unsigned char>(bytes[i]);
    return value;
}

std::uint32_t synchsafe(const char* bytes)
{
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i)
        value = (value << 7) | (static_cast<unsigned char>(bytes[i]) & 0x7f);
    return value;
}

// A v2.4 frame size is synchsafe; a size with a high bit set was written as a plain integer
// (as some taggers did), and is read so, as TagLib reads it.
std::uint32_t v24FrameSize(const char* bytes)
{
    const bool plain = std::any_of(
        bytes, bytes + 4, [](char byte) { return (static_cast<unsigned char>(byte) & 0x80) != 0; });
    return plain ? bigEndian(bytes, 4) : synchsafe(bytes);
}

// Every 0xFF 0x00 back to 0xFF.
Bytes withoutUnsynchronisation(const Bytes& bytes)
{
    Bytes plain;
    plain.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        plain.push_back(bytes[i]);
        if (static_cast<unsigned char>(bytes[i]) == 0xff && i + 1 < bytes.size()
            && bytes[i + 1] == 0)
            ++i;
    }
    return plain;
}

bool isIdCharacter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

Id3v2Frames damaged(const std::string& what)
{
    return { 0, {}, "The ID3v2 tag at the start of the file is damaged: " + what + "." };
}

// Where the frames start in `body`: past the extended header, if any; nothing when it is damaged.
std::optional<std::size_t> firstFrame(const Bytes& body, unsigned version, unsigned flags)
{
    if ((flags & 0x40) == 0)
        return 0;
    if (version == 2 || body.size() < 4)
        return std::nullopt; // in v2.2 the flag means a compression no reader knows
    // v2.3: a plain size without its own 4 bytes (6, or 10 with a CRC); v2.4: synchsafe, whole.
    const std::size_t bytes = version == 3 ? 4 + bigEndian(body.data(), 4) : synchsafe(body.data());
    const bool sane = version == 3 ? (bytes == 10 || bytes == 14) : bytes >= 6;
    if (!sane || bytes > body.size())
        return std::nullopt;
    return bytes;
}

} // namespace

std::string FrameId(const Bytes& frame, unsigned version)
{
    return std::string(frame.data(), std::min<std::size_t>(frame.size(), version == 2 ? 3 : 4));
}

Id3v2Frames SplitId3v2Frames(const Bytes& tag)
{
    if (tag.size() < 10)
        return damaged("it is shorter than its header");
    const auto version = static_cast<unsigned>(tag[3]);
    const auto flags = static_cast<unsigned char>(tag[5]);
    const std::size_t size = std::min<std::size_t>(synchsafe(tag.data() + 6), tag.size() - 10);
    Bytes body(tag.begin() + 10, tag.begin() + 10 + static_cast<std::ptrdiff_t>(size));
    if (version <= 3 && (flags & 0x80) != 0)
        body = withoutUnsynchronisation(body);
    const std::optional<std::size_t> first = firstFrame(body, version, flags);
    if (!first)
        return damaged("its extended header is not valid");
    std::size_t at = *first;

    Id3v2Frames result { version, {}, {} };
    const std::size_t idBytes = version == 2 ? 3 : 4;
    const std::size_t headerBytes = version == 2 ? 6 : 10;
    while (at + headerBytes <= body.size() && body[at] != 0) {
        const char* header = body.data() + at;
        const std::string number = "frame " + std::to_string(result.frames.size() + 1);
        if (!std::all_of(header, header + idBytes, isIdCharacter))
            return damaged(number + " has no valid ID");
        const std::size_t frameBytes = headerBytes
            + (version == 2        ? bigEndian(header + 3, 3)
                    : version == 3 ? bigEndian(header + 4, 4)
                                   : v24FrameSize(header + 4));
        if (frameBytes > body.size() - at)
            return damaged(number + " runs past the end of the tag");
        result.frames.emplace_back(header, header + frameBytes);
        at += frameBytes;
    }
    return result;
}

} // namespace parvex
