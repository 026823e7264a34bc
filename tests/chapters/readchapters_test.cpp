// SPDX-License-Identifier: GPL-3.0-or-later
// Reading a source's chapters: which order, which are left out, and what cannot be read.
#include "chapterfixtures.h"
#include "chapters.h"
#include "mp3fixture.h"

#include <gtest/gtest.h>

#include <id3v2tag.h>
#include <tableofcontentsframe.h>

using namespace parvex;

namespace {

std::vector<std::string> titles(const ChapterReadResult& read)
{
    EXPECT_EQ(read.error, "");
    std::vector<std::string> titles;
    for (const Chapter& chapter : read.chapters)
        titles.push_back(chapter.title + "@" + std::to_string(chapter.startMs));
    return titles;
}

TagLib::ByteVectorList ids(std::initializer_list<const char*> names)
{
    TagLib::ByteVectorList list;
    for (const char* name : names)
        list.append(name);
    return list;
}

// A top-level table orders its chapters, nested tables in their place; entries naming nothing,
// chapters it does not list and a loop back to itself are left out. Without a top-level table
// the chapters come by start time.
TEST(ReadChapters, followsTheTopLevelTableElseStartTimes)
{
    TempDir dir;
    const auto mp3 = MakeTaggedMp3(dir, "source.mp3");
    EXPECT_TRUE(titles(ReadChapters(mp3)).empty());

    TagLib::ID3v2::Tag tag;
    tag.setTitle("Album");
    AddChapter(tag, "c", 2000, 3000, "C");
    AddChapter(tag, "a", 0, 1000, "A");
    AddChapter(tag, "b", 1000, 2000, "B");
    AddChapter(tag, "unlisted", 3000, 4000, "U");
    const auto unordered = dir / "unordered.mp3";
    WriteWithTag(unordered, tag, TagLib::ID3v2::v4, mp3);
    EXPECT_EQ(titles(ReadChapters(unordered)),
        (std::vector<std::string> { "A@0", "B@1000", "C@2000", "U@3000" }));

    auto* top = new TagLib::ID3v2::TableOfContentsFrame("top", ids({ "c", "missing", "part" }));
    top->setIsTopLevel(true);
    tag.addFrame(top);
    tag.addFrame(new TagLib::ID3v2::TableOfContentsFrame("part", ids({ "a", "top", "b", "a" })));
    for (const auto version : { TagLib::ID3v2::v3, TagLib::ID3v2::v4 }) {
        const auto tabled = dir / ("tabled" + std::to_string(version) + ".mp3");
        WriteWithTag(tabled, tag, version, mp3);
        EXPECT_EQ(
            titles(ReadChapters(tabled)), (std::vector<std::string> { "C@2000", "A@0", "B@1000" }));
    }
}

std::vector<char> twoFrames(std::vector<char> first, const std::vector<char>& second)
{
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

// The first `size` bytes of `bytes`.
std::vector<char> cut(std::vector<char> bytes, std::size_t size)
{
    bytes.resize(size);
    return bytes;
}

// Files that cannot be read give a sentence and no chapters, and the writer refuses them before
// it creates anything; a file that does not start with "ID3" simply has no chapters.
TEST(ReadChapters, explainsWhatItCannotRead)
{
    TempDir dir;
    const auto mp3 = MakeTaggedMp3(dir, "source.mp3");
    const std::vector<char> audio = AfterLeadingTag(ReadAll(mp3));
    const auto withHeader = [&](std::vector<char> header) { // and audio after it
        header.insert(header.end(), audio.begin(), audio.end());
        return header;
    };
    struct Case
    {
        const char* name;
        std::vector<char> bytes;
        std::string error;
    };
    const Case cases[] = {
        { "size-not-synchsafe", withHeader({ 'I', 'D', '3', 3, 0, 0, 0, 0, 1, char(0x80) }),
            "The ID3v2 tag at the start of the file is damaged: its size is not valid." },
        { "past-the-end", withHeader({ 'I', 'D', '3', 4, 0, 0, 0x7f, 0x7f, 0x7f, 0x7f }),
            "The ID3v2 tag at the start of the file is damaged: it runs past the end of the "
            "file." },
        { "version-5", withHeader({ 'I', 'D', '3', 5, 0, 0, 0, 0, 0, 10 }),
            "The file starts with an ID3v2.5 tag, which can not be read." },
        { "frame-without-valid-id",
            withHeader(Id3v2Tag(3, 0,
                twoFrames(
                    Id3v2Frame(3, "TIT2", std::string("\0T", 2)), Id3v2Frame(3, "tst1", "x")))),
            "The ID3v2 tag at the start of the file is damaged: frame 2 has no valid ID." },
        { "frame-past-the-end",
            withHeader(Id3v2Tag(4, 0,
                twoFrames(Id3v2Frame(4, "TIT2", std::string("\0T", 2)),
                    cut(Id3v2Frame(4, "TPE1", std::string(200, 'x')), 20)))),
            "The ID3v2 tag at the start of the file is damaged: frame 2 runs past the end of the "
            "tag." },
        { "extended-header-size",
            withHeader(Id3v2Tag(3, 0x40, { 0, 0, 0, 7, 0, 0, 0, 0, 0, 0, 0 })),
            "The ID3v2 tag at the start of the file is damaged: its extended header is not "
            "valid." },
        { "no-tag", audio, "" },
        { "three-bytes", { 'I', 'D', '3' }, "" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto path = dir / c.name;
        WriteBytes(path, c.bytes);
        const ChapterReadResult read = ReadChapters(path);
        EXPECT_EQ(read.error, c.error);
        EXPECT_TRUE(read.chapters.empty());
        if (!c.error.empty()) {
            EXPECT_EQ(WriteChapteredCopy(path, dir / "out.mp3", { { 0, 1, "" } }, false), c.error);
            EXPECT_FALSE(std::filesystem::exists(dir / "out.mp3"));
        }
    }

    EXPECT_EQ(ReadChapters(dir.path()).error, "The mp3 file is not a regular file.");
    EXPECT_EQ(ReadChapters(dir / "missing.mp3").error,
        "The mp3 file could not be opened: No such file or directory.");
}

} // namespace
