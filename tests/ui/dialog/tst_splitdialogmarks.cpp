// SPDX-License-Identifier: GPL-3.0-or-later
// The By marks mode: its radio and panel as the keyboard and screen readers find them, a CUE
// sheet in and out of the list, the waveform's keys, and the request its Start builds.
#include "chapters.h"
#include "controlids.h"
#include "dialogtestcase.h"
#include "marksmodel.h"
#include "resources.h"
#include "waveformstrip.h"
#include "waveformview.h"

#include <QAccessible>
#include <QGroupBox>
#include <QListView>
#include <QRadioButton>

#include <cmath>

namespace parvex {

namespace Id = ControlId;

namespace {
constexpr int Rate = 44100;
constexpr std::int64_t MediaTimePerSecond = 10'000'000;

QString accessibleName(QWidget& widget)
{
    return QAccessible::queryAccessibleInterface(&widget)->text(QAccessible::Name);
}
} // namespace

class SplitDialogMarksTest : public DialogTestCase
{
    Q_OBJECT

    QString m_source;

    // A 10-second MP3 (the marks need its rate and gapless length) opened as the source.
    void startWithMp3()
    {
        h->start();
        m_source = h->path(QStringLiteral("song.mp3"));
        std::string error;
        QVERIFY2(MakeMp3(m_source.toStdString(), { 10.0, Rate, 1, { "-b", "128" } }, &error),
            error.c_str());
        h->openSource(m_source, 10);
        h->click(Id::ByMarks);
        QTRY_VERIFY(the(Id::AddMark).isEnabled()); // once the file is measured
    }
    // Tone, two seconds of digital silence from 3 s, tone to 8 s; opened in By marks, with its
    // waveform's level summary decoded.
    void startWithPause()
    {
        h->start();
        m_source = h->path(QStringLiteral("pause.mp3"));
        std::vector<std::int16_t> samples(std::size_t(8 * Rate));
        for (std::size_t i = 0; i < samples.size(); ++i) {
            if (i < 3 * Rate || i >= 5 * Rate)
                samples[i] = std::int16_t(8000 * std::sin(double(i) * 0.0627));
        }
        std::string error;
        QVERIFY2(EncodeMp3(m_source.toStdString(), samples, Rate, 1, { "-b", "128" }, &error),
            error.c_str());
        h->openSource(m_source, 8);
        h->click(Id::ByMarks);
        QTRY_VERIFY(the(Id::AddMark).isEnabled());
        auto* strip = h->dialog().findChild<WaveformStrip*>();
        QTRY_VERIFY_WITH_TIMEOUT(strip->levels(), 20000);
    }
    // The sample of each mark, in whole 10 ms blocks (silences end on block edges).
    QList<std::int64_t> markBlocks() const
    {
        QList<std::int64_t> blocks;
        for (const Mark& mark : marks().marks())
            blocks.append((mark.sample + Rate / 200) / (Rate / 100));
        return blocks;
    }
    QListView& list() const { return the<QListView>(Id::MarksList); }
    MarksModel& marks() const { return *qobject_cast<MarksModel*>(list().model()); }
    QStringList rows() const
    {
        QStringList texts;
        for (int row = 0; row < list().model()->rowCount(); ++row)
            texts.append(list().model()->index(row, 0).data().toString());
        return texts;
    }

private Q_SLOTS:
    void byMarks_isAFourthModeWithItsNamedPanelAfterTheOthersInTabOrder()
    {
        CSplitDialog& dialog = h->start();
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        const int templateHeight = dialog.height();
        const QList<int> panel { Id::MarksList, Id::AddMark, Id::RemoveMark, Id::FindSilences,
            Id::Chunks, Id::ImportCue, Id::ImportChapters, Id::ExportCue, Id::SaveWithChapters,
            Id::StartByMarks };
        QVERIFY(the(Id::MarksList).isHidden());

        QTest::keyClick(&dialog, Qt::Key_M, Qt::AltModifier);
        QTRY_VERIFY(the<QRadioButton>(Id::ByMarks).isChecked());
        for (const int id : panel)
            QVERIFY2(!the(id).isHidden(), qPrintable(QString::number(id)));
        QVERIFY(the(Id::StartRange).isHidden() && !the(Id::OutputFolder).isHidden());
        QVERIFY(!the(Id::Play).isHidden() && !the(Id::PositionSlider).isHidden());
        QVERIFY(dialog.height() > templateHeight);
        QCOMPARE(accessibleName(the(Id::ByMarks)), QStringLiteral("By marks"));
        // Its caption inside the Split mode frame, as the other modes' are.
        const QRect frame = dialog.findChild<QGroupBox*>()->geometry();
        QVERIFY(frame.contains(the(Id::ByMarks).geometry()));
        const QStringList names { QStringLiteral("Marks"), QStringLiteral("Add Mark"),
            QStringLiteral("Remove Mark"), QStringLiteral("Find Silences\u2026"),
            QStringLiteral("Chunks\u2026"), QStringLiteral("Import CUE\u2026"),
            QStringLiteral("Import Chapters"), QStringLiteral("Export CUE\u2026"),
            QStringLiteral("Save with Chapters\u2026") };
        for (int i = 0; i < names.size(); ++i) {
            QWidget& control = the(panel[i]);
            QCOMPARE(accessibleName(control), names[i]);
            QVERIFY(dialog.rect().contains(control.geometry()));
            // Every caption whole, at the template's font.
            QVERIFY2(control.sizeHint().width() <= control.width() || i == 0, qPrintable(names[i]));
        }

        // The panel's Tab stops follow every one of the template's, whose chain starts at its
        // first control.
        QWidget& first = the(Resources::mainDialog().controls.front().id);
        QStringList chain { first.objectName() };
        for (QWidget* at = first.nextInFocusChain(); at != &first; at = at->nextInFocusChain())
            chain.append(at->objectName());
        qsizetype lastOfTemplate = -1;
        for (const ControlTemplate& item : Resources::mainDialog().controls) {
            if (item.style & StyleTabStop)
                lastOfTemplate = std::max(lastOfTemplate, chain.indexOf(QString::number(item.id)));
        }
        for (const int id : panel)
            QCOMPARE_GT(chain.indexOf(QString::number(id)), lastOfTemplate);

        h->click(Id::ByFrame);
        QVERIFY(the(Id::MarksList).isHidden() && !the(Id::StartRange).isHidden());
        QCOMPARE(dialog.height(), templateHeight);
        QVERIFY(dialog.rect().contains(the(Id::Help).geometry()));
    }

