// SPDX-License-Identifier: GPL-3.0-or-later
// The preview on the dialog's side, over a scripted graph: transport buttons, time marks, the
// position slider and display, a file that cannot be played, and the player's end.
#include "controlids.h"
#include "cpositionslider.h"
#include "dialogtestcase.h"
#include "playerevents.h"

#include <QStyle>

namespace parvex {

namespace Id = ControlId;

namespace {
using Kind = ScriptedPrompter::Kind;
constexpr qint64 Second = 10'000'000; // media time, qint64 for the data tables

const QString CannotPlay = QStringLiteral(
    "Cannot play the file.  The file is either corrupt or\nthe player does not support the "
    "format you are trying to play.\nIf you want more decoders, please visit our website.");

// The preview windows that exist now.
QList<PreviewWindow*> previewWindows()
{
    QList<PreviewWindow*> windows;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* window = qobject_cast<PreviewWindow*>(widget))
            windows << window;
    }
    return windows;
}

// The middle of the slider's thumb, where a press grabs it.
QPoint thumbCentre(const QSlider& slider)
{
    const int length = slider.style()->pixelMetric(QStyle::PM_SliderLength, nullptr, &slider);
    const int x = QStyle::sliderPositionFromValue(
        slider.minimum(), slider.maximum(), slider.value(), slider.width() - length);
    return { x + length / 2, slider.height() / 2 };
}
} // namespace

class SplitDialogPreviewTest : public DialogTestCase
{
    Q_OBJECT

    QString m_source;

