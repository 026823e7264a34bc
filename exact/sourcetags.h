// SPDX-License-Identifier: GPL-3.0-or-later
// The tags an exact cut copies from its source into every piece, read once per job.
#pragma once

#include "pieceplan.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace parvex {

// Where a piece stands among the pieces of its cut, for its ID3v2 tag.
struct PieceTagFields
{
    int number = 0; // from 1; 0 keeps TRCK as it is: the source's in a job of one piece (a range)
    int count = 0; // the pieces of the split
    std::int64_t milliseconds = 0; // the piece's gapless length: its TLEN
    // UTF-8; empty keeps the source's TIT2, TPE1, TALB.
    std::string title;
    std::string performer;
    std::string album;
};

// The bytes written around a piece's audio frames; either may be empty.
struct PieceTagBytes
{
    std::vector<char> id3v2; // in front of the Info frame
    std::vector<char> id3v1; // after the last frame: 128 bytes
};

// A piece's length in milliseconds, rounded, as TLEN gives it.
std::int64_t PieceMilliseconds(const PiecePlan& piece, const GaplessFacts& facts);

class SourceTags;
// The tags of the source open as `fd` that `index` was made from.
SourceTags ReadSourceTags(int fd, const StreamIndex& index);

class SourceTags
{
public:
    // Reads the ID3v2 tag that starts the source open as `fd` and ends before `audioStart` (the
    // Info or first audio frame), and the ID3v1 tag in the last 128 bytes when they start "TAG"
    // and lie past `audioEnd`. Never fails: a tag that is damaged or cannot be read is left out,
    // and the pieces go without it. Reads with pread(): `fd`'s position does not move.
    SourceTags(int fd, std::int64_t audioStart, std::int64_t audioEnd);
    ~SourceTags();
    SourceTags(SourceTags&&) noexcept;
    SourceTags& operator=(SourceTags&&) noexcept;

    bool hasId3v2() const { return m_id3v2 != nullptr; }
    // The source's ID3v2 tag, in its own version, as a piece carries it (empty when the source
    // has none), and the source's ID3v1 bytes with, in a piece of a split, its ID3v1.1 track
    // number set as TRCK's. No APE tag is ever copied: it mostly holds the whole source's gain.
    PieceTagBytes forPiece(const PieceTagFields& fields);

private:
    struct Id3v2; // TagLib's parsed tag and the bytes it was read from
    std::unique_ptr<Id3v2> m_id3v2;
    std::vector<char> m_id3v1;
};

} // namespace parvex
