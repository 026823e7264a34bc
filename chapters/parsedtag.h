// SPDX-License-Identifier: GPL-3.0-or-later
// TagLib's reading of an ID3v2 tag held in memory.
#pragma once

#include <id3v2tag.h>
#include <mpegfile.h>
#include <tbytevectorstream.h>
#include <vector>

namespace parvex {

// TagLib parses a copy of the tag's own bytes, never the file: nothing can save into the source,
// and TagLib's search for a tag further into a file does not run.
class ParsedTag
{
public:
    explicit ParsedTag(const std::vector<char>& bytes);
    ParsedTag(const ParsedTag&) = delete;
    ParsedTag& operator=(const ParsedTag&) = delete;

    // The tag, owned by this object; nullptr when TagLib found none in the bytes.
    TagLib::ID3v2::Tag* tag() { return m_file.ID3v2Tag(); }

private:
    TagLib::ByteVectorStream m_stream;
    TagLib::MPEG::File m_file; // reads m_stream, which must outlive it
};

} // namespace parvex
