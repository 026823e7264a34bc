// SPDX-License-Identifier: GPL-3.0-or-later
// Sources for the chapter tests: lame MP3s with an ID3v2.3 and an ID3v1 tag, and tags built
// with TagLib in front of their audio.
#pragma once

#include "chapters.h"
#include "mp3fixture.h"

#include <cstdint>
#include <filesystem>
#include <id3v2tag.h>
#include <string>
#include <vector>

namespace parvex {

// lame's ID3v2.3 tag (TSSE, TIT2 "Source title", TPE1 "Source artist", TLEN), 3 s of mono
// audio with its Xing frame, and an ID3v1 tag; the test fails where lame does.
std::filesystem::path MakeTaggedMp3(const TempDir& dir, const std::string& name);

// The bytes of the ID3v2 tag that starts `file`, from its header (0 when none), footer included.
std::int64_t LeadingTagBytes(const std::vector<char>& file);
// Everything after that tag.
std::vector<char> AfterLeadingTag(const std::vector<char>& file);

void WriteBytes(const std::filesystem::path& path, const std::vector<char>& bytes);

// `tag` rendered in `version`, then what follows the leading tag of `mp3`, as a new file.
void WriteWithTag(const std::filesystem::path& path, const TagLib::ID3v2::Tag& tag,
    TagLib::ID3v2::Version version, const std::filesystem::path& mp3);

// Hand-made tags, for what TagLib does not write: a frame of a v2.3 (plain size) or v2.4
// (synchsafe size) tag with `flags`, and a whole tag around `body` (frames, padding, extended
// header as they are; the size is body's).
std::vector<char> Id3v2Frame(
    unsigned version, const std::string& id, const std::string& data, unsigned flags = 0);
std::vector<char> Id3v2Tag(unsigned version, unsigned flags, const std::vector<char>& body);
// `tag`, then what follows the leading tag of `mp3`, as a new file.
void WriteWithTagBytes(
    const std::filesystem::path& path, std::vector<char> tag, const std::filesystem::path& mp3);

// A CHAP `id` with a TIT2 `title`, added to `tag`, which owns it.
void AddChapter(TagLib::ID3v2::Tag& tag, const std::string& id, unsigned startMs, unsigned endMs,
    const std::string& title);

} // namespace parvex
