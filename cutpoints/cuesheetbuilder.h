// SPDX-License-Identifier: GPL-3.0-or-later
// Builds a CueSheet from a sheet's lines, one at a time, checking the order of files, tracks and
// indexes as it goes.
#pragma once

#include "cuesheet.h"

#include <optional>
#include <string>
#include <string_view>

namespace parvex {

class CueSheetBuilder
{
public:
    // The most tracks (audio and data) a sheet may have; a CD holds 99.
    static constexpr int kMaxTracks = 999;

    explicit CueSheetBuilder(std::string_view displayName);

    // False on the first error, which error() then holds ("album.cue:12: frames must be 0–74").
    bool addLine(std::string_view line, int lineNumber);
    bool finish(); // after the last line: closes the last track, checks that a track was given
    const std::string& error() const { return m_error; }
    CueSheet takeSheet() { return std::move(m_sheet); }

private:
    // A TRACK whose lines are still being read. It joins the FILE its INDEX 01 lies in only when
    // the next TRACK (or the end) closes it.
    struct OpenTrack
    {
        CueTrack track;
        bool audio = true;
        std::optional<std::size_t> index00File, index01File; // positions in m_sheet.files
    };

    bool onFile(std::string_view rest);
    bool onTrack(std::string_view rest);
    bool onIndex(std::string_view rest);
    bool onIndex00(std::int64_t frames);
    bool onIndex01(std::int64_t frames);
    void onText(std::string_view keyword, std::string_view rest);
    bool closeTrack();
    const CueTrack* lastTrackOfCurrentFile() const;
    bool fail(int line, const std::string& message);
    bool fail(const std::string& message) { return fail(m_line, message); }

    CueSheet m_sheet;
    std::optional<OpenTrack> m_track;
    int m_trackCount = 0;
    int m_line = 0;
    std::string m_error;
};

} // namespace parvex