    void cueSheet_fillsTheListAndTheListWritesItBack()
    {
        startWithMp3();
        const QString sheet = h->path(QStringLiteral("song.cue"));
        QFile file(sheet);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("FILE \"song.wav\" WAVE\n"
                   "  TRACK 01 AUDIO\n    TITLE \"Intro\"\n    INDEX 01 00:00:00\n"
                   "  TRACK 02 AUDIO\n    TITLE \"Verse\"\n    INDEX 01 00:03:37\n");
        file.close();
        h->files.answerNext(sheet);
        h->click(Id::ImportCue);
        QVERIFY(h->prompter.shown.isEmpty());
        const QStringList imported { QStringLiteral("0:00.000, Intro"),
            QStringLiteral("0:03.493, Verse") };
        QCOMPARE(rows(), imported);
        // A list there is is replaced only when the user says so.
        h->files.answerNext(sheet);
        h->prompter.answerNext(false);
        marks().addMark(8 * Rate);
        h->click(Id::ImportCue);
        QCOMPARE(h->prompter.shown.size(), 1);
        QCOMPARE(h->prompter.shown[0].kind, ScriptedPrompter::Kind::Question);
        QCOMPARE(rows().size(), 3);
        h->files.answerNext(sheet);
        h->prompter.answerNext(true);
        h->click(Id::ImportCue);
        QCOMPARE(rows(), imported);

        marks().addMark(6 * Rate + 100, QStringLiteral("Bridge")); // between two CD frames
        const std::vector<Mark> before = marks().marks();
        const QString exported = h->path(QStringLiteral("again.cue"));
        h->files.answerNext(exported);
        h->click(Id::ExportCue);
        QCOMPARE(h->files.requests.last().name, QStringLiteral("song.cue"));
        QFile back(exported);
        QVERIFY(back.open(QIODevice::ReadOnly));
        const QByteArray text = back.readAll();
        QVERIFY(text.contains("FILE \"song.mp3\" MP3"));
        QVERIFY(text.contains("TITLE \"Verse\"\n    INDEX 01 00:03:37"));
        // Read back, each mark comes to within a CD frame (1/75 s) of where it was.
        h->files.answerNext(exported);
        h->prompter.answerNext(true);
        h->click(Id::ImportCue);
        QCOMPARE(marks().marks().size(), before.size());
        for (std::size_t i = 0; i < before.size(); ++i) {
            QCOMPARE_LT(std::abs(marks().marks()[i].sample - before[i].sample), Rate / 75);
            QCOMPARE(marks().marks()[i].title, before[i].title);
        }
    }

