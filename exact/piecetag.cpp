// SPDX-License-Identifier: GPL-3.0-or-later
// The tag owns its frames: removing one through it deletes it, so none is held past that.
#include "piecetag.h"

#include <algorithm>
#include <array>
#include <commentsframe.h>
#include <iterator>
#include <string>
#include <textidentificationframe.h>
#include <vector>

namespace parvex {

namespace {

// MLLT, SYTC and POSS hold the source's frame locations, tempo times and play position.
constexpr std::array kWholeSourceFrames { "CHAP", "CTOC", "SEEK", "ASPI", "ETCO", "SYLT", "RVA2",
    "MCDI", "MLLT", "SYTC", "POSS" };

// ReplayGain track values, and the iTunes comments with the source's gapless lengths (which
// players that read them would trim a piece by) and its loudness.
bool describesWholeSource(const TagLib::ID3v2::Frame* frame)
{
    if (const auto* text = dynamic_cast<const TagLib::ID3v2::UserTextIdentificationFrame*>(frame))
        return text->description().upper().startsWith("REPLAYGAIN_TRACK_");
    if (const auto* comment = dynamic_cast<const TagLib::ID3v2::CommentsFrame*>(frame)) {
        const TagLib::String description = comment->description().upper();
        return description == "ITUNSMPB" || description == "ITUNNORM";
    }
    return false;
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

// `text` is UTF-8; TagLib renders it as UTF-16 in a v2.3 tag.
void replaceText(TagLib::ID3v2::Tag& tag, const char* id, const std::string& text)
{
    tag.removeFrames(id);
    auto* frame = new TagLib::ID3v2::TextIdentificationFrame(id, TagLib::String::UTF8);
    frame->setText(TagLib::String(text, TagLib::String::UTF8));
    tag.addFrame(frame); // the tag owns it from here
}

} // namespace

void DropWholeSourceFrames(TagLib::ID3v2::Tag& tag)
{
    for (const char* id : kWholeSourceFrames)
        tag.removeFrames(id);
    // A vector, not a copy of the tag's list: removing a frame changes that list.
    const TagLib::ID3v2::FrameList& frames = tag.frameList();
    std::vector<TagLib::ID3v2::Frame*> dropped;
    std::copy_if(frames.begin(), frames.end(), std::back_inserter(dropped), describesWholeSource);
    for (TagLib::ID3v2::Frame* frame : dropped)
        tag.removeFrame(frame);
}

void DropEncryptedFrames(TagLib::ID3v2::Tag& tag)
{
    // Into a vector: a copy of the tag's own list would share its ownership of the frames.
    const TagLib::ID3v2::FrameList& frames = tag.frameList();
    std::vector<TagLib::ID3v2::Frame*> encrypted;
    std::copy_if(frames.begin(), frames.end(), std::back_inserter(encrypted),
        [](const TagLib::ID3v2::Frame* frame) {
            return FrameHeaderAccess::of(*frame).encryption();
        });
    for (TagLib::ID3v2::Frame* frame : encrypted)
        tag.removeFrame(frame);
}

void SetPieceFrames(TagLib::ID3v2::Tag& tag, const PieceTagFields& fields)
{
    replaceText(tag, "TLEN", std::to_string(fields.milliseconds));
    if (fields.number > 0)
        replaceText(
            tag, "TRCK", std::to_string(fields.number) + "/" + std::to_string(fields.count));
    const std::pair<const char*, const std::string&> texts[]
        = { { "TIT2", fields.title }, { "TPE1", fields.performer }, { "TALB", fields.album } };
    for (const auto& [id, text] : texts) {
        if (!text.empty())
            replaceText(tag, id, text);
    }
}

TagLib::ID3v2::Version PieceTagVersion(const TagLib::ID3v2::Tag& tag)
{
    return tag.header()->majorVersion() == 3 ? TagLib::ID3v2::v3 : TagLib::ID3v2::v4;
}

} // namespace parvex
