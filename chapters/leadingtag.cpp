// SPDX-License-Identifier: GPL-3.0-or-later
// TagLib's header class reads the ten bytes; the checks on what they say are ours.
#include "leadingtag.h"

#include "fileaccess.h"
#include "readat.h"

#include <cerrno>
#include <cstring>
#include <id3v2header.h>

namespace parvex {

namespace {

LeadingTag failure(const std::string& text)
{
    return { {}, text };
}

LeadingTag readFailure(int error)
{
    return failure(std::string("The file could not be read: ") + std::strerror(error) + ".");
}

} // namespace

LeadingTag ReadLeadingTag(int fd, std::int64_t fileSize)
{
    const std::int64_t headerBytes = TagLib::ID3v2::Header::size();
    if (fileSize < headerBytes)
        return {};
    TagLib::ByteVector head(static_cast<unsigned>(headerBytes), '\0');
    if (!ReadFullyAt(fd, head.data(), head.size(), 0))
        return readFailure(LastErrorOr(EIO));
    if (!head.startsWith(TagLib::ID3v2::Header::fileIdentifier()))
        return {};
    const TagLib::ID3v2::Header header(head);
    const unsigned version = header.majorVersion();
    if (version < 2 || version > 4)
        return failure("The file starts with an ID3v2." + std::to_string(version)
            + " tag, which can not be read.");
    // TagLib gives a size of 0 for size bytes that are not synchsafe.
    if (header.tagSize() == 0)
        return failure("The ID3v2 tag at the start of the file is damaged: its size is not valid.");
    const std::int64_t tagBytes = header.completeTagSize();
    if (tagBytes > fileSize)
        return failure("The ID3v2 tag at the start of the file is damaged: it runs past the end "
                       "of the file.");
    LeadingTag tag;
    tag.bytes.resize(static_cast<std::size_t>(tagBytes));
    if (!ReadFullyAt(fd, tag.bytes.data(), tag.bytes.size(), 0))
        return readFailure(LastErrorOr(EIO));
    return tag;
}

} // namespace parvex
