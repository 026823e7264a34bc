// SPDX-License-Identifier: GPL-3.0-or-later
// The fake answers from its Script and logs every command, so a test reads like a call trace.
#include "fakemediagraph.h"

#include "playerevents.h"

#include <QCoreApplication>

#include <utility>

namespace parvex {

void FakeMediaGraph::Script::raiseEvent(GraphEventCode code, const QString& text)
{
    events.push_back({ code, text });
    if (receiver)
        QCoreApplication::postEvent(receiver, new QEvent(PlayerEvents::GraphNotify));
}

void FakeMediaGraph::Script::deliverFrame(const QImage& newest)
{
    frame = newest;
    if (receiver)
        QCoreApplication::postEvent(receiver, new QEvent(PlayerEvents::VideoFrame));
}

FakeMediaGraph::FakeMediaGraph(std::shared_ptr<Script> script)
    : m_script(std::move(script))
{
    m_script->alive = true;
}

FakeMediaGraph::~FakeMediaGraph()
{
    m_script->alive = false;
    m_script->receiver = nullptr;
    m_script->calls << QStringLiteral("destroyed");
}

std::function<std::unique_ptr<MediaGraph>()> FakeMediaGraph::factory(
    std::shared_ptr<Script> script, bool fail)
{
    return [script, fail]() -> std::unique_ptr<MediaGraph> {
        if (fail)
            return nullptr;
        return std::make_unique<FakeMediaGraph>(script);
    };
}

HResult FakeMediaGraph::renderFile(const QString& path)
{
    m_script->calls << QStringLiteral("renderFile ") + path;
    return m_script->renderResult;
}

HResult FakeMediaGraph::run()
{
    m_script->calls << QStringLiteral("run");
    return m_script->runResult;
}

HResult FakeMediaGraph::pause()
{
    m_script->calls << QStringLiteral("pause");
    return m_script->pauseResult;
}

HResult FakeMediaGraph::stop()
{
    m_script->calls << QStringLiteral("stop");
    return m_script->stopResult;
}

HResult FakeMediaGraph::currentPosition(std::int64_t& mediaTime)
{
    if (!hr::failed(m_script->positionResult))
        mediaTime = m_script->position;
    return m_script->positionResult;
}

HResult FakeMediaGraph::stopPosition(std::int64_t& mediaTime)
{
    if (!hr::failed(m_script->stopPositionResult))
        mediaTime = m_script->length;
    return m_script->stopPositionResult;
}

HResult FakeMediaGraph::setPosition(std::int64_t mediaTime)
{
    m_script->calls << QStringLiteral("setPosition %1").arg(mediaTime);
    if (!hr::failed(m_script->seekResult))
        m_script->position = mediaTime;
    return m_script->seekResult;
}

HResult FakeMediaGraph::setRate(double rate)
{
    m_script->calls << QStringLiteral("setRate %1").arg(rate);
    return m_script->rateResult;
}

HResult FakeMediaGraph::videoPresence()
{
    if (hr::failed(m_script->videoPresenceFailure))
        return m_script->videoPresenceFailure;
    return m_script->hasVideo ? hr::Ok : hr::NoInterface;
}

HResult FakeMediaGraph::videoSize(QSize& size)
{
    if (!m_script->hasVideo)
        return hr::NoInterface;
    size = m_script->videoSize;
    return hr::Ok;
}

HResult FakeMediaGraph::setNotifyReceiver(QObject* receiver)
{
    m_script->calls << (receiver ? QStringLiteral("setNotifyReceiver")
                                 : QStringLiteral("setNotifyReceiver null"));
    if (hr::failed(m_script->notifyResult))
        return m_script->notifyResult;
    m_script->receiver = receiver;
    return hr::Ok;
}

std::optional<GraphEvent> FakeMediaGraph::nextEvent()
{
    if (m_script->events.empty())
        return std::nullopt;
    GraphEvent next = m_script->events.front();
    m_script->events.pop_front();
    return next;
}

QImage FakeMediaGraph::takeFrame()
{
    return std::exchange(m_script->frame, QImage());
}

} // namespace parvex
