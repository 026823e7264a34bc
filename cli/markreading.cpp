// SPDX-License-Identifier: GPL-3.0-or-later
// Each source of marks becomes marked pieces; the planner turns them into samples.
#include "markreading.h"

#include "chapters.h"
#include "cuefilepick.h"
#include "cuereader.h"
#include "cuewriter.h"
#include "levelcache.h"
#include "outputfile.h"
#include "partnames.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace parvex {

namespace {

constexpr std::int64_t kNanoseconds = 1'000'000'000;
constexpr std::int64_t kCdFrames = 75;

CutPoint pointAt(const TimeMark& mark)
{
    return { mark.totalSeconds() * kNanoseconds + mark.nanoseconds, kNanoseconds };
}

// The pieces from the start to the first point, between points, and from the last to the end.
CutAtMarks typedPoints(const std::vector<TimeMark>& times)
{
    std::vector<CutPoint> points;
    for (const TimeMark& time : times)
        points.push_back(pointAt(time));
    std::sort(points.begin(), points.end(),
        [](const CutPoint& a, const CutPoint& b) { return a.count < b.count; });
    CutAtMarks marks;
    marks.pieces.push_back({ CutPoint { 0, kNanoseconds }, std::nullopt, {}, {} });
    for (const CutPoint& point : points)
        marks.pieces.push_back({ point, std::nullopt, {}, {} });
    return marks;
}

// One piece per track of the sheet's FILE that is this source, from its INDEX 01 (or INDEX 00)
// to the next track's.
std::optional<CutAtMarks> cueTracks(
    const CliRequest& request, const std::string& source, std::string* error)
{
    const CueReadResult read = ReadCueSheetFile(request.cueSheet, request.cueEncoding);
    if (!read.sheet) {
        *error = read.error;
        return std::nullopt;
    }
    const CueFile* file = PickCueFile(*read.sheet, source, error);
    if (!file)
        return std::nullopt;
    CutAtMarks marks { {}, read.sheet->title, read.sheet->performer };
    for (const CueTrack& track : file->tracks) {
        const std::int64_t start = request.pregap && track.index00 ? *track.index00 : track.index01;
        marks.pieces.push_back(
            { CutPoint { start, kCdFrames }, std::nullopt, track.title, track.performer });
    }
    if (marks.pieces.empty())
        *error = read.sheet->displayName + " has no audio track for this file.";
    return marks.pieces.empty() ? std::nullopt : std::optional(std::move(marks));
}

std::optional<CutAtMarks> chapterPieces(const std::string& source, std::string* error)
{
    const ChapterReadResult read = ReadChapters(source);
    if (!read.error.empty() || read.chapters.empty()) {
        *error = read.error.empty() ? "it has no ID3v2 chapters." : read.error;
        return std::nullopt;
    }
    CutAtMarks marks;
    for (const Chapter& chapter : read.chapters)
        marks.pieces.push_back({ CutPoint { chapter.startMs, 1000 },
            CutPoint { chapter.endMs, 1000 }, chapter.title, {} });
    return marks;
}

std::int64_t samplesOf(const TimeMark& mark, int rate)
{
    return PointSample(pointAt(mark), rate);
}

// "-40 dB" for a threshold, "1.5 s" for a length.
std::string number(double value, const char* unit)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g %s", value, unit);
    return text;
}

// A cut at each silence, or chunks cut in pauses, from the source's level summary (decoded once
// and kept in the cache, so that another threshold costs no decode).
std::optional<CutAtMarks> silencePieces(const CliRequest& request, const std::string& source,
    std::string* error, std::vector<std::string>* notes)
{
    const auto levels = CachedLevels(source, {}, error);
    if (!levels)
        return std::nullopt;
    const SilenceSettings& settings = request.silence;
    const auto silences = FindSilences(*levels, settings.thresholdDb, settings.minSeconds);
    const int rate = levels->sampleRate;
    if (request.marks == MarkSource::Silence) {
        if (silences.empty()) {
            *error = "no silence of " + number(settings.minSeconds, "s") + " or more under "
                + number(settings.thresholdDb, "dB") + " was found, so nothing was written. Try a "
                + "higher threshold, such as --threshold " + number(settings.thresholdDb + 10, "")
                + "(or a shorter --min-silence).";
            return std::nullopt;
        }
        return SilenceMarks(silences, levels->totalSamples, rate, settings);
    }
    const std::int64_t desired = samplesOf(request.chunkLength, rate);
    const std::int64_t maximum = request.chunkMaximum
        ? std::max(samplesOf(*request.chunkMaximum, rate), desired)
        : desired + desired / 4;
    std::vector<std::int64_t> unsilent;
    auto marks
        = ChunkMarks(silences, levels->totalSamples, rate, desired, maximum, settings, &unsilent);
    for (const std::int64_t cut : unsilent)
        notes->push_back("no pause in the window before " + std::to_string(cut / rate)
            + " s: cut there, at the desired length.");
    return marks;
}

} // namespace

std::optional<CutAtMarks> ReadMarks(const CliRequest& request, const std::string& source,
    std::string* error, std::vector<std::string>* notes)
{
    switch (request.marks) {
    case MarkSource::At:
        return typedPoints(request.cutPoints);
    case MarkSource::Cue:
        return cueTracks(request, source, error);
    case MarkSource::Chapters:
        return chapterPieces(source, error);
    case MarkSource::Silence:
    case MarkSource::Chunk:
        return silencePieces(request, source, error, notes);
    }
    return std::nullopt;
}

bool ExportCueSheet(const std::string& path, const CutPlan& plan, bool replace, std::string* error)
{
    if (!replace && ::access(path.c_str(), F_OK) == 0) {
        *error = path + " exists already: the CUE sheet was not written (-y replaces it).";
        return false;
    }
    CueExport sheet { FileNameFromPath(plan.sourcePath), {}, {}, plan.sampleRate, {} };
    for (const PlannedPiece& piece : plan.pieces) {
        if (sheet.title.empty())
            sheet.title = piece.tags.album;
        sheet.tracks.push_back({ piece.tags.title, piece.tags.performer, piece.firstSample });
    }
    const std::string text = WriteCueSheet(sheet);
    OutputFile file;
    int failure = file.open(path);
    for (std::size_t done = 0; failure == 0 && done < text.size();) {
        const ssize_t wrote = ::write(file.fd(), text.data() + done, text.size() - done);
        if (wrote < 0 && errno != EINTR)
            failure = errno;
        done += wrote > 0 ? static_cast<std::size_t>(wrote) : 0;
    }
    if (failure == 0)
        failure = file.commit();
    if (failure != 0)
        *error = "Can not write the CUE sheet " + path + ": " + std::strerror(failure);
    return failure == 0;
}

} // namespace parvex
