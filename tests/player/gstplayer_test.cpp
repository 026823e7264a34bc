// SPDX-License-Identifier: GPL-3.0-or-later
// CPreviewPlayer over real GStreamer (silent fakesink): the user's story from open to close.
#include "cpreviewplayer.h"
#include "fakevideoview.h"
#include "gstmediagraph.h"
#include "hiddenfactories.h"
#include "mp3fixture.h"
#include "playerevents.h"
#include "playertestsupport.h"
#include "videofixture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

namespace parvex {

namespace {

constexpr std::int64_t kSecond = 10'000'000;
constexpr std::int64_t kMillisecond = kSecond / 1000;

class GstPlayerTest : public testing::Test
{
protected:
    void SetUp() override
    {
        const std::string missing = MissingElement(
            { "playbin", "fakesink", "appsink", "mpegaudioparse", "mpg123audiodec" });
        if (!missing.empty())
            GTEST_SKIP() << missing;
        std::string error;
        ASSERT_TRUE(MakeMp3(dir / "tone.mp3", { 3.0 }, &error)) << error;
        player = makePlayer();
    }

    std::unique_ptr<CPreviewPlayer> makePlayer(
        const QString& audioSink = QStringLiteral("fakesink sync=true"))
    {
        view = std::make_shared<FakeVideoView::Log>();
        CPreviewPlayer::Services services;
        services.createGraph = GstMediaGraphFactory(audioSink);
        services.view = std::make_unique<FakeVideoView>(view);
        services.reportFailure = [this](const QString& text) {
            failures << text;
        };
        return std::make_unique<CPreviewPlayer>(&owner, std::move(services));
    }

    QString file(const std::string& name) const
    {
        return QString::fromStdString((dir / name).string());
    }

    // Polls like the position timer until `done` holds for the polled position.
    bool pollUntil(const std::function<bool(std::int64_t)>& done)
    {
        return PumpUntil([&] {
            const std::int64_t before = player->m_llPosition;
            player->PollPosition();
            const bool polled = owner.count(PlayerEvents::PlayPosition) > 0 || before != 0;
            return polled && done(player->m_llPosition);
        });
    }

