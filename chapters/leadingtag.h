// SPDX-License-Identifier: GPL-3.0-or-later
// The bytes of the ID3v2 tag that starts a file, found from its header alone.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace parvex {

struct LeadingTag
{
    // Header, frames, padding and footer; empty when the file does not start with "ID3".
    std::vector<char> bytes;
    std::string error; // a sentence when the file could not be read or its tag header is damaged
};

// Reads the tag that starts the file open as `fd`, `fileSize` bytes long, with pread(2) (the
// descriptor's position does not move). Only ID3v2.2 to 2.4 are read, as TagLib reads no other;
// a header of another version, with a size that is not synchsafe, or a tag that runs past the end
// of the file is an error, never taken for audio: the copy would keep it behind a new tag.
LeadingTag ReadLeadingTag(int fd, std::int64_t fileSize);

} // namespace parvex
