// SPDX-License-Identifier: GPL-3.0-or-later
// The chaptered copy: new CHAP and CTOC frames, the source's other frames and every byte after
// its tag kept, and the refusals that leave everything as it was.
#include "chapterfixtures.h"
#include "chapters.h"
#include "mp3fixture.h"
#include "readat.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chapterframe.h>
#include <fstream>
#include <id3v2tag.h>
#include <mpegfile.h>
#include <tableofcontentsframe.h>
#include <unistd.h>

using namespace parvex;

namespace {

void expectChapters(const std::vector<Chapter>& read, const std::vector<Chapter>& expected)
{
    ASSERT_EQ(read.size(), expected.size());
    for (std::size_t i = 0; i < read.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(read[i].startMs, expected[i].startMs);
        EXPECT_EQ(read[i].endMs, expected[i].endMs);
        EXPECT_EQ(read[i].title, expected[i].title);
    }
}

std::string text(TagLib::ID3v2::Tag& tag, const char* id)
{
    const TagLib::ID3v2::FrameList& frames = tag.frameList(id);
    return frames.isEmpty() ? std::string() : frames.front()->toString().to8Bit(true);
}

std::string idOf(const TagLib::ByteVector& id)
{
    return std::string(id.data(), id.size());
}

const std::vector<Chapter> Three
    = { { 0, 1000, "Intro" }, { 1000, 2200, "Zwischenspiel — Ünïcødé 章" }, { 2200, 3000, "" } };

// lame's v2.3 tag gets three chapters, then the copy gets one in place of them.
TEST(ChapteredCopy, replacesTheChaptersAndKeepsTheRestOfTheSource)
{
    TempDir dir;
    const auto source = MakeTaggedMp3(dir, "source.mp3");
    const auto once = dir / "once.mp3";
    ASSERT_EQ(WriteChapteredCopy(source, once, Three, false), "");
    const ChapterReadResult read = ReadChapters(once);
    EXPECT_EQ(read.error, "");
    expectChapters(read.chapters, Three);
    EXPECT_EQ(AfterLeadingTag(ReadAll(once)), AfterLeadingTag(ReadAll(source)));
    {
        TagLib::MPEG::File file(once.c_str(), false);
        ASSERT_TRUE(file.hasID3v2Tag());
        TagLib::ID3v2::Tag& tag = *file.ID3v2Tag();
        EXPECT_EQ(tag.header()->majorVersion(), 3u);
        EXPECT_EQ(text(tag, "TIT2"), "Source title");
        EXPECT_EQ(text(tag, "TPE1"), "Source artist");
        ASSERT_EQ(tag.frameList("CTOC").size(), 1u);
        const auto* table
            = dynamic_cast<TagLib::ID3v2::TableOfContentsFrame*>(tag.frameList("CTOC").front());
        ASSERT_TRUE(table);
        EXPECT_EQ(idOf(table->elementID()), "toc");
        EXPECT_TRUE(table->isTopLevel());
        EXPECT_TRUE(table->isOrdered());
        std::vector<std::string> children;
        for (const auto& child : table->childElements())
            children.push_back(idOf(child));
        EXPECT_EQ(children, (std::vector<std::string> { "chp0", "chp1", "chp2" }));
        for (const auto* frame : tag.frameList("CHAP")) {
            const auto* chapter = dynamic_cast<const TagLib::ID3v2::ChapterFrame*>(frame);
            ASSERT_TRUE(chapter);
            EXPECT_EQ(chapter->startOffset(), 0xFFFFFFFFu);
            EXPECT_EQ(chapter->endOffset(), 0xFFFFFFFFu);
            // No empty TIT2 for a chapter without a title.
            EXPECT_EQ(
                chapter->embeddedFrameList("TIT2").isEmpty(), idOf(chapter->elementID()) == "chp2");
        }
    }

    const auto twice = dir / "twice.mp3";
    ASSERT_EQ(WriteChapteredCopy(once, twice, { { 0, 3000, "Whole" } }, false), "");
    expectChapters(ReadChapters(twice).chapters, { { 0, 3000, "Whole" } });
    EXPECT_EQ(AfterLeadingTag(ReadAll(twice)), AfterLeadingTag(ReadAll(source)));
    TagLib::MPEG::File file(twice.c_str(), false);
    ASSERT_TRUE(file.hasID3v2Tag());
    EXPECT_EQ(file.ID3v2Tag()->frameList("CHAP").size(), 1u);
    EXPECT_EQ(file.ID3v2Tag()->frameList("CTOC").size(), 1u);
    EXPECT_EQ(text(*file.ID3v2Tag(), "TPE1"), "Source artist");

    // No chapters: none left, and no table of contents without entries.
    const auto none = dir / "none.mp3";
    ASSERT_EQ(WriteChapteredCopy(twice, none, {}, false), "");
    TagLib::MPEG::File cleared(none.c_str(), false);
    ASSERT_TRUE(cleared.hasID3v2Tag());
    EXPECT_TRUE(cleared.ID3v2Tag()->frameList("CHAP").isEmpty());
    EXPECT_TRUE(cleared.ID3v2Tag()->frameList("CTOC").isEmpty());
    EXPECT_EQ(text(*cleared.ID3v2Tag(), "TIT2"), "Source title");
}

// A v2.4 tag stays v2.4; a source without a tag gets a v2.3 one in front of its bytes.
TEST(ChapteredCopy, keepsATagsVersionAndGivesAnUntaggedSourceV23)
{
    TempDir dir;
    std::string error;
    const auto bare = dir / "bare.mp3";
    ASSERT_TRUE(MakeMp3(bare, { 2.0, 44100, 1, { "-b", "128" } }, &error)) << error;
    ASSERT_EQ(LeadingTagBytes(ReadAll(bare)), 0);
    TagLib::ID3v2::Tag v24;
    v24.setTitle("Four");
    const auto four = dir / "four.mp3";
    WriteWithTag(four, v24, TagLib::ID3v2::v4, bare);

    for (const auto& [source, version] : { std::pair { bare, 3u }, std::pair { four, 4u } }) {
        SCOPED_TRACE(source.filename().string());
        const auto copy = dir / ("copy-" + source.filename().string());
        ASSERT_EQ(WriteChapteredCopy(source, copy, Three, false), "");
        expectChapters(ReadChapters(copy).chapters, Three);
        EXPECT_EQ(AfterLeadingTag(ReadAll(copy)), AfterLeadingTag(ReadAll(source)));
        TagLib::MPEG::File file(copy.c_str(), false);
        ASSERT_TRUE(file.hasID3v2Tag());
        EXPECT_EQ(file.ID3v2Tag()->header()->majorVersion(), version);
    }
}

// The output may be the source, replaced whole; without `replace` an existing output, the
// source included, is refused and stays as it was.
TEST(ChapteredCopy, replacesAnExistingOutputOnlyWhenAskedTo)
{
    TempDir dir;
    const auto source = MakeTaggedMp3(dir, "source.mp3");
    const std::vector<char> before = ReadAll(source);
    const auto other = dir / "other.mp3";
    MakePatternFile(other, 1000);
    const std::vector<char> otherBefore = ReadAll(other);

    EXPECT_EQ(WriteChapteredCopy(source, other, Three, false), "The output file already exists.");
    EXPECT_EQ(ReadAll(other), otherBefore);
    EXPECT_EQ(WriteChapteredCopy(source, source, Three, false), "The output file already exists.");
    EXPECT_EQ(ReadAll(source), before);

    ASSERT_EQ(WriteChapteredCopy(source, source, Three, true), "");
    expectChapters(ReadChapters(source).chapters, Three);
    EXPECT_EQ(AfterLeadingTag(ReadAll(source)), AfterLeadingTag(before));
    ASSERT_EQ(WriteChapteredCopy(source, other, Three, true), "");
    EXPECT_EQ(ReadAll(other), ReadAll(source));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2)
        << "no temporary file left";
}

