// SPDX-License-Identifier: GPL-3.0-or-later
// Writes a cut plan's pieces as a CUE sheet over the source they were cut from.
#include "cuewriter.h"

#include "cuetime.h"

#include <cstdio>

namespace parvex {

namespace {

// `"text"`: a quote inside would end the value early in most readers.
std::string quotedText(const std::string& text, char quoteStandIn, char controlStandIn)
{
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"')
            out += quoteStandIn;
        else if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            out += controlStandIn;
        else
            out += c;
    }
    return out + "\"";
}

void appendText(std::string& out, const char* indent, const char* keyword, const std::string& text)
{
    if (!text.empty())
        out += indent + std::string(keyword) + " " + quotedText(text, '\'', ' ') + "\n";
}

std::string trackLine(std::size_t number)
{
    char text[48];
    std::snprintf(text, sizeof text, "  TRACK %02zu AUDIO\n", number);
    return text;
}

} // namespace

std::string WriteCueSheet(const CueExport& sheet)
{
    std::string out;
    appendText(out, "", "PERFORMER", sheet.performer);
    appendText(out, "", "TITLE", sheet.title);
    // The file name is the source's own: its quotes are kept (this reader reads up to the last
    // quote of the line) and only line-breaking characters are replaced.
    out += "FILE " + quotedText(sheet.fileName, '"', '_') + " MP3\n";
    for (std::size_t i = 0; i < sheet.tracks.size(); ++i) {
        const CueExportTrack& track = sheet.tracks[i];
        const std::int64_t frames = SampleToCueFrames(track.startSample, sheet.sampleRate);
        out += trackLine(i + 1);
        appendText(out, "    ", "TITLE", track.title);
        appendText(out, "    ", "PERFORMER", track.performer);
        if (i == 0 && frames > 0)
            out += "    INDEX 00 00:00:00\n";
        out += "    INDEX 01 " + FormatCueTime(frames) + "\n";
    }
    return out;
}

} // namespace parvex
