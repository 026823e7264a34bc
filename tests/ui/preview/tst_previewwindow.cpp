// SPDX-License-Identifier: GPL-3.0-or-later
// The preview window under a real player on a scripted graph: placement, audio and video, the
// popup menu, the close box, Escape, full screen and the idle pointer.
#include "cpreviewplayer.h"
#include "fakemediagraph.h"
#include "playerevents.h"
#include "previewmenu.h"
#include "previewplacement.h"
#include "previewwindow.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPointer>
#include <QScreen>
#include <QTest>

#include <memory>

using namespace parvex;

namespace {
// Stands for the dialog: where the window is placed from, and what the player posts to.
class OwnerDialog : public QWidget
{
public:
    int playCommands = 0;

protected:
    bool event(QEvent* event) override
    {
        if (event->type() == PlayerEvents::PlayCommand)
            ++playCommands;
        return QWidget::event(event);
    }
};

QStringList itemTexts(const QMenu& menu)
{
    QStringList texts;
    for (const QAction* action : menu.actions())
        texts << action->text();
    return texts;
}

QAction* item(const QMenu& menu, int id)
{
    for (QAction* action : menu.actions()) {
        if (action->data().toInt() == id)
            return action;
    }
    return nullptr;
}
} // namespace

class PreviewWindowTest : public QObject
{
    Q_OBJECT

    std::shared_ptr<FakeMediaGraph::Script> m_graph;
    std::unique_ptr<OwnerDialog> m_owner;
    std::unique_ptr<CPreviewPlayer> m_player;
    PreviewWindow* m_window = nullptr; // owned by the player
    QPointer<PreviewWindow> m_windowAlive; // null once the player has deleted it
    std::int64_t m_nowMs = 0;

    // A player over the scripted graph with a PreviewWindow as its view, not yet opened.
    void makePlayer()
    {
        auto window = std::make_unique<PreviewWindow>(m_owner.get());
        m_window = window.get();
        m_windowAlive = m_window;
        CPreviewPlayer::Services services;
        services.createGraph = FakeMediaGraph::factory(m_graph);
        services.view = std::move(window);
        services.clock = [this] {
            return m_nowMs;
        };
        m_player = std::make_unique<CPreviewPlayer>(m_owner.get(), std::move(services));
        m_window->setPlayer(m_player.get());
    }
    void openVideo(QSize native = { 64, 48 })
    {
        m_graph->hasVideo = true;
        m_graph->videoSize = native;
        makePlayer();
        QCOMPARE(m_player->OpenMedia(QStringLiteral("/films/clip.avi")), 1);
        QVERIFY(QTest::qWaitForWindowExposed(m_window));
    }
    std::unique_ptr<QMenu> menu() const
    {
        return std::unique_ptr<QMenu>(m_window->createPopupMenu());
    }

private Q_SLOTS:
    void init()
    {
        m_graph = std::make_shared<FakeMediaGraph::Script>();
        m_owner = std::make_unique<OwnerDialog>();
        m_nowMs = 0;
    }
    void cleanup()
    {
        m_player.reset();
        QVERIFY(m_windowAlive.isNull()); // the player's window goes with it
        m_owner.reset();
    }

    void create_placesAHiddenVideoWindowAboveTheDialog()
    {
        m_owner->move(300, 400);
        makePlayer();
        m_window->create();
        QCOMPARE(m_window->objectName(), QStringLiteral("PreviewWindow"));
        QCOMPARE(m_window->windowTitle(), QStringLiteral("Video Window"));
        QVERIFY(m_window->isHidden());
        QCOMPARE(m_window->parentWidget(), nullptr);
        const QRect expected
            = InitialPreviewRect(m_owner->screen()->availableGeometry(), m_owner->frameGeometry());
        QCOMPARE(m_window->pos(), expected.topLeft());
        QCOMPARE(m_window->size(), expected.size());
        m_window->destroy();
    }

    void audio_windowStaysHiddenWithTheFileAsCaption()
    {
        makePlayer();
        QCOMPARE(m_player->OpenMedia(QStringLiteral("/music/tone.mp3")), 1);
        QVERIFY(m_player->m_bAudioOnly);
        QVERIFY(m_window->isHidden());
        QCOMPARE(m_window->windowTitle(), QStringLiteral("tone.mp3  "));
        m_graph->deliverFrame(QImage(8, 8, QImage::Format_RGBX8888));
        QCoreApplication::sendPostedEvents();
        QVERIFY(m_window->frame().isNull()); // no picture is painted for sound
    }

    void video_showsTheWindowAtTheNativeSizeAndPaintsFrames()
    {
        openVideo({ 64, 48 });
        QVERIFY(m_window->isVisible());
        QCOMPARE(m_window->size(), QSize(64, 48));
        QCOMPARE(m_window->windowTitle(), QStringLiteral("clip.avi  "));

        QImage red(16, 12, QImage::Format_RGBX8888);
        red.fill(Qt::red);
        m_graph->deliverFrame(red);
        QTRY_VERIFY(!m_window->frame().isNull());
        const QImage shown = m_window->grab().toImage();
        QCOMPARE(shown.pixelColor(32, 24), QColor(Qt::red)); // scaled over the client area
    }

