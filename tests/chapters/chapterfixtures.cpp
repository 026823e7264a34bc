// SPDX-License-Identifier: GPL-3.0-or-later
// Sources for the chapter tests, encoded and tagged at test time.
#include "chapterfixtures.h"

#include <gtest/gtest.h>

#include <chapterframe.h>
#include <fstream>
#include <textidentificationframe.h>

namespace parvex {

std::filesystem::path MakeTaggedMp3(const TempDir& dir, const std::string& name)
{
    const auto path = dir / name;
    std::string error;
    EXPECT_TRUE(MakeMp3(path,
        { 3.0, 44100, 1,
            { "-b", "128", "--add-id3v2", "--tt", "Source title", "--ta", "Source artist" } },
        &error))
        << error;
    return path;
}

std::int64_t LeadingTagBytes(const std::vector<char>& file)
{
    if (file.size() < 10 || std::string(file.data(), 3) != "ID3")
        return 0;
    std::int64_t size = 0;
    for (std::size_t i = 6; i < 10; ++i)
        size = (size << 7) | (static_cast<unsigned char>(file[i]) & 0x7f);
    const bool footer = file[3] == 4 && (file[5] & 0x10);
    return 10 + size + (footer ? 10 : 0);
}

std::vector<char> AfterLeadingTag(const std::vector<char>& file)
{
    return { file.begin() + LeadingTagBytes(file), file.end() };
}

void WriteBytes(const std::filesystem::path& path, const std::vector<char>& bytes)
{
    std::ofstream(path, std::ios::binary).write(bytes.data(), std::ssize(bytes));
}

namespace {

void appendSize(std::vector<char>& bytes, std::size_t size, int bitsPerByte)
{
    for (int shift = 3 * bitsPerByte; shift >= 0; shift -= bitsPerByte)
        bytes.push_back(static_cast<char>((size >> shift) & ((1u << bitsPerByte) - 1)));
}

} // namespace

std::vector<char> Id3v2Frame(
    unsigned version, const std::string& id, const std::string& data, unsigned flags)
{
    std::vector<char> frame(id.begin(), id.end());
    appendSize(frame, data.size(), version == 4 ? 7 : 8);
    frame.push_back(static_cast<char>(flags >> 8));
    frame.push_back(static_cast<char>(flags & 0xff));
    frame.insert(frame.end(), data.begin(), data.end());
    return frame;
}

std::vector<char> Id3v2Tag(unsigned version, unsigned flags, const std::vector<char>& body)
{
    std::vector<char> tag
        = { 'I', 'D', '3', static_cast<char>(version), 0, static_cast<char>(flags) };
    appendSize(tag, body.size(), 7);
    tag.insert(tag.end(), body.begin(), body.end());
    return tag;
}

void WriteWithTagBytes(
    const std::filesystem::path& path, std::vector<char> tag, const std::filesystem::path& mp3)
{
    const std::vector<char> audio = AfterLeadingTag(ReadAll(mp3));
    tag.insert(tag.end(), audio.begin(), audio.end());
    WriteBytes(path, tag);
}

void WriteWithTag(const std::filesystem::path& path, const TagLib::ID3v2::Tag& tag,
    TagLib::ID3v2::Version version, const std::filesystem::path& mp3)
{
    const TagLib::ByteVector rendered = tag.render(version);
    WriteWithTagBytes(path, { rendered.begin(), rendered.end() }, mp3);
}

void AddChapter(TagLib::ID3v2::Tag& tag, const std::string& id, unsigned startMs, unsigned endMs,
    const std::string& title)
{
    auto* chapter = new TagLib::ID3v2::ChapterFrame(
        TagLib::ByteVector(id.data(), static_cast<unsigned>(id.size())), startMs, endMs, 0xFFFFFFFF,
        0xFFFFFFFF);
    auto* text = new TagLib::ID3v2::TextIdentificationFrame("TIT2", TagLib::String::UTF8);
    text->setText(TagLib::String(title, TagLib::String::UTF8));
    chapter->addEmbeddedFrame(text);
    tag.addFrame(chapter);
}

} // namespace parvex