    CPositionSlider* slider() const { return h->control<CPositionSlider>(Id::PositionSlider); }
    QStringList marks() const
    {
        QStringList texts;
        for (int id : { Id::StartHours, Id::StartMinutes, Id::StartSeconds, Id::EndHours,
                 Id::EndMinutes, Id::EndSeconds })
            texts << h->text(id);
        return texts;
    }
    // Opens the source (a pattern file; the fake graph plays anything) in a shown dialog.
    void startWithSource(std::int64_t lengthSeconds = 240)
    {
        h->graph->length = lengthSeconds * Second;
        CSplitDialog& dialog = h->start();
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        h->openSource(m_source, lengthSeconds);
        QVERIFY(h->dialog().currentPlayer());
    }

protected:
    void setUpHarness() override
    {
        m_source = h->path(QStringLiteral("song.mp3"));
        MakePatternFile(m_source.toStdString(), 100'000);
    }
    void tearDownHarness() override
    {
        h.reset();
        QVERIFY(previewWindows().isEmpty());
    }

private Q_SLOTS:

    void noPlayer_fiveButtonsAndTheSliderDoNothing()
    {
        h->start();
        h->setText(Id::StartHours, QStringLiteral("5"));
        h->setText(Id::EndHours, QStringLiteral("6"));
        for (int id : { Id::Play, Id::Pause, Id::Stop, Id::StartTime, Id::EndTime })
            h->click(id);
        slider()->setValue(300);
        Q_EMIT slider()->releasedCapture();
        // No exchange ran: the typed boxes keep their text.
        QCOMPARE(h->text(Id::StartHours), QStringLiteral("5"));
        QCOMPARE(h->text(Id::EndHours), QStringLiteral("6"));
        QCOMPARE(h->dialog().sliderPosition(), 300); // read, but nothing to seek
        QVERIFY(h->graph->calls.isEmpty());
        h->dialog().RefreshPosition();
        QCOMPARE(h->text(Id::PositionDisplay), QStringLiteral("00:00:00"));
        QCOMPARE(slider()->value(), 300); // without a player the thumb is left alone
    }

    void open_makesAStoppedPlayerWithAHiddenWindow()
    {
        startWithSource();
        CPreviewPlayer* player = h->dialog().currentPlayer();
        QCOMPARE(player->m_State, PlayState::Stopped);
        QCOMPARE(h->graph->calls.constFirst(), QStringLiteral("renderFile ") + m_source);
        const QList<PreviewWindow*> windows = previewWindows();
        QCOMPARE(windows.size(), 1);
        QVERIFY(windows.constFirst()->isHidden());
        QCOMPARE(windows.constFirst()->windowTitle(), QStringLiteral("song.mp3  "));
        QVERIFY(h->prompter.shown.isEmpty());

        // A second source closes the first player before the new one is made.
        h->graph->calls.clear();
        h->openSource(m_source, 240);
        QCOMPARE(h->graph->calls.mid(0, 4),
            QStringList({ "stop", "setNotifyReceiver null", "destroyed",
                QStringLiteral("renderFile ") + m_source }));
        QCOMPARE(previewWindows().size(), 1);
    }

    void transport_buttonsAndThePreviewWindowsPlayCommand()
    {
        startWithSource();
        CPreviewPlayer* player = h->dialog().currentPlayer();
        h->click(Id::Play);
        QCOMPARE(player->m_State, PlayState::Running);
        h->click(Id::Pause);
        QCOMPARE(player->m_State, PlayState::Paused);
        h->click(Id::Stop);
        QCOMPARE(player->m_State, PlayState::Stopped);

        // The preview window's close box asks the dialog to play; the window stays.
        PreviewWindow* window = previewWindows().constFirst();
        QVERIFY(!window->close());
        QTRY_COMPARE(player->m_State, PlayState::Running);
        QCOMPARE(previewWindows().size(), 1);
        // Arriving after the player has gone, the command finds nothing to play.
        QCoreApplication::postEvent(&h->dialog(), new QEvent(PlayerEvents::PlayCommand));
        h->dialog().ClosePreview();
        h->graph->calls.clear();
        QCoreApplication::sendPostedEvents(&h->dialog(), PlayerEvents::PlayCommand);
        QVERIFY(h->graph->calls.isEmpty());
    }

    void captureMark_takesTheLastPolledPositionAndRewritesEveryBox()
    {
        startWithSource(4000);
        h->graph->position = 36'615'000'000; // 3661.5 s
        QVERIFY(h->poll());
        QCOMPARE(h->text(Id::PositionDisplay), QStringLiteral("01:01:01"));

        h->setText(Id::EndMinutes, QStringLiteral("42")); // typed, never read back
        h->setText(Id::OutputFile, QStringLiteral("typed.mp3"));
        h->click(Id::StartTime);
        QCOMPARE(marks(), QStringList({ "1", "1", "1", "0", "0", "0" }));
        QCOMPARE(h->text(Id::OutputFile), h->desktop.music + QStringLiteral("/cut1.mp3"));

        h->graph->position = 7200 * Second;
        h->click(Id::EndTime); // no poll since: still the old position
        QCOMPARE(marks(), QStringList({ "1", "1", "1", "1", "1", "1" }));
        QVERIFY(h->poll());
        h->click(Id::EndTime);
        QCOMPARE(marks(), QStringList({ "1", "1", "1", "2", "0", "0" }));
    }

    void captureMark_beforeTheFirstPollIsZero()
    {
        startWithSource();
        h->graph->position = 50 * Second;
        h->setText(Id::EndHours, QStringLiteral("7"));
        h->click(Id::EndTime);
        QCOMPARE(marks(), QStringList({ "0", "0", "0", "0", "0", "0" }));
    }

    void refresh_movesTheThumbToTheShareOfTheLength_data()
    {
        QTest::addColumn<qint64>("position");
        QTest::addColumn<qint64>("length");
        QTest::addColumn<int>("thumb");
        QTest::addColumn<int>("kept");
        QTest::addColumn<QString>("display");
        QTest::newRow("start") << qint64(0) << 240 * Second << 0 << 0 << "00:00:00";
        QTest::newRow("a third, truncated")
            << 80 * Second - 1 << 240 * Second << 199 << 199 << "00:01:19";
        QTest::newRow("end") << 240 * Second << 240 * Second << 600 << 600 << "00:04:00";
        QTest::newRow("past the end shows at the end")
            << 300 * Second << 240 * Second << 600 << 750 << "00:05:00";
        QTest::newRow("no length yet") << 10 * Second << qint64(0) << 0 << 0 << "00:00:10";
    }
    void refresh_movesTheThumbToTheShareOfTheLength()
    {
        QFETCH(qint64, position);
        QFETCH(qint64, length);
        QFETCH(int, thumb);
        QFETCH(int, kept);
        QFETCH(QString, display);
        startWithSource();
        slider()->setValue(17);
        h->graph->position = position;
        h->graph->length = length;
        QVERIFY(h->poll());
        QCOMPARE(slider()->value(), thumb);
        QCOMPARE(h->dialog().sliderPosition(), kept);
        QCOMPARE(h->text(Id::PositionDisplay), display);
    }

    void sliderRelease_seeksToTheThumbsShareOfTheLength()
    {
        startWithSource(240);
        QVERIFY(h->poll());
        slider()->setValue(300);
        QTest::mousePress(slider(), Qt::LeftButton, {}, thumbCentre(*slider()));
        QVERIFY(slider()->isSliderDown());
        QVERIFY(h->sliderHeld);
        QTest::mouseRelease(slider(), Qt::LeftButton, {}, thumbCentre(*slider()));
        QVERIFY(!h->sliderHeld);
        QCOMPARE(h->dialog().sliderPosition(), 300);
        QCOMPARE(h->graph->calls.filter(QStringLiteral("setPosition")),
            QStringList { QStringLiteral("setPosition 1200000000") }); // 120 s
    }

    void sliderRelease_beforeTheFirstPollDoesNotSeek()
    {
        startWithSource(240);
        slider()->setValue(300);
        QTest::mousePress(slider(), Qt::LeftButton, {}, thumbCentre(*slider()));
        QTest::mouseRelease(slider(), Qt::LeftButton, {}, thumbCentre(*slider()));
        QCOMPARE(h->dialog().sliderPosition(), 300);
        QVERIFY(h->graph->calls.filter(QStringLiteral("setPosition")).isEmpty());
    }

    void heldSlider_freezesDisplayAndThumbUntilReleased()
    {
        startWithSource(100);
        h->graph->position = 10 * Second;
        QVERIFY(h->poll());
        QCOMPARE(slider()->value(), 60);

        QTest::mousePress(slider(), Qt::LeftButton, {}, thumbCentre(*slider()));
        h->graph->position = 20 * Second;
        QVERIFY(h->poll());
        h->dialog().repaint();
        QCOMPARE(h->text(Id::PositionDisplay), QStringLiteral("00:00:10"));
        QCOMPARE(slider()->value(), 60);

        // Letting go seeks to where the thumb was held; the next poll follows the player.
        QTest::mouseRelease(slider(), Qt::LeftButton, {}, thumbCentre(*slider()));
        QCOMPARE(h->graph->calls.filter(QStringLiteral("setPosition")),
            QStringList { QStringLiteral("setPosition 100000000") });
        h->graph->position = 30 * Second;
        QVERIFY(h->poll());
        QCOMPARE(h->text(Id::PositionDisplay), QStringLiteral("00:00:30"));
        QCOMPARE(slider()->value(), 180);
    }

    void keyboardMove_doesNotSeek()
    {
        startWithSource(100);
        h->graph->position = 10 * Second;
        QVERIFY(h->poll());
        slider()->setFocus();
        QTest::keyClick(slider(), Qt::Key_PageUp);
        QTest::keyClick(slider(), Qt::Key_Right);
        QVERIFY(slider()->value() > 60);
        QVERIFY(h->graph->calls.filter(QStringLiteral("setPosition")).isEmpty());
        QVERIFY(h->poll());
        QCOMPARE(slider()->value(), 60); // put back by the refresh
    }

    void unplayableFile_dropsThePathAndTheSplitsCannotOpenIt_data()
    {
        QTest::addColumn<bool>("graphMade");
        QTest::addColumn<QString>("message");
        QTest::newRow("no decoder") << true << CannotPlay;
        QTest::newRow("no graph") << false
                                  << "FAILED(hr=0x80004005) in CoCreateInstance(CLSID_FilterGraph, "
                                     "NULL, CLSCTX_INPROC_SERVER, IID_IGraphBuilder, (void "
                                     "**)&pGB)\n";
    }
    void unplayableFile_dropsThePathAndTheSplitsCannotOpenIt()
    {
        QFETCH(bool, graphMade);
        QFETCH(QString, message);
        h->graph->renderResult = hr::Fail;
        if (!graphMade)
            h->createGraph = nullptr;
        h->start();
        h->graph->length = 240 * Second;
        h->control<QSlider>(Id::PositionSlider)->setValue(250);
        h->openSource(m_source, 240);
        QCOMPARE(h->prompter.shown,
            QList<ScriptedPrompter::Shown>(
                { { Kind::Message, QStringLiteral("PARVEX"), message } }));
        QCOMPARE(h->dialog().currentPlayer(), nullptr);
        QCOMPARE(slider()->value(), 0);
        QVERIFY(previewWindows().isEmpty());
        // The title line stays and so does the duration, but the path is gone.
        QCOMPARE(h->text(Id::SourceTitle), QStringLiteral("song.mp3  (00:04:00)"));

        // The Start buttons ask for cuts of an open source without a path (which cannot be
        // opened), as the window always has.
        h->click(Id::StartRange);
        h->click(Id::StartBySize);
        h->click(Id::StartByTime);
        QCOMPARE(h->cuts.size(), std::size_t(3));
        for (const RecordedCut& cut : h->cuts) {
            QCOMPARE(cut.request.sourcePath, std::string());
            QCOMPARE(cut.measured, std::optional<std::int64_t>(240));
        }
        QVERIFY(h->cuts[0].request.sourceOpen);
        QVERIFY(h->cuts[1].request.sourceOpen);
    }

    void playbackError_closesThePreviewWithTheFrameworksTextAndTheDialogGoesOn()
    {
        startWithSource();
        h->click(Id::Play);
        const QString error = QStringLiteral("Could not read from resource.");
        h->graph->raiseEvent(GraphEventCode::ErrorAbort, error);
        QTRY_VERIFY(!h->graph->alive);
        QCOMPARE(h->prompter.shown,
            QList<ScriptedPrompter::Shown>({ { Kind::Message, QStringLiteral("PARVEX"), error } }));
        QCOMPARE(h->dialog().currentPlayer()->m_State, PlayState::Closed);
        QVERIFY(previewWindows().constFirst()->isHidden());
        h->click(Id::Play); // nothing left to play, and nothing said

        // The source stays: a cut asks for it, and opening it again works.
        h->click(Id::StartRange);
        QCOMPARE(h->onlyCut().request.sourcePath, m_source.toStdString());
        h->openSource(m_source, 240);
        h->click(Id::Play);
        QCOMPARE(h->dialog().currentPlayer()->m_State, PlayState::Running);
        QVERIFY(h->graph->alive);
    }

    void closeBox_whilePlaying_releasesThePlayer()
    {
        startWithSource();
        h->click(Id::Play);
        h->graph->calls.clear();
        h->dialog().close();
        QCOMPARE(h->graph->calls, QStringList({ "stop", "setNotifyReceiver null", "destroyed" }));
        QCOMPARE(h->dialog().currentPlayer(), nullptr);
        QVERIFY(previewWindows().isEmpty());
        QVERIFY(DialogHarness::stored(QStringLiteral("output_folder")).isValid());
    }

    void escape_whilePlaying_releasesThePlayerToo()
    {
        startWithSource();
        h->click(Id::Play);
        QTest::keyClick(&h->dialog(), Qt::Key_Escape);
        QVERIFY(!h->dialog().isVisible());
        QVERIFY(!h->graph->alive);
        QCOMPARE(h->dialog().currentPlayer(), nullptr);
        QVERIFY(!DialogHarness::stored(QStringLiteral("output_folder")).isValid());
    }

    void closePreview_putsTheSliderBackAndTheDisplayReadsZero()
    {
        startWithSource(100);
        h->graph->position = 50 * Second;
        QVERIFY(h->poll());
        QCOMPARE(slider()->value(), 300);
        QCOMPARE(h->dialog().ClosePreview(), 1);
        QCOMPARE(slider()->value(), 0);
        QCOMPARE(h->dialog().sliderPosition(), 0);
        QTRY_COMPARE(h->text(Id::PositionDisplay), QStringLiteral("00:00:00"));
    }
};

PARVEX_DIALOG_TEST_MAIN(SplitDialogPreviewTest)

} // namespace parvex

#include "tst_splitdialogpreview.moc"
