// SPDX-License-Identifier: GPL-3.0-or-later
// Conversions between the marks list and the pieces, sheets and chapters of the other layers.
#include "markpieces.h"

#include "marktime.h"

namespace parvex {

namespace {
constexpr std::int64_t kCdFrames = 75;
} // namespace

CutAtMarks PiecesFromMarks(const std::vector<Mark>& marks, int sampleRate)
{
    CutAtMarks pieces;
    if (marks.empty() || marks.front().sample > 0)
        pieces.pieces.push_back({ CutPoint { 0, sampleRate }, std::nullopt, {}, {} });
    for (const Mark& mark : marks)
        pieces.pieces.push_back(
            { CutPoint { mark.sample, sampleRate }, std::nullopt, mark.title.toStdString(), {} });
    return pieces;
}

std::vector<Mark> MarksFromPieces(const CutAtMarks& pieces, int sampleRate)
{
    std::vector<Mark> marks;
    for (const MarkedPiece& piece : pieces.pieces) {
        const std::int64_t sample = PointSample(piece.start, sampleRate);
        if (sample > 0 || !piece.title.empty())
            marks.push_back({ sample, QString::fromStdString(piece.title) });
    }
    return marks;
}

CutAtMarks PiecesFromCue(const CueFile& file, bool pregap)
{
    CutAtMarks pieces;
    for (const CueTrack& track : file.tracks) {
        const std::int64_t start = pregap && track.index00 ? *track.index00 : track.index01;
        pieces.pieces.push_back(
            { CutPoint { start, kCdFrames }, std::nullopt, track.title, track.performer });
    }
    return pieces;
}

CutAtMarks PiecesFromChapters(const std::vector<Chapter>& chapters)
{
    CutAtMarks pieces;
    for (const Chapter& chapter : chapters)
        pieces.pieces.push_back(
            { CutPoint { chapter.startMs, 1000 }, std::nullopt, chapter.title, {} });
    return pieces;
}

CueExport CueFromMarks(const std::vector<Mark>& marks, int sampleRate, const std::string& fileName)
{
    CueExport sheet { fileName, {}, {}, sampleRate, {} };
    for (const MarkedPiece& piece : PiecesFromMarks(marks, sampleRate).pieces)
        sheet.tracks.push_back({ piece.title, {}, piece.start.count });
    return sheet;
}

std::vector<Chapter> ChaptersFromMarks(
    const std::vector<Mark>& marks, int sampleRate, std::int64_t totalSamples)
{
    const CutAtMarks pieces = PiecesFromMarks(marks, sampleRate);
    std::vector<Chapter> chapters;
    for (std::size_t i = 0; i < pieces.pieces.size(); ++i) {
        const std::int64_t end
            = i + 1 < pieces.pieces.size() ? pieces.pieces[i + 1].start.count : totalSamples;
        chapters.push_back({ MarkMilliseconds(pieces.pieces[i].start.count, sampleRate),
            MarkMilliseconds(end, sampleRate), pieces.pieces[i].title });
    }
    return chapters;
}

} // namespace parvex
