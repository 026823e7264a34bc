// SPDX-License-Identifier: GPL-3.0-or-later
// Source files for the exact-cut tests and libmpg123's view of them.
#pragma once

#include "mp3fixture.h"
#include "pieceplan.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace parvex {

// One kind of LAME-made source: the settings exact cuts must serve.
struct SourceKind
{
    std::string name;
    Mp3Options options;
    bool vbr = false;
    bool hasInfoFrame = true;
};

const std::vector<SourceKind>& SourceKinds();

// What libmpg123 reports after a full scan: the offset of every frame it decodes (the
// Xing/Info frame is not one), the LAME tag's delay and padding (-1 when unknown) and the
// gapless length in samples.
struct Mpg123View
{
    std::vector<std::int64_t> frameOffsets;
    long delay = -1;
    long padding = -1;
    std::int64_t samples = -1;
};

Mpg123View ScanWithMpg123(const std::filesystem::path& path);

// libmpg123's gapless decode as interleaved 16-bit samples; empty if it cannot decode.
std::vector<std::int16_t> DecodeGapless(const std::filesystem::path& path);

void WriteBytes(const std::filesystem::path& path, const std::vector<char>& bytes);

// A decoder of a whole file to interleaved 16-bit samples: DecodeGapless or DecodeWithGStreamer.
using Decoder = std::vector<std::int16_t> (*)(const std::filesystem::path&);

// The decodes of `pieces`, one after the other.
std::vector<std::int16_t> DecodeJoined(
    const std::vector<std::filesystem::path>& pieces, Decoder decode);

// Writes each of `pieces` of `source` (which `index` was made from) with WritePiece into
// `folder` as piece-0.mp3, piece-1.mp3, ...; the paths, or none if one could not be written.
std::vector<std::filesystem::path> WritePlannedPieces(const StreamIndex& index,
    const std::vector<PiecePlan>& pieces, const std::filesystem::path& source,
    const std::filesystem::path& folder);

} // namespace parvex