// What one table of contents or a CHAP cannot hold, and a tag TagLib would write back wrong.
TEST(ChapteredCopy, refusesWhatItCannotWriteFaithfully)
{
    TempDir dir;
    const auto source = MakeTaggedMp3(dir, "source.mp3");
    const auto output = dir / "out.mp3";
    std::vector<Chapter> many;
    for (int i = 0; i < 256; ++i)
        many.push_back({ i * 10, i * 10 + 10, "c" + std::to_string(i) });
    EXPECT_EQ(WriteChapteredCopy(source, output, many, false),
        "There are 256 chapters; an ID3v2 table of contents lists at most 255.");
    many.pop_back();
    ASSERT_EQ(WriteChapteredCopy(source, output, many, false), "");
    expectChapters(ReadChapters(output).chapters, many);
    std::filesystem::remove(output);

    EXPECT_EQ(WriteChapteredCopy(source, output, { { 0, 10, "" }, { 20, 10, "" } }, false),
        "Chapter 2 ends before it starts.");
    EXPECT_EQ(WriteChapteredCopy(source, output, { { -1, 10, "" } }, false),
        "Chapter 1 lies outside the times an ID3v2 chapter can hold (0 to 4294967294 ms).");
    EXPECT_EQ(WriteChapteredCopy(source, output, { { 0, 0xFFFFFFFF, "" } }, false),
        "Chapter 1 lies outside the times an ID3v2 chapter can hold (0 to 4294967294 ms).");

    // A v2.3 tag of 16 bytes: a TXXX frame with its encryption flag (0x0040) and method byte.
    const std::string tag("ID3\x03\0\0\0\0\0\x10"
                          "TXXX\0\0\0\x06\0\x40\x80\0d\0v\0",
        26);
    std::vector<char> encrypted(tag.begin(), tag.end());
    const std::vector<char> audio = AfterLeadingTag(ReadAll(source));
    encrypted.insert(encrypted.end(), audio.begin(), audio.end());
    const auto secret = dir / "secret.mp3";
    WriteBytes(secret, encrypted);
    EXPECT_EQ(WriteChapteredCopy(secret, output, Three, false),
        "The ID3v2 tag at the start of the file has encrypted frames, which can not be written "
        "back as they are.");
    EXPECT_FALSE(std::filesystem::exists(output));
}

