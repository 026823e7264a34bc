// SPDX-License-Identifier: GPL-3.0-or-later
// The chaptered copy: new CHAP and CTOC frames, the source's other frames and every byte after
// its tag kept, and the refusals that leave everything as it was.
#include "chapterfixtures.h"
#include "chapters.h"
#include "mp3fixture.h"
#include "readat.h"

#include <gtest/gtest.h>

#include <algorithm>
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

// A v2.4 tag stays v2.4; a source without a tag gets a v2.3 one in front of its bytes, and
// one with a v2.2 tag (which has no chapter frames) gets its frames as TagLib makes them v2.4.
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

    const auto two = dir / "two.mp3";
    WriteWithTagBytes(two,
        { 'I', 'D', '3', 2, 0, 0, 0, 0, 0, 12, 'T', 'T', '2', 0, 0, 6, 0, 'T', 'i', 't', 'l', 'e' },
        bare);

    for (const auto& [source, version] :
        { std::pair { bare, 3u }, std::pair { four, 4u }, std::pair { two, 4u } }) {
        SCOPED_TRACE(source.filename().string());
        const auto copy = dir / ("copy-" + source.filename().string());
        ASSERT_EQ(WriteChapteredCopy(source, copy, Three, false), "");
        expectChapters(ReadChapters(copy).chapters, Three);
        EXPECT_EQ(AfterLeadingTag(ReadAll(copy)), AfterLeadingTag(ReadAll(source)));
        TagLib::MPEG::File file(copy.c_str(), false);
        ASSERT_TRUE(file.hasID3v2Tag());
        EXPECT_EQ(file.ID3v2Tag()->header()->majorVersion(), version);
        if (source == two) {
            EXPECT_EQ(text(*file.ID3v2Tag(), "TIT2"), "Title");
        }
    }
}

// Where `part` first occurs in `bytes` at or after `from`; npos when it does not.
std::size_t find(const std::vector<char>& bytes, const std::vector<char>& part, std::size_t from)
{
    const auto at = std::search(
        bytes.begin() + static_cast<std::ptrdiff_t>(from), bytes.end(), part.begin(), part.end());
    return at == bytes.end() ? std::string::npos : static_cast<std::size_t>(at - bytes.begin());
}

std::vector<char> unsynchronised(const std::vector<char>& bytes)
{
    std::vector<char> out;
    for (const char byte : bytes) {
        out.push_back(byte);
        if (static_cast<unsigned char>(byte) == 0xff)
            out.push_back(0);
    }
    return out;
}

std::vector<char> joined(std::initializer_list<std::vector<char>> parts)
{
    std::vector<char> bytes;
    for (const auto& part : parts)
        bytes.insert(bytes.end(), part.begin(), part.end());
    return bytes;
}

// Frames TagLib would drop (RVAD has no v2.4 form; it stops at an empty frame; it misplaces
// the frames after a v2.3 extended header and loses the last after a v2.4 one, taglib#1081) or
// write back wrong (an encrypted frame loses its flag) are copied as the source wrote them, in
// its order, a v2.3 tag's unsynchronisation undone; only the old chapter frames go.
TEST(ChapteredCopy, keepsEveryOtherFrameAsTheSourceWroteIt)
{
    TempDir dir;
    const auto mp3 = MakeTaggedMp3(dir, "source.mp3");
    const auto rvad = Id3v2Frame(3, "RVAD", std::string("\x03\x10", 2) + std::string(8, '\x7f'));
    const auto empty = Id3v2Frame(3, "TCOM", "");
    const auto secret = Id3v2Frame(3, "TXXX", std::string("\x80\0d\0v\0", 6), 0x0040);
    const auto title3 = Id3v2Frame(3, "TIT2", std::string("\0Title\0", 7));
    const auto artist3 = Id3v2Frame(3, "TPE1", std::string("\0Wh\xff\xe0\0", 6));
    const auto oldChapter = Id3v2Frame(3, "CHAP", std::string("old\0", 4) + std::string(16, '\0'));
    const auto oldTable = Id3v2Frame(3, "CTOC", std::string("t\0\x03\x01old\0", 9));
    const std::vector<char> extended3 = { 0, 0, 0, 6, 0, 0, 0, 0, 0, 0 };
    const auto title4 = Id3v2Frame(4, "TIT2", std::string("\x03Title\0", 7));
    const auto artist4 = Id3v2Frame(4, "TPE1", std::string("\x03Who\0", 5));
    const std::vector<char> extended4 = { 0, 0, 0, 6, 1, 0 };
    const auto plainSized = Id3v2Frame(3, "TXXX", std::string("\3x\0", 3) + std::string(197, 'y'));
    std::vector<char> footed = Id3v2Tag(4, 0x50, joined({ extended4, title4, artist4 }));
    footed.insert(footed.end(), { '3', 'D', 'I' });
    footed.insert(footed.end(), footed.begin() + 3, footed.begin() + 10);

    struct Case
    {
        const char* name;
        std::vector<char> tag;
        std::vector<std::vector<char>> kept;
    };
    const Case cases[] = {
        { "v23-frames-taglib-drops",
            Id3v2Tag(3, 0,
                joined(
                    { rvad, oldChapter, empty, secret, oldTable, title3, std::vector<char>(64) })),
            { rvad, empty, secret, title3 } },
        { "v23-unsynchronised-extended",
            Id3v2Tag(3, 0xc0, unsynchronised(joined({ extended3, title3, artist3 }))),
            { title3, artist3 } },
        { "v24-extended-footer", footed, { title4, artist4 } },
        // Some taggers wrote v2.4 frame sizes as plain integers; 200 has its high bit set.
        { "v24-plain-frame-size", Id3v2Tag(4, 0, joined({ plainSized, artist4 })),
            { plainSized, artist4 } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto source = dir / (std::string(c.name) + ".mp3");
        WriteWithTagBytes(source, c.tag, mp3);
        const auto copy = dir / (std::string(c.name) + "-copy.mp3");
        ASSERT_EQ(WriteChapteredCopy(source, copy, Three, false), "");
        const std::vector<char> bytes = ReadAll(copy);
        EXPECT_EQ(bytes[3], c.tag[3]);
        EXPECT_EQ(bytes[5], 0) << "no flags: no unsynchronisation, extended header or footer";
        std::size_t at = 10;
        for (const auto& frame : c.kept) {
            at = find(bytes, frame, at);
            ASSERT_NE(at, std::string::npos) << std::string(frame.data(), 4);
            EXPECT_LT(at + frame.size(), static_cast<std::size_t>(LeadingTagBytes(bytes)));
        }
        expectChapters(ReadChapters(copy).chapters, Three);
        EXPECT_EQ(AfterLeadingTag(bytes), AfterLeadingTag(ReadAll(source)));
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

// What one table of contents or a CHAP cannot hold.
TEST(ChapteredCopy, refusesWhatATagCannotHold)
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
