// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzz target: the CUE reader over any bytes. A sheet it takes keeps its invariants (UTF-8 text,
// INDEX 01 rising within each FILE), and written back and read again it gives the same tracks.
#include "cuefilepick.h"
#include "cuereader.h"
#include "cuetext.h"
#include "cuetime.h"
#include "cuewriter.h"
#include "fuzzcheck.h"
#include "fuzztarget.h"

#include <array>
#include <string>
#include <string_view>

using namespace parvex;

namespace {

// What the writer makes of a text value: quotes as ', control characters as blanks.
std::string asWritten(const std::string& text)
{
    std::string out = text;
    for (char& c : out) {
        if (c == '"')
            c = '\'';
        else if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            c = ' ';
    }
    return out;
}

void checkTrack(const CueTrack& track, const CueTrack* previous)
{
    FUZZ_CHECK(IsValidUtf8(track.title) && IsValidUtf8(track.performer));
    FUZZ_CHECK(track.line > 0 && track.number >= 0 && track.number <= 999);
    FUZZ_CHECK(!previous || previous->index01 < track.index01);
    FUZZ_CHECK(!track.index00 || *track.index00 <= track.index01);
    FUZZ_CHECK(!track.index00 || !previous || previous->index01 < *track.index00);
}

void checkSheet(const CueSheet& sheet)
{
    FUZZ_CHECK(IsValidUtf8(sheet.title) && IsValidUtf8(sheet.performer));
    std::size_t tracks = 0;
    for (const CueFile& file : sheet.files) {
        FUZZ_CHECK(!file.name.empty() && IsValidUtf8(file.name));
        for (std::size_t i = 0; i < file.tracks.size(); ++i)
            checkTrack(file.tracks[i], i ? &file.tracks[i - 1] : nullptr);
        tracks += file.tracks.size();
    }
    FUZZ_CHECK(tracks > 0 && tracks <= 999);
}

// At 44.1 kHz a CD frame is 588 samples, so every INDEX 01 comes back exactly.
void checkRoundTrip(const CueSheet& sheet, const CueFile& file)
{
    CueExport out { file.name, sheet.title, sheet.performer, 44100, {} };
    for (const CueTrack& track : file.tracks)
        out.tracks.push_back(
            { track.title, track.performer, CueFramesToSample(track.index01, 44100) });
    const CueReadResult back = ReadCueSheet(WriteCueSheet(out), "export.cue");
    // A value near the line limit no longer fits once indented and quoted.
    constexpr std::size_t kRoomy = 4000;
    bool roomy = file.name.size() < kRoomy && sheet.title.size() < kRoomy;
    for (const CueTrack& track : file.tracks)
        roomy = roomy && track.title.size() < kRoomy && track.performer.size() < kRoomy;
    FUZZ_CHECK(back.sheet || !roomy);
    if (!back.sheet)
        return;
    FUZZ_CHECK(back.sheet->files.size() == 1);
    FUZZ_CHECK(back.sheet->title == asWritten(sheet.title));
    const auto& tracks = back.sheet->files[0].tracks;
    FUZZ_CHECK(tracks.size() == file.tracks.size());
    for (std::size_t i = 0; i < tracks.size(); ++i) {
        FUZZ_CHECK(tracks[i].index01 == file.tracks[i].index01);
        FUZZ_CHECK(tracks[i].title == asWritten(file.tracks[i].title));
    }
}

} // namespace

// A first byte of 1–4 names an encoding for iconv; any other input is given as it is, to be
// detected.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string_view input(reinterpret_cast<const char*>(data), size);
    constexpr std::array<std::string_view, 4> kNamed { "CP1251", "UTF-16", "SHIFT_JIS", "UTF-7" };
    std::string_view encoding;
    if (!input.empty() && input[0] >= 1 && input[0] <= 4) {
        encoding = kNamed[static_cast<std::size_t>(input[0] - 1)];
        input.remove_prefix(1);
    }
    const CueReadResult read = ReadCueSheet(input, "fuzz.cue", encoding);
    FUZZ_CHECK(read.sheet.has_value() == read.error.empty());
    FUZZ_CHECK(read.sheet || read.error.starts_with("fuzz.cue:"));
    if (!read.sheet)
        return 0;
    checkSheet(*read.sheet);
    std::string error;
    const CueFile* file = PickCueFile(*read.sheet, "/music/side A.mp3", &error);
    FUZZ_CHECK((file != nullptr) == error.empty());
    if (file)
        checkRoundTrip(*read.sheet, *file);
    return 0;
}
