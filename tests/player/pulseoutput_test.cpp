// SPDX-License-Identifier: GPL-3.0-or-later
// The player heard through a real sound server: a private PulseAudio whose null sink is recorded.
#include "cpreviewplayer.h"
#include "fakevideoview.h"
#include "gstmediagraph.h"
#include "monitorrecorder.h"
#include "mp3fixture.h"
#include "playertestsupport.h"
#include "pulseserver.h"
#include "videofixture.h"

#include <gtest/gtest.h>

namespace parvex {

namespace {

using namespace std::chrono_literals;
using Clock = MonitorRecorder::Clock;

constexpr std::int64_t kSecond = 10'000'000;
// What the user may wait for after pressing Play.
constexpr auto kHeardWithin = 500ms;
// How long the file waits, paused, before Play: without the warm-up the first Play was heard
// about this much later.
constexpr auto kWaitBeforePlay = 2s;

class PulseOutputTest : public testing::Test
{
protected:
    void SetUp() override
    {
        const std::string missing = MissingElement(
            { "playbin", "pulsesink", "pulsesrc", "appsink", "mpegaudioparse", "mpg123audiodec" });
        if (!missing.empty())
            GTEST_SKIP() << missing;
        server.emplace(dir / "pulse");
        if (!server->running())
            GTEST_SKIP() << "No PulseAudio server for this test: " << server->problem();
        std::string problem;
        ASSERT_TRUE(MakeMp3(dir / "tone.mp3", { 6.0 }, &problem)) << problem;
        monitor.emplace(server->address(), PulseServer::kMonitor);
        ASSERT_TRUE(monitor->start(&problem)) << problem;

        CPreviewPlayer::Services services;
        services.createGraph
            = GstMediaGraphFactory(QStringLiteral("pulsesink server=\"%1\" device=%2")
                                       .arg(QString::fromStdString(server->address()),
                                           QString::fromLatin1(PulseServer::kSink)));
        services.view = std::make_unique<FakeVideoView>(std::make_shared<FakeVideoView::Log>());
        services.reportFailure = [this](const QString& text) {
            failures << text;
        };
        player = std::make_unique<CPreviewPlayer>(&owner, std::move(services));
    }

    void TearDown() override
    {
        player.reset(); // before the server it plays to
        monitor.reset();
    }

    // Presses Play and returns how long after it the monitor first heard sound.
    std::optional<std::chrono::milliseconds> playAndListen()
    {
        monitor->forget();
        const Clock::time_point pressed = Clock::now();
        player->Play();
        if (!PumpUntil([&] { return monitor->firstSound().has_value(); }, 5s))
            return std::nullopt;
        return std::chrono::duration_cast<std::chrono::milliseconds>(
            *monitor->firstSound() - pressed);
    }

    TempDir dir;
    std::optional<PulseServer> server;
    std::optional<MonitorRecorder> monitor;
    RecordingOwner owner;
    QStringList failures;
    std::unique_ptr<CPreviewPlayer> player;
};

TEST_F(PulseOutputTest, playIsHeardAtOnceAfterTheFileWaitedPaused)
{
    ASSERT_EQ(player->OpenMedia(QString::fromStdString((dir / "tone.mp3").string())), 1);
    PumpFor(kWaitBeforePlay);
    EXPECT_FALSE(monitor->firstSound().has_value()) << "sound before Play";

    auto delay = playAndListen();
    ASSERT_TRUE(delay) << "Play was not heard";
    EXPECT_LT(*delay, kHeardWithin) << "the first Play after opening";

    // A flushing seek while paused, then Play again after a wait.
    player->Pause();
    player->SeekTo(2 * kSecond);
    PumpFor(kWaitBeforePlay);
    delay = playAndListen();
    ASSERT_TRUE(delay) << "Play was not heard";
    EXPECT_LT(*delay, kHeardWithin) << "Play after a seek while paused";
    EXPECT_TRUE(failures.isEmpty()) << failures.join(u'\n').toStdString();
}

} // namespace

} // namespace parvex
