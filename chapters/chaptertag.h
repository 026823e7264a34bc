// SPDX-License-Identifier: GPL-3.0-or-later
// Chapters in and out of an ID3v2 tag held in memory: TagLib's CHAP and CTOC frames, no files.
#pragma once

#include "chapters.h"

#include <string>
#include <vector>

namespace parvex {

// The chapters of `tag` (a whole ID3v2 tag, as ReadLeadingTag gives it; empty: none), ordered as
// ReadChapters says.
ChapterReadResult ChaptersOfTag(const std::vector<char>& tag);

struct ChapteredTag
{
    std::vector<char> bytes; // a whole ID3v2 tag; empty with an error
    std::string error; // why no tag was made: the chapters or the source's tag
};

// `sourceTag` (empty: none) with its CHAP and CTOC frames replaced by `chapters`, as
// WriteChapteredCopy describes. A v2.3 or v2.4 tag keeps its version and every other frame byte
// for byte, in its order (a v2.3 tag's unsynchronisation undone, an extended header and a
// footer left out: their CRC and flags would no longer hold); the new frames follow them. A new
// tag is v2.3, the version most chapter readers take; a v2.2 tag, which has no chapter frames,
// becomes v2.4 through TagLib. A damaged tag is refused (see SplitId3v2Frames).
ChapteredTag RenderChapteredTag(
    const std::vector<char>& sourceTag, const std::vector<Chapter>& chapters);

} // namespace parvex
