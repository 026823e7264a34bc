// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzz target: the exact cuts' tag reader on any bytes, and the tags it gives a range and the
// pieces of a split, read back with TagLib.
#include "fuzzcheck.h"
#include "fuzztarget.h"
#include "memoryfile.h"
#include "sourcetags.h"

#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <id3v2tag.h>
#include <mpegfile.h>
#include <string>
#include <tbytevectorstream.h>
#include <textidentificationframe.h>
#include <unistd.h>

using namespace parvex;

namespace {

std::string text(TagLib::ID3v2::Tag& tag, const char* id)
{
    const TagLib::ID3v2::FrameList& frames = tag.frameListMap()[id];
    return frames.isEmpty() ? std::string() : frames.front()->toString().to8Bit(true);
}

bool hasWholeSourceFrame(TagLib::ID3v2::Tag& tag)
{
    for (const char* id : { "CHAP", "CTOC", "SEEK", "ASPI", "ETCO", "SYLT", "RVA2", "MCDI" }) {
        if (!tag.frameList(id).isEmpty())
            return true;
    }
    const TagLib::ID3v2::FrameList userTexts = tag.frameList("TXXX");
    return std::any_of(userTexts.begin(), userTexts.end(), [](TagLib::ID3v2::Frame* frame) {
        const auto* user = dynamic_cast<TagLib::ID3v2::UserTextIdentificationFrame*>(frame);
        return user && user->description().upper().startsWith("REPLAYGAIN_TRACK_");
    });
}

// A rendered tag is one whole ID3v2.3 or 2.4 tag that TagLib reads back with the piece's
// frames set and none of the whole source's.
void checkId3v2(const std::vector<char>& bytes, const PieceTagFields& fields, bool v23)
{
    const TagLib::ByteVector data(bytes.data(), static_cast<unsigned>(bytes.size()));
    TagLib::ByteVectorStream stream(data);
    TagLib::MPEG::File file(&stream, TagLib::ID3v2::FrameFactory::instance(), false);
    FUZZ_CHECK(file.hasID3v2Tag());
    TagLib::ID3v2::Tag& tag = *file.ID3v2Tag();
    FUZZ_CHECK(tag.header()->completeTagSize() == bytes.size());
    FUZZ_CHECK(tag.header()->majorVersion() == (v23 ? 3u : 4u));
    FUZZ_CHECK(text(tag, "TLEN") == std::to_string(fields.milliseconds));
    if (fields.number > 0)
        FUZZ_CHECK(text(tag, "TRCK")
            == std::to_string(fields.number) + "/" + std::to_string(fields.count));
    if (!fields.title.empty())
        FUZZ_CHECK(text(tag, "TIT2") == fields.title);
    FUZZ_CHECK(!hasWholeSourceFrame(tag));
}

void checkPiece(
    SourceTags& tags, const PieceTagFields& fields, const std::uint8_t* data, std::size_t size)
{
    const PieceTagBytes piece = tags.forPiece(fields);
    FUZZ_CHECK(piece.id3v2.empty() != tags.hasId3v2());
    if (!piece.id3v2.empty())
        checkId3v2(piece.id3v2, fields, size >= 4 && data[3] == 3);
    FUZZ_CHECK(piece.id3v1.empty() || piece.id3v1.size() == 128);
    if (piece.id3v1.empty())
        return;
    // The source's 128 bytes, but for an ID3v1.1 track byte (126, after a 0 at 125), which a
    // split's piece sets to its number (0 past 255).
    const std::uint8_t* source = data + size - 128;
    FUZZ_CHECK(std::memcmp(source, "TAG", 3) == 0);
    FUZZ_CHECK(std::memcmp(piece.id3v1.data(), source, 126) == 0);
    FUZZ_CHECK(static_cast<std::uint8_t>(piece.id3v1[127]) == source[127]);
    const bool v11 = source[125] == 0;
    const auto track = static_cast<std::uint8_t>(piece.id3v1[126]);
    if (fields.number > 0 && v11)
        FUZZ_CHECK(track == (fields.number <= 255 ? fields.number : 0));
    else
        FUZZ_CHECK(track == source[126]);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static MemoryFile file;
    file.assign(data, size);
    const int fd = ::open(file.path().c_str(), O_RDONLY | O_CLOEXEC);
    FUZZ_CHECK(fd >= 0);
    // As if the whole input were tags: the ID3v2 tag may run to its end, the ID3v1 tag may be
    // any last 128 bytes.
    SourceTags tags(fd, static_cast<std::int64_t>(size), 0);
    ::close(fd);
    // A range first: its piece keeps the source's TRCK, which a split's pieces then replace.
    checkPiece(tags, { 0, 0, 99, {}, {}, {} }, data, size);
    for (int number = 1; number <= 2; ++number)
        checkPiece(tags, { number, 2, 1000 * number + 7, "Title", {}, {} }, data, size);
    return 0;
}
