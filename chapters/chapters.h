// SPDX-License-Identifier: GPL-3.0-or-later
// A source's ID3v2 chapters (CHAP frames in a CTOC table), read and written.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace parvex {

// One chapter on the gapless timeline: the times a decoder that drops the encoder's delay and
// padding plays, in milliseconds.
struct Chapter
{
    std::int64_t startMs = 0;
    std::int64_t endMs = 0;
    std::string title; // UTF-8 (the chapter's TIT2); may be empty
};

struct ChapterReadResult
{
    std::vector<Chapter> chapters;
    std::string error; // a sentence when the file could not be read; empty otherwise
};

// The most chapters one table of contents lists: its entry count is a single byte.
inline constexpr std::size_t MaxChapters = 255;

// The CHAP frames of the ID3v2 tag that starts `path`: in the order of the top-level CTOC where
// there is one (nested tables followed in their place; entries naming no frame skipped), else
// sorted by start time. No tag, or a tag without chapters: an empty list and no error. Times as
// the frames hold them: an end before the start, or 0xFFFFFFFF ("not given" to some writers), is
// the caller's to judge. A damaged tag is an error (see SplitId3v2Frames), not a partial list.
ChapterReadResult ReadChapters(const std::string& path);

// Writes `outputPath` as a copy of `sourcePath` whose ID3v2 tag has one top-level ordered CTOC
// ("toc") and one CHAP per chapter ("chp0", "chp1", ...: start and end in ms, byte offsets
// 0xFFFFFFFF, a TIT2 where the title is not empty), after the source's other frames, which are
// kept byte for byte in the tag's version (v2.3 or v2.4; a v2.2 tag, which has no chapter
// frames, is converted to v2.4; no tag: a new v2.3 one); its old CHAP and CTOC frames are
// dropped. Everything after the source's ID3v2 tag (the audio, an ID3v1 or APE tag) is copied
// byte for byte. No chapters: the copy has none (and no CTOC). Refused: more than MaxChapters,
// a chapter that ends before it starts or lies past 0xFFFFFFFE ms, a damaged source tag.
// `outputPath` may be `sourcePath`; an existing output is replaced only when `replace` is true.
// The output appears complete or not at all (see OutputFile). Returns an empty string on
// success, else the sentence that says why nothing was written.
std::string WriteChapteredCopy(const std::string& sourcePath, const std::string& outputPath,
    const std::vector<Chapter>& chapters, bool replace);

} // namespace parvex
