// SPDX-License-Identifier: GPL-3.0-or-later
// CPreviewPlayer's preview-window side: frames, close box, full screen, pointer, popup menu.
#include "playerevents.h"
#include "previewplayerfixture.h"

namespace parvex {

namespace {

TEST_F(PreviewPlayerTest, closeBoxAsksTheOwnerToPlayAndKeepsTheWindow)
{
    openVideo({ 64, 48 });
    player->viewCloseRequested();
    PumpPosted();
    EXPECT_EQ(owner.count(PlayerEvents::PlayCommand), 1);
    EXPECT_TRUE(view->visible);
    EXPECT_TRUE(graph->calls.isEmpty());
}

TEST_F(PreviewPlayerTest, framesReachTheViewOnlyForVideo)
{
    open();
    graph->deliverFrame(QImage(8, 8, QImage::Format_RGBX8888));
    PumpPosted();
    EXPECT_EQ(view->framesPresented, 0);

    player = makePlayer(false);
    openVideo({ 64, 48 });
    graph->deliverFrame(QImage(64, 48, QImage::Format_RGBX8888));
    graph->deliverFrame(QImage(64, 48, QImage::Format_RGBX8888)); // the first is superseded
    PumpPosted();
    EXPECT_EQ(view->framesPresented, 1);
    EXPECT_EQ(view->lastFrameSize, QSize(64, 48));
}

TEST_F(PreviewPlayerTest, fullScreenPlacesTheVideoAndEscapeLeavesIt)
{
    openVideo({ 64, 48 });
    player->viewEscapePressed(); // outside full screen: nothing
    EXPECT_TRUE(view->calls.isEmpty());

    EXPECT_TRUE(player->SwitchFullScreen());
    EXPECT_TRUE(player->m_bFullScreen);
    EXPECT_TRUE(player->menuState().fullScreenChecked);
    EXPECT_EQ(view->calls, QStringList({ "stretch", "place 192,144 640x480" }));

    view->calls.clear();
    player->viewEscapePressed();
    EXPECT_FALSE(player->m_bFullScreen);
    EXPECT_EQ(view->calls, QStringList({ "restore show" }));

    graph->videoSize = { 320, 240 };
    view->calls.clear();
    player->SwitchFullScreen();
    EXPECT_EQ(view->calls, QStringList({ "stretch", "place 0,0 1024x768" }));
    view->calls.clear();
    player->InitVideoWindow(1, 1); // "Normal size" leaves full screen first
    EXPECT_EQ(view->calls, QStringList({ "restore show", "clientSize 320x240" }));
}

TEST_F(PreviewPlayerTest, fullScreenWithoutAVideoSizeLeavesTheWindowAlone)
{
    openVideo({ 64, 48 });
    graph->hasVideo = false; // no size to be had, as between a stop and the next preroll
    EXPECT_FALSE(player->SwitchFullScreen());
    EXPECT_FALSE(player->m_bFullScreen);
    EXPECT_TRUE(view->calls.isEmpty());
}

TEST_F(PreviewPlayerTest, fullScreenDoesNothingForAudio)
{
    open();
    EXPECT_FALSE(player->SwitchFullScreen());
    EXPECT_FALSE(player->m_bFullScreen);
    EXPECT_TRUE(view->calls.isEmpty());
}

TEST_F(PreviewPlayerTest, pointerHidesAfterMoreThanAHundredIdleSecondsAndWakesOnTheMouse)
{
    openVideo({ 64, 48 });
    player->viewMouseActivity(); // windowed: nothing
    player->SwitchFullScreen();
    view->calls.clear();

    nowMs += CPreviewPlayer::kPointerIdleMs;
    player->CheckIdlePointer();
    EXPECT_TRUE(view->calls.isEmpty());
    nowMs += 1;
    player->CheckIdlePointer();
    player->CheckIdlePointer();
    EXPECT_EQ(view->calls, QStringList({ "pointer hide" }));

    player->viewMouseActivity();
    nowMs += CPreviewPlayer::kPointerIdleMs;
    player->CheckIdlePointer(); // the wake-up restarted the idle time
    EXPECT_EQ(view->calls, QStringList({ "pointer hide", "pointer show" }));
}

TEST_F(PreviewPlayerTest, closingInFullScreenLeavesItBeforeTheWindowGoes)
{
    openVideo({ 64, 48 });
    player->SwitchFullScreen();
    view->calls.clear();
    player->CloseMedia();
    EXPECT_EQ(view->calls, QStringList({ "hide", "restore hide", "hide", "destroy" }));
    EXPECT_FALSE(player->m_bFullScreen);
    EXPECT_FALSE(player->m_bVideoShown);
}

TEST(PreviewMenuState, graysWhatTheStateForbids)
{
    CPreviewPlayer player(nullptr, {});
    const auto menu = [&](PlayState state) {
        player.m_State = state;
        const PreviewMenuState m = player.menuState();
        return QString("%1%2%3").arg(m.playEnabled).arg(m.pauseEnabled).arg(m.stopEnabled);
    };
    EXPECT_EQ(menu(PlayState::Stopped), "100");
    EXPECT_EQ(menu(PlayState::Paused), "101");
    EXPECT_EQ(menu(PlayState::Running), "011");
    EXPECT_EQ(menu(PlayState::Closed), "111");
    player.m_State = PlayState::Closed;
}

} // namespace

} // namespace parvex
