// SPDX-License-Identifier: GPL-3.0-or-later
// The marks model: its rules, in-place edits, the pieces it asks for and the file it is kept in.
#include "clirequest.h"
#include "markpieces.h"
#include "markreading.h"
#include "marksfile.h"
#include "marksmodel.h"
#include "marktime.h"
#include "mp3fixture.h"

#include <QFile>
#include <QTest>

using namespace parvex;

namespace {
constexpr int kRate = 44100;
constexpr std::int64_t kTotal = 60 * kRate;

std::vector<std::int64_t> samplesOf(const MarksModel& model)
{
    std::vector<std::int64_t> samples;
    for (const Mark& mark : model.marks())
        samples.push_back(mark.sample);
    return samples;
}
} // namespace

class TestMarksModel : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void marksStaySortedApartAndInsideTheFile();
    void nudgesMoveByAFrameOrASecond();
    void rowsReadAndEditAsTimeAndTitle();
    void timesFormatAndParse();
    void piecesMatchSplitAt();
    void cueTracksAndChaptersBecomeMarks();
    void marksComeBackForTheSameFileOnly();
};

void TestMarksModel::marksStaySortedApartAndInsideTheFile()
{
    MarksModel model;
    QCOMPARE(model.addMark(0), -1); // no file yet: the M key of an empty waveform adds nothing
    model.setSource(kRate, kTotal);
    QCOMPARE(model.addMark(30 * kRate), 0);
    QCOMPARE(model.addMark(10 * kRate), 0);
    QCOMPARE(model.addMark(-5), 0); // clamped to the start
    QCOMPARE(model.addMark(kTotal + 100), 3); // clamped to the last sample
    QCOMPARE(model.addMark(10 * kRate), -1); // already there
    QCOMPARE(
        samplesOf(model), (std::vector<std::int64_t> { 0, 10 * kRate, 30 * kRate, kTotal - 1 }));
    // A move stops one sample short of either neighbour.
    QCOMPARE(model.moveMark(1, 40 * kRate), 30 * kRate - 1);
    QCOMPARE(model.moveMark(1, -1), std::int64_t { 1 });
    QCOMPARE(model.moveMark(3, kTotal * 2), kTotal - 1);
    model.setMarks(
        { { 5, QStringLiteral("b") }, { 2, QStringLiteral("a") }, { 5, {} }, { -3, {} } });
    QCOMPARE(samplesOf(model), (std::vector<std::int64_t> { 0, 2, 5 }));
    QCOMPARE(model.marks()[2].title, QStringLiteral("b"));
}

void TestMarksModel::nudgesMoveByAFrameOrASecond()
{
    MarksModel model;
    model.setSource(kRate, kTotal);
    model.addMark(5 * kRate);
    model.addMark(5 * kRate + 2000);
    QCOMPARE(model.nudgeFrames(0, -1), 5 * kRate - 1152);
    QCOMPARE(model.nudgeFrames(0, 3), 5 * kRate + 1999); // not past the next mark
    QCOMPARE(model.nudgeSeconds(1, 2), 7 * kRate + 2000);
    QCOMPARE(model.nudgeSeconds(1, -10), 5 * kRate + 2000);
    model.setSource(22050, 22050 * 10); // MPEG-2: 576-sample frames
    model.addMark(22050);
    QCOMPARE(model.nudgeFrames(0, 1), std::int64_t { 22050 + 576 });
}

void TestMarksModel::rowsReadAndEditAsTimeAndTitle()
{
    MarksModel model;
    model.setSource(kRate, 2 * 3600 * std::int64_t { kRate });
    model.addMark(PointSample({ 205493, 1000 }, kRate), QStringLiteral("Title"));
    const QModelIndex row = model.index(0);
    QCOMPARE(row.data(Qt::AccessibleTextRole).toString(), QStringLiteral("3:25.493, Title"));
    QCOMPARE(row.data(Qt::DisplayRole).toString(), QStringLiteral("3:25.493, Title"));
    QVERIFY(model.flags(row) & Qt::ItemIsEditable);

    // The shown time unchanged keeps the sample (not rounded to the millisecond).
    model.moveMark(0, model.marks()[0].sample + 7);
    const std::int64_t exact = model.marks()[0].sample;
    QVERIFY(model.setData(row, QStringLiteral("3:25.493, New title"), Qt::EditRole));
    QCOMPARE(model.marks()[0].sample, exact);
    QCOMPARE(model.marks()[0].title, QStringLiteral("New title"));
    QVERIFY(model.setData(row, QStringLiteral("1:02:03.5, Late, with a comma"), Qt::EditRole));
    QCOMPARE(model.marks()[0].sample, PointSample({ 3723500, 1000 }, kRate));
    QCOMPARE(
        row.data(Qt::DisplayRole).toString(), QStringLiteral("1:02:03.500, Late, with a comma"));
    QVERIFY(!model.setData(row, QStringLiteral("soon, x"), Qt::EditRole));
    QCOMPARE(model.marks()[0].title, QStringLiteral("Late, with a comma"));
}

