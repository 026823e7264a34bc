// SPDX-License-Identifier: GPL-3.0-or-later
// CPreviewPlayer's session logic over a scripted graph and a recording view: no GStreamer.
#include "playerevents.h"
#include "previewplayerfixture.h"

namespace parvex {

namespace {

const QString kCannotPlay = QStringLiteral(
    "Cannot play the file.  The file is either corrupt or\nthe player does not support the "
    "format you are trying to play.\nIf you want more decoders, please visit our website.");

TEST_F(PreviewPlayerTest, opensAudioStoppedAtTheStartWithTheWindowHidden)
{
    ASSERT_EQ(player->OpenMedia(QStringLiteral("/music/song.mp3")), 1);
    EXPECT_EQ(player->m_State, PlayState::Stopped);
    EXPECT_EQ(player->m_llPosition, 0);
    EXPECT_EQ(player->m_llStop, 0);
    EXPECT_TRUE(player->m_bAudioOnly);
    EXPECT_FALSE(player->m_bVideoShown);
    EXPECT_EQ(graph->calls, QStringList({ "renderFile /music/song.mp3", "setNotifyReceiver" }));
    EXPECT_EQ(view->calls, QStringList({ "create", "hide", "caption song.mp3  " }));
    EXPECT_TRUE(failures.isEmpty());
}

TEST_F(PreviewPlayerTest, opensVideoShownAtItsNativeSize)
{
    graph->hasVideo = true;
    ASSERT_EQ(player->OpenMedia(QStringLiteral("/videos/clip.avi")), 1);
    EXPECT_FALSE(player->m_bAudioOnly);
    EXPECT_TRUE(player->m_bVideoShown);
    EXPECT_EQ(
        view->calls, QStringList({ "create", "clientSize 320x240", "show", "caption clip.avi  " }));
}

// A backslash belongs to a Linux file name.
TEST_F(PreviewPlayerTest, captionTakesTheNameAfterTheLastSlashAndPathsAreNotCut)
{
    open(QStringLiteral("/music/AC\\DC a%1b.mp3"));
    player->Play();
    player->Pause();
    EXPECT_EQ(view->caption, "AC\\DC a%1b.mp3  (Paused)");

    auto second = makePlayer(false);
    const QString longPath = QStringLiteral("/") + QString(300, u'x');
    ASSERT_EQ(second->OpenMedia(longPath), 1);
    EXPECT_EQ(graph->calls.last(), "setNotifyReceiver");
    EXPECT_TRUE(graph->calls.contains("renderFile " + longPath)); // never cut short
}

struct OpenFailure
{
    const char* what;
    std::function<void(Script&, FakeVideoView::Log&)> arrange;
    bool graphCannotBeCreated;
    QStringList texts;
};

TEST_F(PreviewPlayerTest, failedOpenShowsTheFailedStepAndLeavesThePlayerClosed)
{
    const std::vector<OpenFailure> cases {
        { "graph creation", [](Script&, FakeVideoView::Log&) {}, true,
            { "FAILED(hr=0x80004005) in CoCreateInstance(CLSID_FilterGraph, NULL, "
              "CLSCTX_INPROC_SERVER, IID_IGraphBuilder, (void **)&pGB)\n" } },
        { "render", [](Script& g, FakeVideoView::Log&) { g.renderResult = hr::Fail; }, false,
            { kCannotPlay } },
        { "notify receiver",
            [](Script& g, FakeVideoView::Log&) {
                g.notifyResult = static_cast<HResult>(0x80070005u);
            },
            false,
            { "FAILED(hr=0x80070005) in pME->SetNotifyWindow(reinterpret_cast<OAHWND>(m_hWnd), "
              "WM_GRAPHNOTIFY, 0)\n" } },
        { "video placement",
            [](Script& g, FakeVideoView::Log& v) {
                g.hasVideo = true;
                v.placementSucceeds = false;
            },
            false,
            { "FAILED(hr=0x80004005) in pVW->SetWindowPosition(rect.left, rect.top, "
              "rect.right, rect.bottom)\n",
                "FAILED(hr=0x80004005) in InitVideoWindow(1, 1)\n" } },
    };
    for (const OpenFailure& c : cases) {
        SCOPED_TRACE(c.what);
        graph = std::make_shared<Script>();
        view = std::make_shared<FakeVideoView::Log>();
        failures.clear();
        c.arrange(*graph, *view);
        player = makePlayer(c.graphCannotBeCreated);

        EXPECT_EQ(player->OpenMedia(QStringLiteral("/music/bad.mp3")), 0);
        EXPECT_EQ(failures, c.texts);
        EXPECT_EQ(player->m_State, PlayState::Closed);
        EXPECT_FALSE(graph->alive);
        EXPECT_FALSE(view->visible);
        EXPECT_EQ(view->calls.last(), "destroy");
        EXPECT_FALSE(view->calls.contains("show"));
    }
}

TEST_F(PreviewPlayerTest, unexpectedVideoQueryFailureIsShownAndTheFileOpensAsVideo)
{
    graph->videoPresenceFailure = hr::Fail;
    ASSERT_EQ(player->OpenMedia(QStringLiteral("/videos/odd.avi")), 1);
    EXPECT_EQ(failures, QStringList({ "Failed(80004005) in pVW->get_Visible()!\r\n" }));
    EXPECT_FALSE(player->m_bAudioOnly);
    EXPECT_TRUE(view->visible);
}

TEST_F(PreviewPlayerTest, transportFollowsTheStateTable)
{
    open();
    player->Pause(); // Stopped: caption only
    EXPECT_EQ(player->m_State, PlayState::Stopped);
    player->Stop(); // Stopped: caption only, no rewind
    EXPECT_TRUE(graph->calls.isEmpty());

    player->Play();
    EXPECT_EQ(player->m_State, PlayState::Running);
    EXPECT_EQ(graph->calls, QStringList({ "run", "setRate 1" }));
    EXPECT_EQ(view->caption, "song.mp3  ");

    graph->calls.clear();
    player->Play(); // Running: the rate only
    EXPECT_EQ(graph->calls, QStringList({ "setRate 1" }));

    graph->calls.clear();
    player->Pause();
    EXPECT_EQ(player->m_State, PlayState::Paused);
    EXPECT_EQ(graph->calls, QStringList({ "pause" }));
    EXPECT_EQ(view->caption, "song.mp3  (Paused)");

    graph->calls.clear();
    player->Stop();
    EXPECT_EQ(player->m_State, PlayState::Stopped);
    EXPECT_EQ(graph->calls, QStringList({ "pause", "setPosition 0" }));
    EXPECT_EQ(view->caption, "song.mp3  ");

    graph->calls.clear();
    player->Play(); // from the start, where Stop left the graph
    EXPECT_EQ(graph->calls, QStringList({ "run", "setRate 1" }));
}

TEST_F(PreviewPlayerTest, failedTransportCallsLeaveTheStateAsItWas)
{
    open();
    graph->runResult = hr::Fail;
    graph->rateResult = hr::Fail;
    player->Play();
    EXPECT_EQ(player->m_State, PlayState::Stopped);
    EXPECT_FALSE(view->calls.join('|').contains("caption")); // a failed rate refreshes nothing

    graph->runResult = hr::Ok;
    graph->pauseResult = hr::Fail;
    player->Play();
    player->Pause();
    EXPECT_EQ(player->m_State, PlayState::Running);
}

TEST_F(PreviewPlayerTest, seekClampsNegativePositionsAndKeepsTheState)
{
    EXPECT_EQ(player->SeekTo(5 * kSecond), hr::Ok); // closed: nothing to seek
    open();
    player->Play();
    graph->calls.clear();
    player->SeekTo(-3);
    player->SeekTo(12 * kSecond);
    EXPECT_EQ(graph->calls, QStringList({ "setPosition 0", "setPosition 120000000" }));
    EXPECT_EQ(player->m_State, PlayState::Running);
    graph->seekResult = hr::Fail;
    EXPECT_EQ(player->SeekTo(kSecond), hr::Fail);
}

TEST_F(PreviewPlayerTest, pollReadsLengthThenPositionAndTellsTheOwner)
{
    open();
    graph->length = 30 * kSecond;
    graph->position = 12 * kSecond + kSecond / 2;

    graph->stopPositionResult = hr::Fail;
    player->PollPosition();
    EXPECT_EQ(player->m_llStop, 0);

    graph->stopPositionResult = hr::Ok;
    graph->positionResult = hr::Fail;
    player->PollPosition();
    EXPECT_EQ(player->m_llStop, 30 * kSecond);
    EXPECT_EQ(player->m_llPosition, 0);
    PumpPosted();
    EXPECT_EQ(owner.count(PlayerEvents::PlayPosition), 0);

    graph->positionResult = hr::Ok;
    player->PollPosition();
    EXPECT_EQ(player->m_llPosition, 125'000'000);
    PumpPosted();
    EXPECT_EQ(owner.count(PlayerEvents::PlayPosition), 1);
}

TEST_F(PreviewPlayerTest, positionTimerPollsAboutOnceASecond)
{
    graph->length = 30 * kSecond;
    open();
    ASSERT_TRUE(PumpUntil([&] { return owner.count(PlayerEvents::PlayPosition) >= 1; }));
    EXPECT_EQ(player->m_llStop, 30 * kSecond);
}

TEST_F(PreviewPlayerTest, endOfMediaStopsAndRewinds)
{
    open();
    player->Play();
    graph->calls.clear();
    graph->raiseEvent(GraphEventCode::Complete);
    PumpPosted();
    EXPECT_EQ(player->m_State, PlayState::Stopped);
    EXPECT_EQ(graph->calls, QStringList({ "pause", "setPosition 0" }));
}

TEST_F(PreviewPlayerTest, closingWhilePlayingStopsAndReleasesEverything)
{
    open();
    player->Play();
    graph->calls.clear();
    view->calls.clear();
    graph->raiseEvent(GraphEventCode::Complete); // still in the queue when the graph goes
    player->CloseMedia();
    EXPECT_EQ(graph->calls, QStringList({ "stop", "setNotifyReceiver null", "destroyed" }));
    EXPECT_EQ(view->calls, QStringList({ "hide", "destroy" }));
    EXPECT_EQ(player->m_State, PlayState::Closed);

    PumpPosted();
    player->Play();
    player->Pause();
    player->Stop();
    player->PollPosition();
    EXPECT_EQ(player->m_State, PlayState::Closed);
    EXPECT_EQ(graph->calls.size(), 3);
}

TEST_F(PreviewPlayerTest, destroyingAnOpenPlayerReleasesTheGraph)
{
    open();
    player->Play();
    player.reset();
    EXPECT_FALSE(graph->alive);
    EXPECT_EQ(graph->calls.mid(2), QStringList({ "stop", "setNotifyReceiver null", "destroyed" }));
}

} // namespace

} // namespace parvex
