// Source files for the exact-cut tests and libmpg123's view of them.
#pragma once

#include "mp3fixture.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

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
