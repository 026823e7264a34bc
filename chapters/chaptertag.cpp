// SPDX-License-Identifier: GPL-3.0-or-later
// The source's frames are copied as they were written (see id3v2frames.cpp for why not through
// TagLib); TagLib renders the new CHAP and CTOC frames and reads them back. Its element IDs are
// ByteVectors without a terminating NUL: they are compared and copied as ByteVectors or with
// their size, never read as C strings.
#include "chaptertag.h"

#include "id3v2frames.h"
#include "parsedtag.h"

#include <algorithm>
#include <chapterframe.h>
#include <iterator>
#include <limits>
#include <optional>
#include <set>
#include <tableofcontentsframe.h>
#include <textidentificationframe.h>

namespace parvex {

namespace {

using TagLib::ByteVector;
using TagLib::ID3v2::ChapterFrame;
using TagLib::ID3v2::TableOfContentsFrame;

// CHAP times are 32-bit; 0xFFFFFFFF is kept for "not given" by some writers.
constexpr std::int64_t LatestMs = std::numeric_limits<std::uint32_t>::max() - 1;
constexpr unsigned NoByteOffset = 0xFFFFFFFF; // byte offsets go stale when the tag grows

std::string keyOf(const ByteVector& id)
{
    return std::string(id.data(), id.size());
}

Chapter chapterOf(const ChapterFrame& frame)
{
    const TagLib::ID3v2::FrameList& titles = frame.embeddedFrameList("TIT2");
    return { frame.startTime(), frame.endTime(),
        titles.isEmpty() ? std::string() : titles.front()->toString().to8Bit(true) };
}

// The chapters a table lists, with the tables it lists in their place. A table or chapter met a
// second time (a loop, or one listed twice) is skipped.
void collectListed(const TagLib::ID3v2::Tag& tag, const TableOfContentsFrame& table,
    std::set<std::string>& seen, std::vector<Chapter>& chapters)
{
    if (!seen.insert("CTOC:" + keyOf(table.elementID())).second)
        return;
    for (const ByteVector& child : table.childElements()) {
        if (const ChapterFrame* chapter = ChapterFrame::findByElementID(&tag, child)) {
            if (seen.insert("CHAP:" + keyOf(child)).second)
                chapters.push_back(chapterOf(*chapter));
        } else if (const TableOfContentsFrame* nested
            = TableOfContentsFrame::findByElementID(&tag, child)) {
            collectListed(tag, *nested, seen, chapters);
        }
    }
}

std::vector<Chapter> byStartTime(const TagLib::ID3v2::Tag& tag)
{
    std::vector<Chapter> chapters;
    for (const TagLib::ID3v2::Frame* frame : tag.frameList("CHAP")) {
        if (const auto* chapter = dynamic_cast<const ChapterFrame*>(frame))
            chapters.push_back(chapterOf(*chapter));
    }
    std::stable_sort(chapters.begin(), chapters.end(),
        [](const Chapter& a, const Chapter& b) { return a.startMs < b.startMs; });
    return chapters;
}

std::optional<std::string> chaptersRefusal(const std::vector<Chapter>& chapters)
{
    if (chapters.size() > MaxChapters)
        return "There are " + std::to_string(chapters.size())
            + " chapters; an ID3v2 table of contents lists at most 255.";
    for (std::size_t i = 0; i < chapters.size(); ++i) {
        const Chapter& chapter = chapters[i];
        const std::string name = "Chapter " + std::to_string(i + 1);
        if (chapter.startMs < 0 || chapter.endMs > LatestMs)
            return name + " lies outside the times an ID3v2 chapter can hold (0 to 4294967294 ms).";
        if (chapter.endMs < chapter.startMs)
            return name + " ends before it starts.";
    }
    return std::nullopt;
}

ByteVector elementId(const std::string& text)
{
    return ByteVector(text.data(), static_cast<unsigned>(text.size()));
}

// Adds the table and the chapters to `tag`, which owns them from there.
void addChapterFrames(TagLib::ID3v2::Tag& tag, const std::vector<Chapter>& chapters)
{
    if (chapters.empty())
        return;
    TagLib::ByteVectorList children;
    for (std::size_t i = 0; i < chapters.size(); ++i)
        children.append(elementId("chp" + std::to_string(i)));
    auto* table = new TableOfContentsFrame(elementId("toc"), children);
    table->setIsTopLevel(true);
    table->setIsOrdered(true);
    tag.addFrame(table);
    for (std::size_t i = 0; i < chapters.size(); ++i) {
        const Chapter& chapter = chapters[i];
        auto* frame = new ChapterFrame(children[static_cast<unsigned>(i)],
            static_cast<unsigned>(chapter.startMs), static_cast<unsigned>(chapter.endMs),
            NoByteOffset, NoByteOffset);
        if (!chapter.title.empty()) {
            // UTF-8 in a v2.4 tag; TagLib renders it as UTF-16 in a v2.3 one.
            auto* title = new TagLib::ID3v2::TextIdentificationFrame("TIT2", TagLib::String::UTF8);
            title->setText(TagLib::String(chapter.title, TagLib::String::UTF8));
            frame->addEmbeddedFrame(title);
        }
        tag.addFrame(frame);
    }
}

using Bytes = std::vector<char>;

constexpr std::size_t MaxTagBodyBytes = 0x0FFFFFFF; // a synchsafe 28-bit size
constexpr std::size_t NewPaddingBytes = 1024;

bool isChapterFrame(const std::string& id)
{
    return id == "CHAP" || id == "CTOC";
}

// A tag of `version` without flags: `frames`, then `padding` zero bytes.
Bytes tagOf(unsigned version, const Bytes& frames, std::size_t padding)
{
    const std::size_t size = frames.size() + padding;
    Bytes tag = { 'I', 'D', '3', static_cast<char>(version), 0, 0 };
    for (int shift = 21; shift >= 0; shift -= 7)
        tag.push_back(static_cast<char>((size >> shift) & 0x7f));
    tag.insert(tag.end(), frames.begin(), frames.end());
    tag.resize(tag.size() + padding, 0);
    return tag;
}

// The CTOC and CHAP frames for `chapters` as TagLib renders them in a v2.3 or v2.4 tag.
Bytes chapterFrames(unsigned version, const std::vector<Chapter>& chapters)
{
    TagLib::ID3v2::Tag tag;
    addChapterFrames(tag, chapters);
    const ByteVector rendered = tag.render(version == 4 ? TagLib::ID3v2::v4 : TagLib::ID3v2::v3);
    Bytes frames;
    for (const Bytes& frame : SplitId3v2Frames({ rendered.begin(), rendered.end() }).frames)
        frames.insert(frames.end(), frame.begin(), frame.end());
    return frames;
}

// `kept` and the chapters in a tag of `version` that keeps the source's size where they fit in
// it (room a tag editor can use later), else with padding of its own.
ChapteredTag assemble(unsigned version, const std::vector<Bytes>& kept, std::size_t sourceBytes,
    const std::vector<Chapter>& chapters)
{
    Bytes frames;
    for (const Bytes& frame : kept)
        frames.insert(frames.end(), frame.begin(), frame.end());
    const Bytes added = chapterFrames(version, chapters);
    frames.insert(frames.end(), added.begin(), added.end());
    const std::size_t padding
        = frames.size() <= sourceBytes ? sourceBytes - frames.size() : NewPaddingBytes;
    if (frames.size() + padding > MaxTagBodyBytes)
        return { {}, "The ID3v2 tag would be larger than an ID3v2 tag can be (256 MiB)." };
    return { tagOf(version, frames, padding), {} };
}

// An ID3v2.2 tag can hold no chapters: TagLib converts its frames to v2.4 ones, unless it would
// not read them all.
ChapteredTag viaTagLib(
    const Bytes& sourceTag, std::size_t frameCount, const std::vector<Chapter>& chapters)
{
    ParsedTag parsed(sourceTag);
    TagLib::ID3v2::Tag* tag = parsed.tag();
    if (!tag || tag->frameList().size() != frameCount)
        return { {}, "The ID3v2.2 tag at the start of the file could not be read whole." };
    addChapterFrames(*tag, chapters);
    const ByteVector rendered = tag->render(TagLib::ID3v2::v4);
    return { { rendered.begin(), rendered.end() }, {} };
}

} // namespace

ChapterReadResult ChaptersOfTag(const std::vector<char>& bytes)
{
    if (bytes.empty())
        return {};
    const Id3v2Frames split = SplitId3v2Frames(bytes);
    if (!split.error.empty())
        return { {}, split.error };
    if (split.version == 2)
        return {}; // no chapter frames before v2.3
    // TagLib reads the chapter frames alone: no other frame can stop its reading before them.
    Bytes frames;
    for (const Bytes& frame : split.frames) {
        if (isChapterFrame(FrameId(frame, split.version)))
            frames.insert(frames.end(), frame.begin(), frame.end());
    }
    if (frames.empty())
        return {};
    ParsedTag parsed(tagOf(split.version, frames, 0));
    const TagLib::ID3v2::Tag* tag = parsed.tag();
    if (!tag)
        return { {}, "The chapters of the ID3v2 tag at the start of the file could not be read." };
    if (const TableOfContentsFrame* top = TableOfContentsFrame::findTopLevel(tag)) {
        ChapterReadResult result;
        std::set<std::string> seen;
        collectListed(*tag, *top, seen, result.chapters);
        return result;
    }
    return { byStartTime(*tag), {} };
}

ChapteredTag RenderChapteredTag(
    const std::vector<char>& sourceTag, const std::vector<Chapter>& chapters)
{
    if (const auto refusal = chaptersRefusal(chapters))
        return { {}, *refusal };
    if (sourceTag.empty())
        return chapters.empty() ? ChapteredTag {} : assemble(3, {}, 0, chapters);
    const Id3v2Frames split = SplitId3v2Frames(sourceTag);
    if (!split.error.empty())
        return { {}, split.error };
    if (split.version == 2)
        return viaTagLib(sourceTag, split.frames.size(), chapters);
    std::vector<Bytes> kept;
    std::copy_if(split.frames.begin(), split.frames.end(), std::back_inserter(kept),
        [&](const Bytes& frame) { return !isChapterFrame(FrameId(frame, split.version)); });
    const bool footer = split.version == 4 && (sourceTag[5] & 0x10) != 0;
    return assemble(split.version, kept, sourceTag.size() - (footer ? 20 : 10), chapters);
}

} // namespace parvex
