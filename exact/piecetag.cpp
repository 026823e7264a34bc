#include "piecetag.h"

#include <array>
#include <string>
#include <textidentificationframe.h>

namespace {

constexpr std::array kWholeSourceFrames { "CHAP", "CTOC", "SEEK", "ASPI", "ETCO", "SYLT", "RVA2",
    "MCDI" };

bool isTrackGain(const TagLib::ID3v2::Frame* frame)
{
    const auto* text = dynamic_cast<const TagLib::ID3v2::UserTextIdentificationFrame*>(frame);
    return text && text->description().upper().startsWith("REPLAYGAIN_TRACK_");
}

void replaceText(TagLib::ID3v2::Tag& tag, const char* id, const std::string& text)
{
    tag.removeFrames(id);
    auto* frame = new TagLib::ID3v2::TextIdentificationFrame(id, TagLib::String::Latin1);
    frame->setText(TagLib::String(text));
    tag.addFrame(frame); // the tag owns it from here
}

} // namespace

void DropWholeSourceFrames(TagLib::ID3v2::Tag& tag)
{
    for (const char* id : kWholeSourceFrames)
        tag.removeFrames(id);
    // A copy: removing a frame changes the tag's own lists.
    const TagLib::ID3v2::FrameList userTexts = tag.frameList("TXXX");
    for (TagLib::ID3v2::Frame* frame : userTexts) {
        if (isTrackGain(frame))
            tag.removeFrame(frame);
    }
}

void SetPieceFrames(TagLib::ID3v2::Tag& tag, const PieceTagFields& fields)
{
    replaceText(tag, "TLEN", std::to_string(fields.milliseconds));
    if (fields.number > 0)
        replaceText(
            tag, "TRCK", std::to_string(fields.number) + "/" + std::to_string(fields.count));
}

TagLib::ID3v2::Version PieceTagVersion(const TagLib::ID3v2::Tag& tag)
{
    return tag.header()->majorVersion() == 3 ? TagLib::ID3v2::v3 : TagLib::ID3v2::v4;
}
