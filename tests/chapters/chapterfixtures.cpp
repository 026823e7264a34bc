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

void WriteWithTag(const std::filesystem::path& path, const TagLib::ID3v2::Tag& tag,
    TagLib::ID3v2::Version version, const std::filesystem::path& mp3)
{
    const TagLib::ByteVector rendered = tag.render(version);
    std::vector<char> bytes(rendered.begin(), rendered.end());
    const std::vector<char> audio = AfterLeadingTag(ReadAll(mp3));
    bytes.insert(bytes.end(), audio.begin(), audio.end());
    WriteBytes(path, bytes);
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
