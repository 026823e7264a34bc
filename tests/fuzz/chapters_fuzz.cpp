// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzz target: the chapters' reading of a file's leading ID3v2 tag on any bytes, and the tag a
// chaptered copy would get, read back.
#include "chapters.h"
#include "chaptertag.h"
#include "fuzzcheck.h"
#include "fuzztarget.h"
#include "id3v2frames.h"
#include "leadingtag.h"
#include "memoryfile.h"

#include <fcntl.h>
#include <unistd.h>

using namespace parvex;

namespace {

bool sameChapters(const std::vector<Chapter>& a, const std::vector<Chapter>& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].startMs != b[i].startMs || a[i].endMs != b[i].endMs || a[i].title != b[i].title)
            return false;
    }
    return true;
}

std::vector<std::vector<char>> otherFrames(const Id3v2Frames& split)
{
    std::vector<std::vector<char>> frames;
    for (const auto& frame : split.frames) {
        const std::string id = FrameId(frame, split.version);
        if (id != "CHAP" && id != "CTOC")
            frames.push_back(frame);
    }
    return frames;
}

// A rendered tag is one whole ID3v2.3 or 2.4 tag, as long as its header says, with the source's
// other frames as they were (but from a v2.2 tag, which TagLib converts) and the chapters.
void checkRendered(const std::vector<char>& source, const std::vector<char>& bytes,
    const std::vector<Chapter>& chapters)
{
    FUZZ_CHECK(bytes.size() >= 10);
    FUZZ_CHECK(bytes[3] == 3 || bytes[3] == 4);
    static MemoryFile rendered;
    rendered.assign(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    const int fd = ::open(rendered.path().c_str(), O_RDONLY | O_CLOEXEC);
    FUZZ_CHECK(fd >= 0);
    const LeadingTag tag = ReadLeadingTag(fd, static_cast<std::int64_t>(bytes.size()));
    ::close(fd);
    FUZZ_CHECK(tag.error.empty() && tag.bytes == bytes);
    const ChapterReadResult read = ChaptersOfTag(bytes);
    FUZZ_CHECK(read.error.empty() && sameChapters(read.chapters, chapters));
    const Id3v2Frames split = SplitId3v2Frames(bytes);
    FUZZ_CHECK(split.error.empty());
    if (!source.empty() && source[3] != 2)
        FUZZ_CHECK(otherFrames(split) == otherFrames(SplitId3v2Frames(source)));
    const ChapteredTag again = RenderChapteredTag(bytes, {});
    FUZZ_CHECK(again.error.empty());
    FUZZ_CHECK(ChaptersOfTag(again.bytes).chapters.empty());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static MemoryFile file;
    file.assign(data, size);
    const ChapterReadResult read = ReadChapters(file.path());
    const int fd = ::open(file.path().c_str(), O_RDONLY | O_CLOEXEC);
    FUZZ_CHECK(fd >= 0);
    const LeadingTag tag = ReadLeadingTag(fd, static_cast<std::int64_t>(size));
    ::close(fd);
    FUZZ_CHECK(tag.error.empty() || (read.chapters.empty() && read.error == tag.error));
    FUZZ_CHECK(tag.bytes.size() <= size);
    if (!tag.error.empty())
        return 0;
    const std::vector<Chapter> chapters
        = { { 0, 1500, "Eins" }, { 1500, 1500, "" }, { 1500, 4294967294, "Zwei — 二" } };
    const ChapteredTag rendered = RenderChapteredTag(tag.bytes, chapters);
    // Refused only for what the source's tag holds: the chapters are all valid.
    FUZZ_CHECK(rendered.error.empty() == !rendered.bytes.empty());
    if (rendered.error.empty())
        checkRendered(tag.bytes, rendered.bytes, chapters);
    return 0;
}
