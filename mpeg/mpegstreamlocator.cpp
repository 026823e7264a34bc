// SPDX-License-Identifier: GPL-3.0-or-later
// Finding the MPEG stream before handing a file to the frame scanner: the scanner itself
// resyncs through any junk and would "measure" a few chance frame headers inside a WAV or
// random bytes, so a file only counts as MPEG audio when frames chain from its start.
#include "mpegstreamlocator.h"

#include "filereader.h"
#include "mpegaudioheader.h"

#include <array>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <vector>

namespace parvex {

namespace {

// Encoders and taggers leave padding or junk between the tags and the first frame; more
// than this means the file is something else.
constexpr std::int64_t kJunkWindowBytes = 64 * 1024;
// Consecutive frames that must follow one another exactly. A chance header in random data
// has a probability near 2e-4 per byte; four in a chain are below 1e-14.
constexpr int kChainFrames = 4;

std::uint32_t bigEndian(const unsigned char* p)
{
    return (std::uint32_t { p[0] } << 24) | (std::uint32_t { p[1] } << 16)
        | (std::uint32_t { p[2] } << 8) | std::uint32_t { p[3] };
}

// ID3v2: "ID3", version, revision, flags, then a 28-bit size in 4 bytes of 7 bits that
// excludes the 10-byte header and the optional 10-byte footer (flag 0x10).
std::optional<std::int64_t> id3v2TagBytes(const unsigned char* p)
{
    if (std::memcmp(p, "ID3", 3) != 0 || p[3] == 0xFF || p[4] == 0xFF)
        return std::nullopt;
    if ((p[6] | p[7] | p[8] | p[9]) & 0x80)
        return std::nullopt;
    const std::int64_t size = (std::int64_t { p[6] } << 21) | (std::int64_t { p[7] } << 14)
        | (std::int64_t { p[8] } << 7) | std::int64_t { p[9] };
    return 10 + size + ((p[5] & 0x10) ? 10 : 0);
}

std::int64_t skipId3v2Tags(FileReader& reader)
{
    std::int64_t position = 0;
    std::array<unsigned char, 10> header {};
    while (reader.readAt(position, header.data(), header.size())) {
        const auto bytes = id3v2TagBytes(header.data());
        if (!bytes)
            break;
        position += *bytes;
    }
    return position;
}

// Containers whose payload may hold frame-like bytes (PCM, other codecs): never MPEG here.
bool isOtherContainer(const unsigned char* p)
{
    constexpr std::array<std::string_view, 7> kMagic { "RIFF", "RIFX", "OggS", "fLaC", "FORM",
        "\x1A\x45\xDF\xA3", "\x30\x26\xB2\x75" };
    for (const auto magic : kMagic) {
        if (std::memcmp(p, magic.data(), magic.size()) == 0)
            return true;
    }
    return std::memcmp(p + 4, "ftyp", 4) == 0;
}

bool framesChainFrom(FileReader& reader, std::int64_t position, const MpegAudioHeader& first)
{
    position += first.frameBytes;
    for (int i = 1; i < kChainFrames; ++i) {
        std::array<unsigned char, 4> bytes {};
        if (!reader.readAt(position, bytes.data(), bytes.size()))
            return false;
        const auto next = MpegAudioHeader::parse(bigEndian(bytes.data()));
        if (!next || !next->sameStream(first))
            return false;
        position += next->frameBytes;
    }
    return true;
}

} // namespace

std::optional<std::int64_t> FindMpegAudioStart(FileReader& reader)
{
    reader.setOrigin(0);
    const std::int64_t tagsEnd = skipId3v2Tags(reader);
    std::vector<unsigned char> window(static_cast<std::size_t>(kJunkWindowBytes + 8));
    if (reader.seek(tagsEnd, SEEK_SET) < 0)
        return std::nullopt;
    const std::int64_t got = reader.read(window.data(), window.size());
    if (got < 8 || isOtherContainer(window.data()))
        return std::nullopt;
    for (std::size_t i = 0; i + 4 <= static_cast<std::size_t>(got); ++i) {
        if (window[i] != 0xFF)
            continue;
        const auto header = MpegAudioHeader::parse(bigEndian(&window[i]));
        const std::int64_t position = tagsEnd + static_cast<std::int64_t>(i);
        if (header && framesChainFrom(reader, position, *header))
            return position;
    }
    return std::nullopt;
}

} // namespace parvex