void TestMarksModel::timesFormatAndParse()
{
    QCOMPARE(FormatMarkTime(0, kRate), QStringLiteral("0:00.000"));
    QCOMPARE(FormatMarkTime(kRate * 3600 - 1, kRate), QStringLiteral("1:00:00.000"));
    QCOMPARE(ParseMarkTime(QStringLiteral(" 75:00.25 ")), std::optional<std::int64_t>(4500250));
    QCOMPARE(ParseMarkTime(QStringLiteral("12.5")), std::optional<std::int64_t>(12500));
    for (const char* bad : { "", "1:60", "1:2:3:4", "1.2345", "1:-2", "a:00", "1:00." })
        QVERIFY2(!ParseMarkTime(QString::fromLatin1(bad)), bad);
}

// split --at 0:12.3456,1:00:01,0:07 cuts the same pieces as marks at those times.
void TestMarksModel::piecesMatchSplitAt()
{
    CliRequest request;
    request.marks = MarkSource::At;
    request.cutPoints = { { 0, 0, 12, 345'600'000 }, { 1, 0, 1, 0 }, { 0, 0, 7, 0 } };
    std::string error;
    std::vector<std::string> notes;
    const auto cli = ReadMarks(request, "unused.mp3", &error, &notes);
    QVERIFY(cli);
    MarksModel model;
    model.setSource(kRate, 2 * 3600 * std::int64_t { kRate });
    for (const MarkedPiece& piece : cli->pieces)
        model.addMark(PointSample(piece.start, kRate));
    const CutAtMarks ours = model.cutAtMarks();
    QCOMPARE(ours.pieces.size(), cli->pieces.size());
    for (std::size_t i = 0; i < ours.pieces.size(); ++i) {
        QCOMPARE(
            PointSample(ours.pieces[i].start, kRate), PointSample(cli->pieces[i].start, kRate));
        QVERIFY(!ours.pieces[i].end && !cli->pieces[i].end);
    }
    QCOMPARE(PiecesFromMarks({ { 0, QStringLiteral("First") } }, kRate).pieces.size(), 1u);
    // Without a source (a file that is no MP3) a point has no rate to be counted in.
    QVERIFY(MarksModel().cutAtMarks().pieces.empty());
}

void TestMarksModel::cueTracksAndChaptersBecomeMarks()
{
    CueFile file { "a.mp3",
        { { 1, "One", "", 0, std::nullopt, 3 }, { 2, "Two", "", 150, 140, 6 } } };
    MarksModel model;
    model.setSource(kRate, kTotal);
    model.importPieces(PiecesFromCue(file, true));
    QCOMPARE(model.index(0).data().toString(), QStringLiteral("0:00.000, One"));
    QCOMPARE(model.index(1).data().toString(), QStringLiteral("0:01.867, Two"));
    const auto chapters = ChaptersFromMarks(model.marks(), kRate, kTotal);
    QCOMPARE(chapters.size(), 2u);
    QCOMPARE(chapters[1].startMs, std::int64_t { 1867 });
    QCOMPARE(chapters[1].endMs, std::int64_t { 60000 });
    model.importPieces(PiecesFromChapters(chapters));
    QCOMPARE(model.index(1).data().toString(), QStringLiteral("0:01.867, Two"));
}

void TestMarksModel::marksComeBackForTheSameFileOnly()
{
    TempDir dir;
    const QString source = QString::fromStdString((dir / "a.mp3").string());
    MakePatternFile(dir / "a.mp3", 1000);
    const QString folder = QString::fromStdString((dir / "marks").string());
    QString stored;
    {
        MarksModel model;
        QVERIFY(model.openSource(source, kRate, kTotal, folder));
        model.addMark(kRate, QStringLiteral("Ein \"Titel\""));
        model.addMark(2 * kRate);
        stored = model.storePath();
    } // destroyed before the save delay: the change is written all the same
    MarksModel model;
    QVERIFY(model.openSource(source, kRate, kTotal, folder));
    QCOMPARE(samplesOf(model), (std::vector<std::int64_t> { kRate, 2 * kRate }));
    QCOMPARE(model.marks()[0].title, QStringLiteral("Ein \"Titel\""));
    model.removeMark(0);
    QTRY_VERIFY(ReadSavedMarks([&] {
        QFile file(stored);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }())
                    .value_or(SavedMarks {})
                    .marks.size()
        == 1);

    // A damaged file is ignored (and replaced by the next change).
    QFile file(stored);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("{\"version\":1,\"marks\":[{\"sample\":1e300}]");
    file.close();
    QVERIFY(model.openSource(source, kRate, kTotal, folder));
    QCOMPARE(model.rowCount(), 0);
    // Marks of the file before it was rewritten are not this file's.
    model.addMark(3 * kRate);
    model.flush();
    MakePatternFile(dir / "a.mp3", 2000);
    QVERIFY(model.openSource(source, kRate, kTotal, folder));
    QCOMPARE(model.rowCount(), 0);
}

QTEST_GUILESS_MAIN(TestMarksModel)
#include "tst_marksmodel.moc"
