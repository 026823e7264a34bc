// SPDX-License-Identifier: GPL-3.0-or-later
// TagLib parses the ID3v2 tag from a copy of its own bytes, never from the source file: nothing
// can save into the source, and TagLib's search for a tag further into a file does not run.
#include "sourcetags.h"

#include "piecetag.h"
#include "readat.h"

#include <cerrno>
#include <id3v2header.h>
#include <mpegfile.h>
#include <optional>
#include <sys/stat.h>
#include <tbytevectorstream.h>
#include <unistd.h>

namespace parvex {

struct SourceTags::Id3v2
{
    explicit Id3v2(const TagLib::ByteVector& bytes)
        : stream(bytes)
        , file(&stream, TagLib::ID3v2::FrameFactory::instance(), false)
    { }

    TagLib::ByteVectorStream stream;
    TagLib::MPEG::File file; // reads `stream`; its ID3v2 tag lives as long as it does
    TagLib::ID3v2::Version version = TagLib::ID3v2::v4;
};

namespace {

// All `size` bytes at `offset`, or nothing.
std::optional<TagLib::ByteVector> readAt(int fd, std::int64_t offset, std::int64_t size)
{
    TagLib::ByteVector bytes(static_cast<unsigned int>(size), '\0');
    if (!ReadFullyAt(fd, bytes.data(), static_cast<std::size_t>(size), offset))
        return std::nullopt;
    return bytes;
}

// The whole tag (header, frames, padding, footer) when the file starts with a sound ID3v2
// header whose tag ends before the audio; ID3v2.2 to 2.4 only, as TagLib reads no other.
std::optional<TagLib::ByteVector> id3v2Bytes(int fd, std::int64_t audioStart)
{
    const std::int64_t headerBytes = TagLib::ID3v2::Header::size();
    const auto head = readAt(fd, 0, headerBytes);
    if (!head || !head->startsWith(TagLib::ID3v2::Header::fileIdentifier()))
        return std::nullopt;
    const TagLib::ID3v2::Header header(*head);
    const unsigned version = header.majorVersion();
    if (version < 2 || version > 4 || header.tagSize() == 0
        || header.completeTagSize() > audioStart)
        return std::nullopt;
    return readAt(fd, 0, header.completeTagSize());
}

std::vector<char> id3v1Bytes(int fd, std::int64_t audioEnd)
{
    struct stat status;
    if (::fstat(fd, &status) != 0 || status.st_size - 128 < audioEnd)
        return {};
    const auto bytes = readAt(fd, status.st_size - 128, 128);
    if (!bytes || !bytes->startsWith("TAG"))
        return {};
    return { bytes->begin(), bytes->end() };
}

// ID3v1.1 keeps a track number in byte 126 where byte 125 is 0; in ID3v1.0 both belong to the
// comment, which stays whole. One byte holds 1 to 255: a piece numbered past that gets 0, no
// track, rather than a wrong one.
void setId3v1Track(std::vector<char>& tag, int number)
{
    if (tag.size() == 128 && tag[125] == 0)
        tag[126] = static_cast<char>(number <= 255 ? number : 0);
}

} // namespace

std::int64_t PieceMilliseconds(const PiecePlan& piece, const GaplessFacts& facts)
{
    const std::int64_t rate = facts.sampleRate;
    return (piece.samples() * 1000 + rate / 2) / rate;
}

SourceTags ReadSourceTags(int fd, const StreamIndex& index)
{
    const std::int64_t audioStart
        = index.infoFrameOffset >= 0 ? index.infoFrameOffset : index.frames[0].offset;
    return SourceTags(fd, audioStart, index.audioEnd);
}

SourceTags::SourceTags(int fd, std::int64_t audioStart, std::int64_t audioEnd)
    : m_id3v1(id3v1Bytes(fd, audioEnd))
{
    const auto bytes = id3v2Bytes(fd, audioStart);
    if (!bytes)
        return;
    auto id3v2 = std::make_unique<Id3v2>(*bytes);
    TagLib::ID3v2::Tag* tag = id3v2->file.ID3v2Tag();
    // A tag of which TagLib reads no frame at all is damaged (or empty): nothing to copy.
    if (!tag || tag->frameList().isEmpty())
        return;
    id3v2->version = PieceTagVersion(*tag);
    DropEncryptedFrames(*tag);
    DropWholeSourceFrames(*tag);
    m_id3v2 = std::move(id3v2);
}

SourceTags::~SourceTags() = default;
SourceTags::SourceTags(SourceTags&&) noexcept = default;
SourceTags& SourceTags::operator=(SourceTags&&) noexcept = default;

PieceTagBytes SourceTags::forPiece(const PieceTagFields& fields)
{
    PieceTagBytes tags { {}, m_id3v1 };
    if (fields.number > 0)
        setId3v1Track(tags.id3v1, fields.number);
    if (m_id3v2) {
        TagLib::ID3v2::Tag& tag = *m_id3v2->file.ID3v2Tag();
        SetPieceFrames(tag, fields);
        const TagLib::ByteVector rendered = tag.render(m_id3v2->version);
        tags.id3v2.assign(rendered.begin(), rendered.end());
    }
    return tags;
}

} // namespace parvex
