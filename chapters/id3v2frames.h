// SPDX-License-Identifier: GPL-3.0-or-later
// An ID3v2 tag cut into its frames, each kept as the bytes it was written as.
#pragma once

#include <string>
#include <vector>

namespace parvex {

struct Id3v2Frames
{
    unsigned version = 0; // the tag's major version: 2, 3 or 4
    // Each frame whole, header included, in the tag's order; in a v2.3 tag written with
    // unsynchronisation, as it reads with that undone (v2.4 unsynchronises frame by frame, and
    // its frames keep their flags). The padding is no frame.
    std::vector<std::vector<char>> frames;
    std::string error; // a sentence when the tag is damaged: then no frames
};

// Cuts `tag` (a whole tag, as ReadLeadingTag gives it) into frames, past an extended header;
// the frames end at the end of the tag or at a 0 byte where a frame would start (the padding).
// A frame whose ID is not 4 (v2.2: 3) capital letters or digits, or that runs past the end of
// the tag, is damage: TagLib stops reading there and would lose every frame after it.
Id3v2Frames SplitId3v2Frames(const std::vector<char>& tag);

// The frame's ID: its first 4 bytes (v2.2: 3).
std::string FrameId(const std::vector<char>& frame, unsigned version);

} // namespace parvex
