// SPDX-License-Identifier: GPL-3.0-or-later
// TagLib's reading of an ID3v2 tag held in memory.
#include "parsedtag.h"

namespace parvex {

ParsedTag::ParsedTag(const std::vector<char>& bytes)
    : m_stream(TagLib::ByteVector(bytes.data(), static_cast<unsigned>(bytes.size())))
    , m_file(&m_stream, TagLib::ID3v2::FrameFactory::instance(), false)
{ }

} // namespace parvex
