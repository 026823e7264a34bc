// SPDX-License-Identifier: GPL-3.0-or-later
// TagLib's element IDs are ByteVectors without a terminating NUL: they are compared and copied
// as ByteVectors or with their size, never read as C strings.
#include "chaptertag.h"

#include "parsedtag.h"

#include <algorithm>
#include <chapterframe.h>
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

// TagLib keeps a frame's header protected; a member pointer named through a derived class may
// reach it in any frame.
struct FrameHeaderAccess : TagLib::ID3v2::Frame
{
    static const TagLib::ID3v2::Frame::Header& of(const TagLib::ID3v2::Frame& frame)
    {
        return *(frame.*&FrameHeaderAccess::header)();
    }
};

bool hasEncryptedFrame(const TagLib::ID3v2::Tag& tag)
{
    const TagLib::ID3v2::FrameList& frames = tag.frameList();
    return std::any_of(frames.begin(), frames.end(), [](const TagLib::ID3v2::Frame* frame) {
        return FrameHeaderAccess::of(*frame).encryption();
    });
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

ChapteredTag renderTag(
    TagLib::ID3v2::Tag& tag, TagLib::ID3v2::Version version, const std::vector<Chapter>& chapters)
{
    tag.removeFrames("CHAP");
    tag.removeFrames("CTOC");
    addChapterFrames(tag, chapters);
    const ByteVector rendered = tag.render(version);
    return { { rendered.begin(), rendered.end() }, {} };
}

} // namespace

ChapterReadResult ChaptersOfTag(const std::vector<char>& bytes)
{
    if (bytes.empty())
        return {};
    ParsedTag parsed(bytes);
    const TagLib::ID3v2::Tag* tag = parsed.tag();
    if (!tag)
        return { {}, "The ID3v2 tag at the start of the file could not be read." };
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
    if (sourceTag.empty()) {
        if (chapters.empty())
            return {}; // no tag before, none after
        TagLib::ID3v2::Tag tag;
        return renderTag(tag, TagLib::ID3v2::v3, chapters);
    }
    ParsedTag parsed(sourceTag);
    TagLib::ID3v2::Tag* tag = parsed.tag();
    if (!tag)
        return { {}, "The ID3v2 tag at the start of the file could not be read." };
    if (hasEncryptedFrame(*tag))
        return { {},
            "The ID3v2 tag at the start of the file has encrypted frames, which can not be "
            "written back as they are." };
    const bool v24 = tag->header()->majorVersion() == 4;
    return renderTag(*tag, v24 ? TagLib::ID3v2::v4 : TagLib::ID3v2::v3, chapters);
}

} // namespace parvex