    void findSilences_shadesWhatEachSettingFindsAndMarksTheMiddleOfEach()
    {
        startWithPause();
        auto& waveform = the<WaveformView>(Id::Waveform);
        h->silenceTries = { { -40, 3.0 }, { -40, 1.0 } };
        h->silenceCancels = true;
        h->click(Id::FindSilences);
        QCOMPARE(h->silenceCounts, std::vector<int>({ 0, 1 }));
        QVERIFY(waveform.silences().empty()); // Cancel: the shading of before (none)
        QCOMPARE(rows().size(), 0);

        h->silenceCancels = false;
        h->click(Id::FindSilences);
        QCOMPARE(waveform.silences().size(), std::size_t(1));
        QCOMPARE(markBlocks(), QList<std::int64_t>({ 400 })); // the middle of 3 s .. 5 s

        // Chunks of 2 s, at most 4 s: one cut in the pause, one at 6 s where there is none.
        h->chunkAnswer = ChunkLengths { 2, 4 };
        h->prompter.answerNext(true);
        h->click(Id::Chunks);
        QCOMPARE(markBlocks(), QList<std::int64_t>({ 400, 600 }));
        QCOMPARE(h->prompter.shown.size(), 2); // replace the mark?, and the cut without pause
        QVERIFY(h->prompter.shown[1].text.startsWith(QStringLiteral("1 of the cuts")));
    }

    void saveWithChapters_writesACopyWithAChapterPerPiece()
    {
        startWithMp3();
        marks().addMark(0, QStringLiteral("Intro"));
        marks().addMark(4 * Rate, QStringLiteral("Verse"));
        h->files.answerNext(m_source);
        h->click(Id::SaveWithChapters);
        QCOMPARE(h->prompter.shown.size(), 1); // not over the open file
        QCOMPARE(h->files.requests.last().name, QStringLiteral("song (chapters).mp3"));

        const QString copy = h->path(QStringLiteral("copy.mp3"));
        QFile(copy).open(QIODevice::WriteOnly);
        h->prompter.answerNext(true); // replace it
        h->files.answerNext(copy);
        h->click(Id::SaveWithChapters);
        QTRY_VERIFY(the(Id::SaveWithChapters).isEnabled());
        QCOMPARE(h->prompter.shown.size(), 3);
        QCOMPARE(
            h->prompter.shown[2].text, QStringLiteral("copy.mp3 is written, with 2 chapters."));
        const ChapterReadResult read = ReadChapters(copy.toStdString());
        QCOMPARE(read.error, std::string());
        QCOMPARE(read.chapters.size(), std::size_t(2));
        QCOMPARE(read.chapters[1].startMs, 4000);
        QCOMPARE(read.chapters[1].endMs, 10000);
        QCOMPARE(read.chapters[1].title, std::string("Verse"));
    }

    void waveform_liesUnderTheSliderAndMarksAtThePlayersPosition()
    {
        startWithMp3();
        h->click(Id::ByFrame);
        auto& waveform = the<WaveformView>(Id::Waveform);
        QCOMPARE(accessibleName(waveform), QStringLiteral("Waveform"));
        QVERIFY(waveform.y() > the(Id::PositionSlider).geometry().bottom());
        QVERIFY(waveform.geometry().bottom() < the(Id::Play).y());
        QVERIFY(the(Id::PositionDisplay).geometry().bottom() < waveform.y()); // stays beside
        h->graph->position = 3 * MediaTimePerSecond;
        QTest::keyClick(&waveform, Qt::Key_I);
        QCOMPARE(h->text(Id::StartSeconds), QStringLiteral("3"));
        // The strip shows the marks of the mode shown: here Start Time, not the list.
        QCOMPARE(waveform.rangeStart(), std::optional<std::int64_t>(3 * Rate));
        QVERIFY(!waveform.marksVisible());
        h->click(Id::ByMarks);
        QVERIFY(waveform.marksVisible() && !waveform.rangeStart());
        h->graph->position = 4 * MediaTimePerSecond;
        QTest::keyClick(&waveform, Qt::Key_M);
        QCOMPARE(rows(), QStringList { QStringLiteral("0:04.000, ") });
    }

    void startByMarks_asksForAPiecePerSpanAtTheMarks()
    {
        startWithMp3();
        h->setText(Id::OutputFolder, h->path(QStringLiteral("out/")));
        marks().addMark(5 * Rate, QStringLiteral("Chorus"));
        // Add Mark takes the player's position at the click.
        h->graph->position = 2 * MediaTimePerSecond;
        h->click(Id::AddMark);
        QCOMPARE(rows().value(0), QStringLiteral("0:02.000, "));

        h->click(Id::StartByMarks);
        const RecordedCut& cut = h->onlyCut();
        QCOMPARE(cut.request.sourcePath, m_source.toStdString());
        QCOMPARE(cut.request.outputFolder, h->path(QStringLiteral("out/")).toStdString());
        QVERIFY(cut.request.nameTemplate.empty());
        const auto& pieces = std::get<CutAtMarks>(cut.request.shape).pieces;
        QCOMPARE(pieces.size(), std::size_t(3));
        QCOMPARE(PointSample(pieces[1].start, Rate), 2 * Rate);
        QCOMPARE(PointSample(pieces[2].start, Rate), 5 * Rate);
        QCOMPARE(pieces[2].title, std::string("Chorus"));
    }
};

PARVEX_DIALOG_TEST_MAIN(SplitDialogMarksTest)

} // namespace parvex

#include "tst_splitdialogmarks.moc"
