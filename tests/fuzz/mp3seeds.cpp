// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the mp3probe fuzz target's seed corpus into the folder given as the only argument:
// short lame encodings of each MPEG version, CBR and VBR, tagged, and truncated.
#include "mp3fixture.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

using namespace parvex;

namespace fs = std::filesystem;

namespace {

struct Seed
{
    std::string name;
    int sampleRate = 44100;
    int channels = 1;
    std::vector<std::string> lameArgs;
};

// Half a second keeps each seed under 10 KB, so libFuzzer's inputs stay short and fast; that
// is still a dozen frames or more, past the locator's chain of four.
constexpr double kSeconds = 0.5;

const std::vector<Seed> kSeeds {
    { "mpeg1-cbr128-stereo", 44100, 2, { "-b", "128" } },
    { "mpeg1-vbr-48k", 48000, 1, { "-V", "2" } },
    { "mpeg1-cbr64-32k-noinfo", 32000, 1, { "-b", "64", "-t" } },
    { "mpeg2-cbr64-22k", 22050, 1, { "-b", "64" } },
    { "mpeg2-vbr-24k-stereo", 24000, 2, { "-V", "5" } },
    { "mpeg2-cbr32-16k-noinfo", 16000, 1, { "-b", "32", "-t" } },
    { "mpeg25-cbr32-11k", 11025, 1, { "-b", "32" } },
    { "mpeg25-vbr-8k", 8000, 1, { "-V", "7" } },
    { "mpeg25-cbr16-12k-noinfo", 12000, 1, { "-b", "16", "-t" } },
    { "id3v2-id3v1", 44100, 1,
        { "-b", "96", "--add-id3v2", "--pad-id3v2-size", "64", "--tt", "Seed", "--ta", "Parvex" } },
    { "id3v2-only-vbr", 22050, 1, { "-V", "4", "--id3v2-only", "--tt", "Seed" } },
    { "id3v1-only", 32000, 1, { "-b", "48", "--id3v1-only", "--tt", "Seed" } },
};

std::vector<char> littleEndian32(std::uint32_t value)
{
    return { static_cast<char>(value & 0xFF), static_cast<char>((value >> 8) & 0xFF),
        static_cast<char>((value >> 16) & 0xFF), static_cast<char>((value >> 24) & 0xFF) };
}

void append(std::vector<char>& out, const std::vector<char>& bytes)
{
    out.insert(out.end(), bytes.begin(), bytes.end());
}

// An APEv2 tag with a header, one "Title" item and a footer (flags: bit 31 has a header, bit
// 29 this is the header).
std::vector<char> apeTag()
{
    std::vector<char> item;
    const std::string key = "Title";
    const std::string value = "Seed";
    append(item, littleEndian32(static_cast<std::uint32_t>(value.size())));
    append(item, littleEndian32(0));
    item.insert(item.end(), key.begin(), key.end());
    item.push_back('\0');
    item.insert(item.end(), value.begin(), value.end());
    const auto sizeWithFooter = static_cast<std::uint32_t>(item.size() + 32);
    const auto block = [&](std::uint32_t flags) {
        std::vector<char> b { 'A', 'P', 'E', 'T', 'A', 'G', 'E', 'X' };
        append(b, littleEndian32(2000));
        append(b, littleEndian32(sizeWithFooter));
        append(b, littleEndian32(1));
        append(b, littleEndian32(flags));
        b.resize(b.size() + 8, '\0');
        return b;
    };
    std::vector<char> tag = block(0xA0000000u);
    append(tag, item);
    append(tag, block(0x80000000u));
    return tag;
}

void write(const fs::path& path, const std::vector<char>& bytes, std::size_t length)
{
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(std::min(length, bytes.size())));
}

// The seeds made from one encoding: whole, cut mid-frame, and for the id3v1 one an APE tag
// placed before the ID3v1 tag as taggers do.
void writeVariants(const fs::path& folder, const Seed& seed, const std::vector<char>& mp3)
{
    write(folder / (seed.name + ".mp3"), mp3, mp3.size());
    write(folder / (seed.name + "-cut.mp3"), mp3, mp3.size() * 2 / 5 + 3);
    if (seed.name == "id3v1-only") {
        std::vector<char> tagged(mp3.begin(), mp3.end() - 128);
        append(tagged, apeTag());
        tagged.insert(tagged.end(), mp3.end() - 128, mp3.end());
        write(folder / "ape-id3v1.mp3", tagged, tagged.size());
    }
    if (seed.name == "id3v2-id3v1")
        write(folder / "id3v2-cut-in-tag.mp3", mp3, 40);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    const fs::path folder = argv[1];
    fs::create_directories(folder);
    for (const auto& seed : kSeeds) {
        const fs::path encoded = folder / (seed.name + ".lame");
        std::string error;
        if (!MakeMp3(
                encoded, { kSeconds, seed.sampleRate, seed.channels, seed.lameArgs }, &error)) {
            std::fprintf(stderr, "%s: %s\n", seed.name.c_str(), error.c_str());
            return 1;
        }
        writeVariants(folder, seed, ReadAll(encoded));
        fs::remove(encoded);
    }
    return 0;
}
