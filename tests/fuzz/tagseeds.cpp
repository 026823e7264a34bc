// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the sourcetags fuzz target's seed corpus into the folder given as the only argument:
// ID3v2.2, 2.3 and 2.4 tags with a picture, a title outside Latin-1, chapters, timed frames
// and ReplayGain values, some followed by an ID3v1 tag, one cut inside the tag, and a lame
// encoding tagged by lame itself.
#include "mp3fixture.h"

#include <attachedpictureframe.h>
#include <chapterframe.h>
#include <cstdio>
#include <eventtimingcodesframe.h>
#include <filesystem>
#include <fstream>
#include <id3v2tag.h>
#include <relativevolumeframe.h>
#include <string>
#include <synchronizedlyricsframe.h>
#include <tableofcontentsframe.h>
#include <textidentificationframe.h>
#include <vector>

using namespace parvex;

namespace fs = std::filesystem;
using namespace TagLib;

namespace {

// A picture small enough to keep each seed a few KB: libFuzzer's inputs stay fast.
ByteVector picture()
{
    ByteVector bytes("\x89PNG\r\n\x1a\n", 8);
    for (unsigned i = 0; i < 1024; ++i)
        bytes.append(static_cast<char>((i * 2654435761u) >> 24));
    return bytes;
}

void addFrames(ID3v2::Tag& tag)
{
    tag.setTitle(String("Кошка 猫", String::UTF8));
    tag.setArtist("Parvex");
    tag.setTrack(3);
    auto* cover = new ID3v2::AttachedPictureFrame;
    cover->setMimeType("image/png");
    cover->setPicture(picture());
    tag.addFrame(cover);
    tag.addFrame(new ID3v2::ChapterFrame("ch1", 0, 500, 0xFFFFFFFF, 0xFFFFFFFF));
    ByteVectorList chapters;
    chapters.append("ch1");
    tag.addFrame(new ID3v2::TableOfContentsFrame("toc", chapters));
    tag.addFrame(new ID3v2::EventTimingCodesFrame);
    tag.addFrame(new ID3v2::SynchronizedLyricsFrame);
    tag.addFrame(new ID3v2::RelativeVolumeFrame);
    tag.addFrame(new ID3v2::UserTextIdentificationFrame("REPLAYGAIN_TRACK_GAIN", { "-3 dB" }));
    tag.addFrame(new ID3v2::UserTextIdentificationFrame("replaygain_album_gain", { "-4 dB" }));
    tag.addFrame(new ID3v2::TextIdentificationFrame("TLEN", String::Latin1));
}

std::string rendered(ID3v2::Version version)
{
    ID3v2::Tag tag;
    addFrames(tag);
    const ByteVector bytes = tag.render(version);
    return { bytes.data(), bytes.size() };
}

// TagLib writes no ID3v2.2: a title frame by hand (3-byte id, 3-byte size, Latin-1).
std::string v22()
{
    const std::string frame = std::string("TT2\0\0\x06\0Title", 12);
    return std::string("ID3\x02\0\0\0\0\0", 9) + static_cast<char>(frame.size()) + frame;
}

std::string id3v1()
{
    std::string tag(128, '\0');
    tag.replace(0, 8, "TAGTitle");
    tag[127] = '\x0C';
    return tag;
}

void write(const fs::path& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
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
    const std::string v23 = rendered(ID3v2::v3);
    const std::string v24 = rendered(ID3v2::v4);
    write(folder / "v23-utf16-picture-chapters-id3v1", v23 + id3v1());
    write(folder / "v24-utf8-picture-chapters", v24);
    write(folder / "v24-cut-in-tag", v24.substr(0, v24.size() / 2));
    write(folder / "v22-title-id3v1", v22() + id3v1());

    const fs::path cover = folder / "cover.png";
    const ByteVector png = picture();
    write(cover, { png.data(), png.size() });
    const fs::path encoded = folder / "lame-v23-picture-id3v1";
    std::string error;
    const bool made = MakeMp3(encoded,
        { 0.2, 8000, 1,
            { "-b", "8", "--add-id3v2", "--tt", "Seed", "--tn", "2/5", "--ti", cover.string() } },
        &error);
    fs::remove(cover);
    if (!made) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    return 0;
}
