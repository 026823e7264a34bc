// SPDX-License-Identifier: GPL-3.0-or-later
// The marks and the waveform as a person uses them across windows and files: marks that come back
// with their file, By marks pieces equal to parvex-cli's, and a window that answers while a long
// file decodes.
#include "controlids.h"
#include "dialogtestcase.h"
#include "marksmodel.h"
#include "waveformview.h"

#include <QDir>
#include <QElapsedTimer>
#include <QListView>
#include <QProcess>
#include <QRadioButton>
#include <QTimer>

#include <algorithm>

namespace parvex {

namespace Id = ControlId;

namespace {
constexpr int Rate = 44100;
constexpr std::int64_t MediaTimePerSecond = 10'000'000;
// The decode whose latency is measured; PARVEX_LATENCY_SECONDS=3600 measures an hour by hand.
constexpr int LatencySeconds = 300;
constexpr int ProbeMs = 10;

QStringList rows(const QListView& list)
{
    QStringList texts;
    for (int row = 0; row < list.model()->rowCount(); ++row)
        texts.append(list.model()->index(row, 0).data().toString());
    return texts;
}

// The names of the files in `folder`, sorted.
QStringList filesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files, QDir::Name);
}

// Whether the middle of the strip shows sound: empty, only its background is there.
bool showsSound(WaveformView& view)
{
    const QImage image = view.grab().toImage();
    const QColor background = view.palette().color(QPalette::Base);
    return image.pixelColor(image.width() / 2, image.height() / 2) != background;
}
} // namespace

class SplitDialogWaveformTest : public DialogTestCase
{
    Q_OBJECT

    QString m_source;

    // `seconds` of a tone as the MP3 `m_source`.
    void makeSource(double seconds, int channels = 1)
    {
        m_source = h->path(QStringLiteral("song.mp3"));
        std::string error;
        QVERIFY2(
            MakeMp3(m_source.toStdString(), { seconds, Rate, channels, { "-b", "128" } }, &error),
            error.c_str());
    }
    // A new window with `m_source` open, in By marks.
    void openWindow(std::int64_t seconds = 10)
    {
        h->start();
        h->openSource(m_source, seconds);
        h->click(Id::ByMarks);
        QTRY_VERIFY(the(Id::AddMark).isEnabled()); // once the file is measured
    }
    // M on the waveform with the player at `mediaTime`.
    void markAt(std::int64_t mediaTime)
    {
        h->graph->position = mediaTime;
        QTest::keyClick(&the<WaveformView>(Id::Waveform), Qt::Key_M);
    }
    QListView& list() const { return the<QListView>(Id::MarksList); }

private Q_SLOTS:
    void marks_comeBackWhenTheFileIsOpenedInANewWindow()
    {
        makeSource(10);
        openWindow();
        markAt(5 * MediaTimePerSecond);
        markAt(2 * MediaTimePerSecond + 5'000'000);
        // Retitled in place, as the list's editor does.
        QVERIFY(
            list().model()->setData(list().model()->index(1, 0), QStringLiteral("0:05, Verse")));
        const QStringList set { QStringLiteral("0:02.500, "), QStringLiteral("0:05.000, Verse") };
        QCOMPARE(rows(list()), set);
        const QString store = qobject_cast<MarksModel*>(list().model())->storePath();
        QVERIFY(!QFile::exists(store)); // its write is pending: the window closes first
        h->dialog().close();
        QVERIFY(QFile::exists(store));

        openWindow();
        QCOMPARE(rows(list()), set);
        QVERIFY(h->prompter.shown.isEmpty());
    }

    // Keys at the player's clock, then Start, against the command line with the same points: the
    // same file names (the default template) with the same bytes.
    void startByMarks_writesWhatSplitAtWrites()
    {
        h->realCuts = true;
        makeSource(10);
        openWindow();
        markAt(61'300'000); // 6.13 s: 270,333 samples exactly
        markAt(2 * MediaTimePerSecond + 5'000'000);
        const QString window = h->path(QStringLiteral("window")),
                      cli = h->path(QStringLiteral("cli"));
        QVERIFY(QDir().mkpath(window));
        h->setText(Id::OutputFolder, window);
        h->click(Id::StartByMarks);
        QCOMPARE(h->prompter.texts(), QStringList { QStringLiteral("Splitting is done!") });

        QProcess split;
        split.start(QStringLiteral(PARVEX_CLI_PATH),
            { QStringLiteral("split"), m_source, QStringLiteral("--at"), QStringLiteral("2.5,6.13"),
                QStringLiteral("-d"), cli });
        QVERIFY(split.waitForFinished(60000));
        QVERIFY2(split.exitCode() == 0, split.readAllStandardError().constData());
        const QStringList names = filesIn(cli);
        QCOMPARE(names,
            QStringList({ QStringLiteral("song_1.mp3"), QStringLiteral("song_2.mp3"),
                QStringLiteral("song_3.mp3") }));
        QCOMPARE(filesIn(window), names);
        for (const QString& name : names) {
            QVERIFY2(ReadAll((window + u'/' + name).toStdString())
                    == ReadAll((cli + u'/' + name).toStdString()),
                qPrintable(name));
        }
    }

