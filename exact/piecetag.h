// SPDX-License-Identifier: GPL-3.0-or-later
// How the source's ID3v2 tag becomes a piece's: what is dropped, what is set, which version.
#pragma once

#include "sourcetags.h"

#include <id3v2.h>
#include <id3v2tag.h>

namespace parvex {

// Removes the frames that describe the whole source rather than a piece of it: chapters and
// their table of contents, seek and audio-seek-point tables, event timing and synchronised
// lyrics (their times are the source's), the MPEG location table, volume adjustment, the CD
// identifier, ReplayGain track values and the iTunes gapless and loudness comments.
void DropWholeSourceFrames(TagLib::ID3v2::Tag& tag);

// Removes the frames TagLib cannot render as they were: encrypted ones, which it keeps as raw
// bytes but writes back without their encryption flag, so that they would read as plain frames.
void DropEncryptedFrames(TagLib::ID3v2::Tag& tag);

// Sets TLEN to the piece's length and, for a piece of a split, TRCK to "number/count"; a title,
// performer or album the piece has of its own replaces the source's.
void SetPieceFrames(TagLib::ID3v2::Tag& tag, const PieceTagFields& fields);

// The version a piece's tag is rendered in: the source's. TagLib renders only v2.3 and v2.4,
// so a v2.2 tag (read with its frames converted to v2.4 ones) becomes v2.4.
TagLib::ID3v2::Version PieceTagVersion(const TagLib::ID3v2::Tag& tag);

} // namespace parvex