// Reads of the source as the copy makes them, one of which appends to the file or fails.
enum class ReadTrouble { Grows, Fails };
ReadTrouble g_trouble = ReadTrouble::Fails;
std::string g_source;

ssize_t troubledRead(int fd, void* buffer, std::size_t bytes, off_t offset)
{
    if (offset > 0) { // past the tag header: the copy of the audio
        if (g_trouble == ReadTrouble::Fails) {
            errno = EIO;
            return -1;
        }
        std::ofstream(g_source, std::ios::binary | std::ios::app).put('x');
    }
    return ::pread(fd, buffer, bytes, offset);
}

// A source that cannot be read to its end, or that changes while it is copied, gives no output.
TEST(ChapteredCopy, writesNothingFromASourceThatFailsOrChanges)
{
    TempDir dir;
    const auto source = MakeTaggedMp3(dir, "source.mp3");
    g_source = source.string();
    const auto output = dir / "out.mp3";
    const std::pair<ReadTrouble, const char*> troubles[] = {
        { ReadTrouble::Fails, "The mp3 file could not be read: Input/output error." },
        { ReadTrouble::Grows, "The mp3 file changed while it was copied; nothing was written." },
    };
    for (const auto& [trouble, message] : troubles) {
        g_trouble = trouble;
        SetReadAtForTesting(troubledRead);
        const std::string error = WriteChapteredCopy(source, output, Three, false);
        SetReadAtForTesting(nullptr);
        EXPECT_EQ(error, message);
        EXPECT_FALSE(std::filesystem::exists(output));
    }
}

} // namespace
