// SPDX-License-Identifier: GPL-3.0-or-later
// The fixture of the CPreviewPlayer tests: a scripted graph, a recording view and owner.
#pragma once

#include "cpreviewplayer.h"
#include "fakemediagraph.h"
#include "fakevideoview.h"
#include "playertestsupport.h"

#include <gtest/gtest.h>

#include <memory>

namespace parvex {

using Script = FakeMediaGraph::Script;

inline constexpr std::int64_t kSecond = 10'000'000;

class PreviewPlayerTest : public testing::Test
{
protected:
    std::shared_ptr<Script> graph = std::make_shared<Script>();
    std::shared_ptr<FakeVideoView::Log> view = std::make_shared<FakeVideoView::Log>();
    QStringList failures;
    std::int64_t nowMs = 5'000'000;
    RecordingOwner owner; // outlives the player
    std::unique_ptr<CPreviewPlayer> player = makePlayer(false);

    std::unique_ptr<CPreviewPlayer> makePlayer(bool graphCannotBeCreated)
    {
        CPreviewPlayer::Services services;
        services.createGraph = FakeMediaGraph::factory(graph, graphCannotBeCreated);
        services.view = std::make_unique<FakeVideoView>(view);
        services.reportFailure = [this](const QString& text) {
            failures << text;
        };
        services.clock = [this] {
            return nowMs;
        };
        return std::make_unique<CPreviewPlayer>(&owner, std::move(services));
    }

    // Opens and forgets the calls made while opening.
    void open(const QString& path = QStringLiteral("/music/song.mp3"))
    {
        ASSERT_EQ(player->OpenMedia(path), 1);
        graph->calls.clear();
        view->calls.clear();
    }

    void openVideo(QSize size)
    {
        graph->hasVideo = true;
        graph->videoSize = size;
        open(QStringLiteral("/videos/clip.avi"));
    }
};

} // namespace parvex
