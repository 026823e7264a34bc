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
// WriteChapteredCopy describes. A v2.4 source tag stays v2.4; v2.3 stays v2.3, and a new tag
// is v2.3 (the version most chapter readers take), as is a v2.2 one, which TagLib can only read.
// A source tag with encrypted frames is refused: TagLib would write them back without their
// encryption flag, as plain frames of garbage.
ChapteredTag RenderChapteredTag(
    const std::vector<char>& sourceTag, const std::vector<Chapter>& chapters);

} // namespace parvex