    TempDir dir;
    RecordingOwner owner;
    std::shared_ptr<FakeVideoView::Log> view;
    QStringList failures;
    std::unique_ptr<CPreviewPlayer> player;
};

TEST_F(GstPlayerTest, opensAnMp3StoppedAtTheStartWithoutShowingAWindow)
{
    ASSERT_EQ(player->OpenMedia(file("tone.mp3")), 1);
    EXPECT_EQ(player->m_State, PlayState::Stopped);
    EXPECT_TRUE(player->m_bAudioOnly);
    EXPECT_EQ(player->m_llStop, 0); // until the first poll
    EXPECT_EQ(view->calls, QStringList({ "create", "hide", "caption tone.mp3  " }));

    player->PollPosition();
    EXPECT_EQ(player->m_llPosition, 0);
    EXPECT_NEAR(static_cast<double>(player->m_llStop) / kSecond, 3.0, 0.05);
    EXPECT_TRUE(failures.isEmpty());
}

TEST_F(GstPlayerTest, playPauseStopAndPlayAgainFromTheStart)
{
    ASSERT_EQ(player->OpenMedia(file("tone.mp3")), 1);
    player->Play();
    EXPECT_EQ(player->m_State, PlayState::Running);
    ASSERT_TRUE(pollUntil([](std::int64_t p) { return p > 300 * kMillisecond; }));

    player->Pause();
    EXPECT_EQ(player->m_State, PlayState::Paused);
    EXPECT_EQ(view->caption, "tone.mp3  (Paused)");
    player->SeekTo(2 * kSecond);
    ASSERT_TRUE(pollUntil([](std::int64_t p) { return p >= 2 * kSecond; }));

    player->Stop();
    EXPECT_EQ(player->m_State, PlayState::Stopped);
    EXPECT_EQ(view->caption, "tone.mp3  ");
    ASSERT_TRUE(pollUntil([](std::int64_t p) { return p == 0; }));

    player->Play();
    ASSERT_TRUE(pollUntil([](std::int64_t p) { return p > 0; }));
    EXPECT_LT(player->m_llPosition, 1500 * kMillisecond) << "Play after Stop starts at 0";
}

TEST_F(GstPlayerTest, seeksWhilePausedAndWhilePlaying)
{
    ASSERT_EQ(player->OpenMedia(file("tone.mp3")), 1);
    player->SeekTo(2 * kSecond);
    ASSERT_TRUE(pollUntil([](std::int64_t p) { return p != 0; }));
    EXPECT_NEAR(static_cast<double>(player->m_llPosition) / kSecond, 2.0, 0.02);
    EXPECT_EQ(player->m_State, PlayState::Stopped);

    player->Play();
    player->SeekTo(kSecond);
    ASSERT_TRUE(pollUntil([](std::int64_t p) { return p >= kSecond && p < 2 * kSecond; }));
    EXPECT_EQ(player->m_State, PlayState::Running);

    player->SeekTo(-kSecond);
    ASSERT_TRUE(pollUntil([](std::int64_t p) { return p < kSecond; }));
}

TEST_F(GstPlayerTest, endOfMediaLeavesThePlayerStoppedAtTheStartOfTheOpenFile)
{
    ASSERT_EQ(player->OpenMedia(file("tone.mp3")), 1);
    // The rewind keeps the file open: a file removed while open plays on.
    std::filesystem::remove(dir / "tone.mp3");
    player->SeekTo(2500 * kMillisecond);
    ASSERT_TRUE(pollUntil([](std::int64_t p) { return p >= 2500 * kMillisecond; }));
    player->Play();
    ASSERT_TRUE(PumpUntil([&] { return player->m_State == PlayState::Stopped; }));
    ASSERT_TRUE(pollUntil([](std::int64_t p) { return p == 0; }));

    player->Play(); // plays again from the beginning
    ASSERT_TRUE(pollUntil([](std::int64_t p) { return p > 0; }));
    EXPECT_LT(player->m_llPosition, 1500 * kMillisecond);
    EXPECT_TRUE(failures.isEmpty());
}

TEST_F(GstPlayerTest, anErrorWhilePlayingClosesThePlayerWithTheFrameworksText)
{
    // identity fails the stream after 20 buffers (about half a second), as a lost device would.
    player = makePlayer(QStringLiteral("identity error-after=20 ! fakesink sync=true"));
    ASSERT_EQ(player->OpenMedia(file("tone.mp3")), 1);
    player->Play();
    ASSERT_TRUE(PumpUntil([&] { return !failures.isEmpty(); }));
    EXPECT_EQ(failures, QStringList({ "Failed after iterations as requested." }));
    EXPECT_EQ(player->m_State, PlayState::Closed);
    EXPECT_EQ(view->calls.last(), "destroy");
}

TEST_F(GstPlayerTest, closingWhilePlayingReleasesTheGraph)
{
    ASSERT_EQ(player->OpenMedia(file("tone.mp3")), 1);
    player->Play();
    ASSERT_TRUE(pollUntil([](std::int64_t p) { return p > 0; }));
    player->CloseMedia();
    EXPECT_EQ(player->m_State, PlayState::Closed);
    EXPECT_EQ(view->calls.last(), "destroy");
    PumpPosted(); // notifications posted before the close find no graph
    player.reset();
}

TEST_F(GstPlayerTest, unplayableFileShowsTheRenderTextAndClosesThePlayer)
{
    MakePatternFile(dir / "noise.mp3", 100 * 1024);
    EXPECT_EQ(player->OpenMedia(file("noise.mp3")), 0);
    ASSERT_EQ(failures.size(), 1);
    EXPECT_TRUE(failures[0].startsWith("Cannot play the file.  The file is either corrupt or\n"));
    EXPECT_EQ(player->m_State, PlayState::Closed);
    EXPECT_FALSE(view->calls.contains("show"));
    EXPECT_EQ(view->calls.last(), "destroy");
}

TEST_F(GstPlayerTest, aMissingDecoderIsNamedAfterTheCannotPlayText)
{
    const HiddenFactories decoders(
        GST_ELEMENT_FACTORY_TYPE_DECODER, "audio/mpeg, mpegversion=(int)1, layer=(int)3");
    ASSERT_FALSE(decoders.empty());
    EXPECT_EQ(player->OpenMedia(file("tone.mp3")), 0);
    ASSERT_EQ(failures.size(), 1);
    EXPECT_TRUE(failures[0].startsWith("Cannot play the file.  The file is either corrupt or\n"));
    EXPECT_TRUE(
        failures[0].endsWith("our website.\n\nMissing plug-in: MPEG-1 Layer 3 (MP3) decoder"))
        << failures[0].toStdString();
}

TEST_F(GstPlayerTest, withoutAnAudioOutputOneBoxSaysWhyAndThePositionStillMoves)
{
    const struct
    {
        const char* sink;
        const char* element;
        const char* reason;
        bool hideAudioSinks; // so that autoaudiosink finds none of this machine's
    } cases[] = {
        { "autoaudiosink", "autoaudiosink", "Resource not found.", true },
        { "alsasink device=parvex-no-such-device", "alsasink",
            "Could not open audio device for playback.", false },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sink);
        if (!MissingElement({ c.element }).empty())
            continue;
        std::optional<HiddenFactories> sinks;
        if (c.hideAudioSinks)
            sinks.emplace(GST_ELEMENT_FACTORY_TYPE_SINK | GST_ELEMENT_FACTORY_TYPE_MEDIA_AUDIO);
        failures.clear();
        player = makePlayer(QString::fromLatin1(c.sink));
        ASSERT_EQ(player->OpenMedia(file("tone.mp3")), 1);
        ASSERT_TRUE(PumpUntil([&] { return !failures.isEmpty(); }));
        player->Play();
        ASSERT_TRUE(pollUntil([](std::int64_t p) { return p > 300 * kMillisecond; }));
        EXPECT_EQ(failures,
            QStringList({ QStringLiteral("Cannot open the audio output: %1\nThe file plays "
                                         "without sound.")
                              .arg(QString::fromLatin1(c.reason)) }));
        player->CloseMedia();
    }
}

TEST_F(GstPlayerTest, aSecondFileOpensInTheSameRun)
{
    std::string error;
    ASSERT_TRUE(MakeMp3(dir / "second.mp3", { 2.0, 44100, 1, { "-V", "2", "-t" } }, &error))
        << error;
    ASSERT_EQ(player->OpenMedia(file("tone.mp3")), 1);
    player->Play();
    player->CloseMedia();
    player = makePlayer();
    ASSERT_EQ(player->OpenMedia(file("second.mp3")), 1);
    player->Play();
    ASSERT_TRUE(pollUntil([](std::int64_t p) { return p > 0; }));
    EXPECT_NEAR(static_cast<double>(player->m_llStop) / kSecond, 2.0, 0.1);
    EXPECT_EQ(view->caption, "second.mp3  ");
}

TEST_F(GstPlayerTest, videoShowsItsWindowAtNativeSizeAndFramesArrive)
{
    const std::string problem = MakeTestVideo(dir / "clip.avi", { 64, 48, 30, true });
    if (problem.rfind("missing", 0) == 0)
        GTEST_SKIP() << problem;
    ASSERT_EQ(problem, "");
    ASSERT_EQ(player->OpenMedia(file("clip.avi")), 1);
    EXPECT_FALSE(player->m_bAudioOnly);
    EXPECT_TRUE(player->m_bVideoShown);
    EXPECT_EQ(view->calls.mid(0, 3), QStringList({ "create", "clientSize 64x48", "show" }));
    ASSERT_TRUE(PumpUntil([&] { return view->framesPresented > 0; }));
    EXPECT_EQ(view->lastFrameSize, QSize(64, 48));

    const int beforePlaying = view->framesPresented;
    player->Play();
    ASSERT_TRUE(PumpUntil([&] { return player->m_State == PlayState::Stopped; }));
    EXPECT_GT(view->framesPresented, beforePlaying);
}

} // namespace

} // namespace parvex
