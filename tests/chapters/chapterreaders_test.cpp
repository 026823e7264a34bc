// SPDX-License-Identifier: GPL-3.0-or-later
// A chaptered copy as other readers see it: mutagen (taggers, music libraries) and ffprobe
// (players built on FFmpeg).
#include "chapterfixtures.h"
#include "chapters.h"
#include "mp3fixture.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <unistd.h>

using namespace parvex;

namespace {

// What `command` printed on stdout and its exit status.
std::pair<std::string, int> run(const std::string& command)
{
    std::FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return { {}, -1 };
    std::string output;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe))
        output += buffer;
    return { output, ::pclose(pipe) };
}

const std::vector<Chapter> Chapters
    = { { 0, 1250, "Opening" }, { 1250, 2400, "Über — 章" }, { 2400, 3000, "" } };

// Debian's python3-mutagen (scripts/install-deps) with Debian's own interpreter: one line for the
// table (ID, flags: 3 = top level and ordered, children) and one per chapter (ID, ms, title).
TEST(ChapteredCopyReaders, mutagenListsTheTableAndTheChapters)
{
    TempDir dir;
    const auto copy = dir / "copy.mp3";
    ASSERT_EQ(WriteChapteredCopy(MakeTaggedMp3(dir, "source.mp3"), copy, Chapters, false), "");
    const std::string script = "import sys, mutagen.id3 as m\n"
                               "t = m.ID3(sys.argv[1])\n"
                               "for f in t.getall('CTOC'):\n"
                               "  print('CTOC', f.element_id, int(f.flags), *f.child_element_ids)\n"
                               "for f in t.getall('CHAP'):\n"
                               "  n = f.sub_frames.get('TIT2')\n"
                               "  print('CHAP', f.element_id, f.start_time, f.end_time,\n"
                               "        hex(f.start_offset), hex(f.end_offset),\n"
                               "        n.text[0] if n else '-')\n"
                               "print('version', t.version[1])\n";
    const auto [output, status] = run("PYTHONIOENCODING=utf-8 /usr/bin/python3 -c \"" + script
        + "\" '" + copy.string() + "' 2>&1");
    ASSERT_EQ(status, 0) << "python3-mutagen (scripts/install-deps): " << output;
    EXPECT_EQ(output,
        "CTOC toc 3 chp0 chp1 chp2\n"
        "CHAP chp0 0 1250 0xffffffff 0xffffffff Opening\n"
        "CHAP chp1 1250 2400 0xffffffff 0xffffffff Über — 章\n"
        "CHAP chp2 2400 3000 0xffffffff 0xffffffff -\n"
        "version 3\n");
}

// ffprobe comes with ffmpeg (scripts/install-deps), as podcast tools read chapters with it.
TEST(ChapteredCopyReaders, ffprobeShowsTheChapters)
{
    if (run("command -v ffprobe >/dev/null 2>&1").second != 0)
        FAIL() << "ffprobe (ffmpeg, scripts/install-deps) is not installed";
    TempDir dir;
    const auto copy = dir / "copy.mp3";
    ASSERT_EQ(WriteChapteredCopy(MakeTaggedMp3(dir, "source.mp3"), copy, Chapters, false), "");
    // Start and end in the chapters' time base, 1/1000 for ID3v2 chapters; FFmpeg shows a
    // chapter without a TIT2 by its element ID.
    const auto [output, status] = run("ffprobe -v error -show_entries "
                                      "chapter=time_base,start,end:chapter_tags=title -of csv=p=0 '"
        + copy.string() + "' 2>&1");
    ASSERT_EQ(status, 0) << output;
    EXPECT_EQ(output,
        "1/1000,0,1250,Opening\n"
        "1/1000,1250,2400,Über — 章\n"
        "1/1000,2400,3000,chp2\n");
}

} // namespace
