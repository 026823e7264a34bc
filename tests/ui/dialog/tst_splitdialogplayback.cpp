// SPDX-License-Identifier: GPL-3.0-or-later
// The window over real GStreamer (silent fakesink, paced like a sound card): a generated MP3
// plays, the display follows the one-second poll, and the end of the file brings it back to 0.
#include "controlids.h"
#include "dialogtestcase.h"
#include "gstmediagraph.h"
#include "probeduration.h"

#include <QSlider>

#include <gst/gst.h>

namespace parvex {

namespace Id = ControlId;

namespace {
// The first element of `names` that this GStreamer lacks, or an empty string.
QString missingElement(std::initializer_list<const char*> names)
{
    for (const char* name : names) {
        GstElementFactory* factory = gst_element_factory_find(name);
        if (!factory)
            return QString::fromLatin1(name);
        gst_object_unref(factory);
    }
    return {};
}

// Generous: a poll comes every second, and a loaded machine may be slow to preroll.
constexpr int WaitMs = 8000;
} // namespace

class SplitDialogPlaybackTest : public DialogTestCase
{
    Q_OBJECT

    // Opens `file` through "Open MP3" with the probe answering `seconds`.
    void openWithRealGraph(const QString& file, std::optional<std::int64_t> seconds)
    {
        h->createGraph = GstMediaGraphFactory(QStringLiteral("fakesink sync=true"));
        h->start().show();
        QVERIFY(QTest::qWaitForWindowExposed(&h->dialog()));
        h->files.answerNext(file);
        h->duration = seconds;
        h->click(Id::OpenMp3);
    }

private Q_SLOTS:
    void initTestCase()
    {
        const QString missing = missingElement(
            { "playbin", "fakesink", "appsink", "mpegaudioparse", "mpg123audiodec" });
        if (!missing.isEmpty())
            QSKIP(qPrintable(QStringLiteral("GStreamer element %1 is not installed").arg(missing)));
    }

    void mp3_playsToItsEndAndTheDisplayReturnsToZero()
    {
        const QString file = h->path(QStringLiteral("tone.mp3"));
        std::string error;
        QVERIFY2(MakeMp3(file.toStdString(), { .seconds = 4.0 }, &error), error.c_str());
        openWithRealGraph(file, ProbeDuration(file.toStdString()));
        QVERIFY2(h->prompter.shown.isEmpty(), qPrintable(h->prompter.texts().join(u'\n')));
        QCOMPARE(h->text(Id::SourceTitle), QStringLiteral("tone.mp3  (00:00:04)"));
        CPreviewPlayer* player = h->dialog().currentPlayer();
        QVERIFY(player);

        h->click(Id::Play);
        QTRY_COMPARE_WITH_TIMEOUT(h->text(Id::PositionDisplay), QStringLiteral("00:00:02"), WaitMs);
        auto* slider = h->control<QSlider>(Id::PositionSlider);
        QVERIFY2(slider->value() >= 300 && slider->value() < 450,
            qPrintable(QString::number(slider->value())));
        h->click(Id::StartTime);
        QCOMPARE(h->text(Id::StartSeconds), QStringLiteral("2"));

        // The end of the media stops and rewinds the player; the next poll shows it.
        QTRY_COMPARE_WITH_TIMEOUT(player->m_State, PlayState::Stopped, WaitMs);
        QTRY_COMPARE_WITH_TIMEOUT(h->text(Id::PositionDisplay), QStringLiteral("00:00:00"), WaitMs);
        QTRY_COMPARE_WITH_TIMEOUT(slider->value(), 0, WaitMs);
        QVERIFY(h->prompter.shown.isEmpty());
    }

    void notAnMp3_saysItCannotPlayAndDropsThePath()
    {
        const QString file = h->path(QStringLiteral("noise.mp3"));
        MakePatternFile(file.toStdString(), 50'000);
        openWithRealGraph(file, 10);
        QCOMPARE(h->dialog().currentPlayer(), nullptr);
        QCOMPARE(h->prompter.shown.size(), 1);
        QCOMPARE(h->prompter.shown.constFirst().caption, QStringLiteral("PARVEX"));
        QVERIFY(h->prompter.shown.constFirst().text.startsWith(
            QStringLiteral("Cannot play the file.  The file is either corrupt or\n")));
        // The next open suggests no file: the path was emptied.
        h->click(Id::OpenMp3);
        QCOMPARE(h->files.requests.last().folder, QString());
    }
};

PARVEX_DIALOG_TEST_MAIN(SplitDialogPlaybackTest)

} // namespace parvex

#include "tst_splitdialogplayback.moc"