    // The waveform's keys from the list act on the row selected there.
    void marksList_keysMoveAndRemoveTheRowSelectedThere()
    {
        makeSource(10);
        openWindow();
        for (const int second : { 2, 5, 8 })
            markAt(second * MediaTimePerSecond);
        list().setCurrentIndex(list().model()->index(0, 0));
        QTest::keyClick(&list(), Qt::Key_Period, Qt::ShiftModifier);
        QTest::keyClick(&list(), Qt::Key_Delete);
        QCOMPARE(rows(list()),
            QStringList({ QStringLiteral("0:05.000, "), QStringLiteral("0:08.000, ") }));
    }

    // Alt+M is also the mnemonic of the Split file time box, shown in By time: there the box
    // comes first and a second Alt+M reaches By marks, as repeated mnemonics take turns.
    void altM_choosesByMarks()
    {
        makeSource(10);
        openWindow();
        h->dialog().show();
        QVERIFY(QTest::qWaitForWindowActive(&h->dialog()));
        for (const int mode : { Id::ByFrame, Id::BySize }) {
            h->click(mode);
            QTest::keyClick(&h->dialog(), Qt::Key_M, Qt::AltModifier);
            // A mnemonic clicks the way a mouse does, a moment later.
            QTRY_VERIFY2(
                the<QRadioButton>(Id::ByMarks).isChecked(), qPrintable(QString::number(mode)));
        }
        h->click(Id::ByTime);
        QTest::keyClick(&h->dialog(), Qt::Key_M, Qt::AltModifier);
        QTRY_VERIFY(the(Id::SplitSeconds).hasFocus());
        QTest::keyClick(&h->dialog(), Qt::Key_M, Qt::AltModifier);
        QTRY_VERIFY(the(Id::ByMarks).hasFocus());
    }

    // A timer of the window's event loop ticks every 10 ms while the strip decodes a long file;
    // the longest wait between ticks is how long an event can wait. Timing on a shared machine
    // swings, so only a wait a user would feel fails.
    void window_answersWhileALongFileDecodes()
    {
        const int seconds = qEnvironmentVariableIsSet("PARVEX_LATENCY_SECONDS")
            ? qEnvironmentVariableIntValue("PARVEX_LATENCY_SECONDS")
            : LatencySeconds;
        QElapsedTimer encode;
        encode.start();
        makeSource(seconds, 2);
        qInfo("a %d s stereo MP3 made in %lld ms", seconds, encode.elapsed());
        h->start();
        h->dialog().show();
        QVERIFY(QTest::qWaitForWindowExposed(&h->dialog()));
        auto& view = the<WaveformView>(Id::Waveform);

        QElapsedTimer clock, sinceTick;
        qint64 longest = 0, longestAfterOpen = 0, longestEnd = 0, opened = -1, drawn = -1;
        QTimer probe;
        probe.setInterval(ProbeMs);
        QObject::connect(&probe, &QTimer::timeout, [&] {
            const qint64 gap = sinceTick.restart();
            longest = std::max(longest, gap);
            if (opened >= 0 && gap > longestAfterOpen) {
                longestAfterOpen = gap;
                longestEnd = clock.elapsed();
            }
        });
        QTimer picture;
        picture.setInterval(100);
        QObject::connect(&picture, &QTimer::timeout, [&] {
            if (drawn < 0 && showsSound(view))
                drawn = clock.elapsed();
        });
        clock.start();
        sinceTick.start();
        probe.start();
        picture.start();
        QTimer::singleShot(0, &h->dialog(), [&] {
            h->openSource(m_source, seconds);
            opened = clock.elapsed();
            longest = std::max(longest, sinceTick.restart()); // the open's own time, apart
        });
        QTRY_VERIFY_WITH_TIMEOUT(drawn >= 0, 120000);
        qInfo("open took %lld ms in the GUI thread; waveform drawn after %lld ms; longest "
              "wait of an event during the decode %lld ms, ending %lld ms after the start (%lld ms "
              "counting the open)",
            opened, drawn, longestAfterOpen, longestEnd, longest);
        QCOMPARE_LT(longestAfterOpen, 1000);
    }
};

PARVEX_DIALOG_TEST_MAIN(SplitDialogWaveformTest)

} // namespace parvex

#include "tst_splitdialogwaveform.moc"