    void popup_graysByStateAndChecksFullScreen()
    {
        openVideo();
        std::unique_ptr<QMenu> stopped = menu();
        QCOMPARE(stopped->title(), QStringLiteral("PREVIEW"));
        QCOMPARE(itemTexts(*stopped),
            QStringList(
                { "Full screen", "Normal size", "", "Play", "pause", "Stop", "", "Close" }));
        QVERIFY(item(*stopped, PreviewMenu::Play)->isEnabled());
        QVERIFY(!item(*stopped, PreviewMenu::Pause)->isEnabled());
        QVERIFY(!item(*stopped, PreviewMenu::Stop)->isEnabled());
        QVERIFY(!item(*stopped, PreviewMenu::FullScreen)->isChecked());

        item(*stopped, PreviewMenu::Play)->trigger();
        QCOMPARE(m_player->m_State, PlayState::Running);
        std::unique_ptr<QMenu> running = menu();
        QVERIFY(!item(*running, PreviewMenu::Play)->isEnabled());
        QVERIFY(item(*running, PreviewMenu::Pause)->isEnabled());
        QVERIFY(item(*running, PreviewMenu::Stop)->isEnabled());

        item(*running, PreviewMenu::Pause)->trigger();
        QCOMPARE(m_player->m_State, PlayState::Paused);
        std::unique_ptr<QMenu> paused = menu();
        QVERIFY(item(*paused, PreviewMenu::Play)->isEnabled());
        QVERIFY(!item(*paused, PreviewMenu::Pause)->isEnabled());
        QVERIFY(item(*paused, PreviewMenu::Stop)->isEnabled());

        item(*paused, PreviewMenu::FullScreen)->trigger();
        QVERIFY(m_player->m_bFullScreen);
        QVERIFY(item(*menu(), PreviewMenu::FullScreen)->isChecked());
        item(*paused, PreviewMenu::Stop)->trigger();
        QCOMPARE(m_player->m_State, PlayState::Stopped);
    }

    void rightClick_popsUpTheMenuWhoseCloseAsksToPlay()
    {
        openVideo();
        QTest::mouseClick(m_window, Qt::RightButton, {}, QPoint(10, 10));
        auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY(popup);
        QCOMPARE(popup->title(), QStringLiteral("PREVIEW"));
        item(*popup, PreviewMenu::Close)->trigger();
        popup->close();
        QTRY_COMPARE(m_owner->playCommands, 1);
        QVERIFY(m_window->isVisible());
        QCOMPARE(m_player->m_State, PlayState::Stopped); // the dialog decides, not the window
    }

    void closeBox_asksTheDialogToPlayAndTheWindowStays()
    {
        openVideo();
        QVERIFY(!m_window->close());
        QVERIFY(m_window->isVisible());
        QTRY_COMPARE(m_owner->playCommands, 1);
    }

    void normalSize_fitsTheWindowToTheVideoAgain()
    {
        openVideo({ 64, 48 });
        m_window->setMinimumSize(0, 0);
        m_window->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        m_window->resize(200, 100);
        item(*menu(), PreviewMenu::NormalSize)->trigger();
        QCOMPARE(m_window->size(), QSize(64, 48));
    }

    void fullScreen_coversTheScreenAndEscapeRestores()
    {
        openVideo({ 64, 48 });
        const QRect windowed = m_window->geometry();
        QTest::keyClick(m_window, Qt::Key_Escape); // outside full screen: nothing
        QVERIFY(!m_player->m_bFullScreen);
        QCOMPARE(m_window->geometry(), windowed);

        QVERIFY(m_player->SwitchFullScreen());
        const QRect screen = m_window->screen()->geometry();
        QCOMPARE(m_window->geometry(), screen);
        QVERIFY(m_window->windowFlags().testFlag(Qt::FramelessWindowHint));
        QVERIFY(m_window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(m_window->isVisible());
        QCOMPARE(m_window->videoRect(), FullScreenVideoRect(screen.size(), { 64, 48 }));

        QTest::keyClick(m_window, Qt::Key_Escape);
        QVERIFY(!m_player->m_bFullScreen);
        QCOMPARE(m_window->geometry(), windowed);
        QVERIFY(!m_window->windowFlags().testFlag(Qt::FramelessWindowHint));
        QVERIFY(!m_window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(m_window->isVisible());
        QCOMPARE(m_window->videoRect(), m_window->rect());
    }

    void fullScreen_pointerHidesWhenIdleAndMouseMovesBringItBack()
    {
        openVideo();
        QVERIFY(m_player->SwitchFullScreen());
        m_nowMs = CPreviewPlayer::kPointerIdleMs;
        m_player->CheckIdlePointer(); // exactly the limit: not yet
        QCOMPARE(m_window->cursor().shape(), Qt::ArrowCursor);
        m_nowMs += 1;
        m_player->CheckIdlePointer();
        QCOMPARE(m_window->cursor().shape(), Qt::BlankCursor);
        QTest::mouseMove(m_window, QPoint(20, 20));
        QTRY_COMPARE(m_window->cursor().shape(), Qt::ArrowCursor);
    }

    void close_whileFullScreen_leavesItAndDestroysTheWindow()
    {
        openVideo();
        QVERIFY(m_player->SwitchFullScreen());
        m_player->CloseMedia();
        QVERIFY(!m_player->m_bFullScreen);
        QVERIFY(m_window->isHidden()); // deleted with the player
    }
};

QTEST_MAIN(PreviewWindowTest)
#include "tst_previewwindow.moc"
