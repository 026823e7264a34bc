// SPDX-License-Identifier: GPL-3.0-or-later
// A media graph whose answers a test sets directly and whose calls it reads back afterwards.
#pragma once

#include "mediagraph.h"

#include <QStringList>

#include <deque>
#include <functional>
#include <memory>

namespace parvex {

// The graph is owned by the player under test, so what a test sets and reads lives in a
// shared Script that outlives it: make a Script, hand factory(script) to the player, then
// set answers, raise events and read the calls on the Script.
class FakeMediaGraph final : public MediaGraph
{
public:
    struct Script
    {
        // What the graph answers.
        HResult renderResult = hr::Ok;
        QStringList missingPlugins; // what a failed render lacked
        HResult runResult = hr::Ok;
        HResult pauseResult = hr::Ok;
        HResult stopResult = hr::Ok;
        HResult positionResult = hr::Ok;
        HResult stopPositionResult = hr::Ok;
        HResult seekResult = hr::Ok;
        HResult rateResult = hr::Ok;
        HResult notifyResult = hr::Ok;
        std::int64_t position = 0; // media time; a successful setPosition() moves it
        std::int64_t length = 0; // media time answered by stopPosition()
        bool hasVideo = false;
        HResult videoPresenceFailure = hr::Ok; // a failure here wins over hasVideo
        QSize videoSize { 320, 240 };

        // What was asked, in order: "renderFile <path>", "run", "pause", "stop",
        // "setPosition <t>", "setRate <r>", "setNotifyReceiver" / "setNotifyReceiver null",
        // "destroyed". Queries (positions, video presence and size, events) are not logged.
        QStringList calls;
        QObject* receiver = nullptr;
        bool alive = false;

        // Queues `event` and posts PlayerEvents::GraphNotify to the receiver, as a real graph
        // does from its streaming threads.
        void raiseEvent(GraphEventCode code, const QString& text = {});
        // Makes `frame` the newest frame and posts PlayerEvents::VideoFrame.
        void deliverFrame(const QImage& frame);

        std::deque<GraphEvent> events;
        QImage frame;
    };

    explicit FakeMediaGraph(std::shared_ptr<Script> script);
    ~FakeMediaGraph() override;

    // A CPreviewPlayer graph factory; null graphs when `fail` is set.
    static std::function<std::unique_ptr<MediaGraph>()> factory(
        std::shared_ptr<Script> script, bool fail = false);

    HResult renderFile(const QString& path) override;
    QStringList missingPlugins() const override { return m_script->missingPlugins; }
    HResult run() override;
    HResult pause() override;
    HResult stop() override;
    HResult currentPosition(std::int64_t& mediaTime) override;
    HResult stopPosition(std::int64_t& mediaTime) override;
    HResult setPosition(std::int64_t mediaTime) override;
    HResult setRate(double rate) override;
    HResult videoPresence() override;
    HResult videoSize(QSize& size) override;
    HResult setNotifyReceiver(QObject* receiver) override;
    std::optional<GraphEvent> nextEvent() override;
    QImage takeFrame() override;

private:
    std::shared_ptr<Script> m_script;
};

} // namespace parvex
