// SPDX-License-Identifier: GPL-3.0-or-later
// Builds a CueSheet from a sheet's lines, one at a time, checking the order of files, tracks and
// indexes as it goes.
#include "cuesheetbuilder.h"

#include "cueline.h"
#include "cuetime.h"

#include <utility>

namespace parvex {

namespace {

// A small whole number of at most three digits, or -1.
int smallNumber(std::string_view text)
{
    if (text.empty() || text.size() > 3 || text.find_first_not_of("0123456789") != text.npos)
        return -1;
    int value = 0;
    for (const char c : text)
        value = value * 10 + (c - '0');
    return value;
}

std::string trackName(const CueTrack& track)
{
    return "track " + std::to_string(track.number);
}

} // namespace

CueSheetBuilder::CueSheetBuilder(std::string_view displayName)
{
    m_sheet.displayName = displayName;
}

bool CueSheetBuilder::addLine(std::string_view line, int lineNumber)
{
    m_line = lineNumber;
    const CueLine split = SplitCueLine(line);
    if (split.keyword == "FILE")
        return onFile(split.rest);
    if (split.keyword == "TRACK")
        return onTrack(split.rest);
    if (split.keyword == "INDEX")
        return onIndex(split.rest);
    // TITLE and PERFORMER are kept. REM, CATALOG, SONGWRITER, FLAGS, ISRC, CDTEXTFILE place no
    // audio, nor do PREGAP and POSTGAP (which take no data from the file); they and unknown
    // keywords (real sheets carry vendors' extensions) are passed over.
    onText(split.keyword, split.rest);
    return true;
}

bool CueSheetBuilder::finish()
{
    m_line = 0;
    if (!closeTrack())
        return false;
    for (const CueFile& file : m_sheet.files) {
        if (!file.tracks.empty())
            return true;
    }
    return fail("holds no audio TRACK");
}

bool CueSheetBuilder::onFile(std::string_view rest)
{
    CueFile file { CueFileName(rest), {} };
    if (file.name.empty())
        return fail("FILE names no file");
    m_sheet.files.push_back(std::move(file));
    return true;
}

bool CueSheetBuilder::onTrack(std::string_view rest)
{
    if (m_sheet.files.empty())
        return fail("TRACK before any FILE");
    if (!closeTrack())
        return false;
    if (++m_trackCount > kMaxTracks)
        return fail("more than " + std::to_string(kMaxTracks) + " tracks");
    const auto words = CueWords(rest);
    const int number = words.empty() ? -1 : smallNumber(words[0]);
    if (number < 0)
        return fail("TRACK needs a number (0–999)");
    OpenTrack open;
    open.track.number = number;
    open.track.line = m_line;
    // MODE1/2352, MODE2/2352, CDG ... hold data, not a piece of the recording. A missing type
    // is taken for audio.
    open.audio = words.size() < 2 || CueUpper(words[1]) == "AUDIO";
    m_track = std::move(open);
    return true;
}

bool CueSheetBuilder::onIndex(std::string_view rest)
{
    if (!m_track)
        return fail("INDEX before any TRACK");
    const auto words = CueWords(rest);
    const int number = words.size() == 2 ? smallNumber(words[0]) : -1;
    if (number < 0 || number > 99)
        return fail("INDEX needs a number (0–99) and a time mm:ss:ff");
    const CueTimeParse time = ParseCueTime(words[1]);
    if (!time.error.empty())
        return fail(time.error);
    if (!m_track->audio || number > 1)
        return true;
    return number == 0 ? onIndex00(time.frames) : onIndex01(time.frames);
}

bool CueSheetBuilder::onIndex00(std::int64_t frames)
{
    OpenTrack& open = *m_track;
    if (open.index00File)
        return fail("INDEX 00 given twice in " + trackName(open.track));
    const std::size_t file = m_sheet.files.size() - 1;
    if (open.index01File == file && frames > open.track.index01)
        return fail("INDEX 00 lies after INDEX 01 in " + trackName(open.track));
    const CueTrack* previous = lastTrackOfCurrentFile();
    if (previous && frames <= previous->index01) {
        return fail("INDEX 00 " + FormatCueTime(frames) + " is not after " + trackName(*previous)
            + "'s INDEX 01 " + FormatCueTime(previous->index01));
    }
    open.track.index00 = frames;
    open.index00File = file;
    return true;
}

bool CueSheetBuilder::onIndex01(std::int64_t frames)
{
    OpenTrack& open = *m_track;
    if (open.index01File)
        return fail("INDEX 01 given twice in " + trackName(open.track));
    const std::size_t file = m_sheet.files.size() - 1;
    if (open.index00File == file && frames < *open.track.index00)
        return fail("INDEX 01 lies before INDEX 00 in " + trackName(open.track));
    const CueTrack* previous = lastTrackOfCurrentFile();
    if (previous && frames <= previous->index01) {
        return fail("INDEX 01 " + FormatCueTime(frames) + " is not after " + trackName(*previous)
            + "'s " + FormatCueTime(previous->index01));
    }
    open.track.index01 = frames;
    open.index01File = file;
    return true;
}

void CueSheetBuilder::onText(std::string_view keyword, std::string_view rest)
{
    const bool album = m_trackCount == 0;
    if (!album && !(m_track && m_track->audio))
        return;
    std::string* field = nullptr;
    if (keyword == "TITLE")
        field = album ? &m_sheet.title : &m_track->track.title;
    else if (keyword == "PERFORMER")
        field = album ? &m_sheet.performer : &m_track->track.performer;
    if (field)
        *field = CueValue(rest);
}

bool CueSheetBuilder::closeTrack()
{
    if (!m_track)
        return true;
    OpenTrack open = std::move(*m_track);
    m_track.reset();
    if (!open.audio)
        return true;
    if (!open.index01File)
        return fail(open.track.line, trackName(open.track) + " has no INDEX 01");
    // EAC's "non-compliant" layout: this pregap is the end of the previous file.
    if (open.index00File != open.index01File)
        open.track.index00.reset();
    m_sheet.files[*open.index01File].tracks.push_back(std::move(open.track));
    return true;
}

const CueTrack* CueSheetBuilder::lastTrackOfCurrentFile() const
{
    const auto& tracks = m_sheet.files.back().tracks;
    return tracks.empty() ? nullptr : &tracks.back();
}

bool CueSheetBuilder::fail(int line, const std::string& message)
{
    m_error = m_sheet.displayName;
    if (line > 0)
        m_error += ":" + std::to_string(line);
    m_error += ": " + message;
    return false;
}

} // namespace parvex
