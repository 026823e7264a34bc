// SPDX-License-Identifier: GPL-3.0-or-later
// The sync handler owns each message it returns GST_BUS_DROP for; here it keeps or unrefs it.
#include "busmessagequeue.h"

#include "notifytarget.h"
#include "playerevents.h"

#include <gst/pbutils/missing-plugins.h>

namespace parvex {

namespace {

constexpr auto kKeptTypes = static_cast<GstMessageType>(
    GST_MESSAGE_EOS | GST_MESSAGE_ERROR | GST_MESSAGE_WARNING | GST_MESSAGE_ASYNC_DONE);

bool kept(GstMessage* message)
{
    if ((GST_MESSAGE_TYPE(message) & kKeptTypes) != 0)
        return true;
    return GST_MESSAGE_TYPE(message) == GST_MESSAGE_ELEMENT
        && gst_is_missing_plugin_message(message);
}

} // namespace

BusMessageQueue::BusMessageQueue(NotifyTarget& notify)
    : m_notify(notify)
{ }

BusMessageQueue::~BusMessageQueue()
{
    detach();
}

void BusMessageQueue::attach(GstBus* bus)
{
    detach();
    m_bus = bus;
    gst_bus_set_sync_handler(m_bus, &BusMessageQueue::onBusMessage, this, nullptr);
}

void BusMessageQueue::detach()
{
    if (m_bus)
        gst_bus_set_sync_handler(m_bus, nullptr, nullptr, nullptr);
    m_bus = nullptr;
}

GstBusSyncReply BusMessageQueue::onBusMessage(GstBus*, GstMessage* message, gpointer self)
{
    if (kept(message))
        static_cast<BusMessageQueue*>(self)->keep(message);
    else
        gst_message_unref(message);
    return GST_BUS_DROP;
}

void BusMessageQueue::keep(GstMessage* message)
{
    {
        const std::lock_guard lock(m_mutex);
        m_messages.emplace_back(message);
    }
    m_arrived.notify_all();
    m_notify.post(PlayerEvents::GraphNotify);
}

GstMessagePtr BusMessageQueue::pop()
{
    const std::lock_guard lock(m_mutex);
    if (m_messages.empty())
        return nullptr;
    GstMessagePtr message = std::move(m_messages.front());
    m_messages.pop_front();
    return message;
}

GstMessagePtr BusMessageQueue::waitFor(GstMessageType types, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    std::unique_lock lock(m_mutex);
    for (;;) {
        while (!m_messages.empty()) {
            GstMessagePtr message = std::move(m_messages.front());
            m_messages.pop_front();
            if ((GST_MESSAGE_TYPE(message.get()) & types) != 0)
                return message;
        }
        if (m_arrived.wait_until(lock, deadline) == std::cv_status::timeout && m_messages.empty())
            return nullptr;
    }
}

void BusMessageQueue::clear()
{
    const std::lock_guard lock(m_mutex);
    m_messages.clear();
}

void BusMessageQueue::discard(GstMessageType types)
{
    const std::lock_guard lock(m_mutex);
    std::erase_if(m_messages, [types](const GstMessagePtr& message) {
        return (GST_MESSAGE_TYPE(message.get()) & types) != 0;
    });
}

bool BusMessageQueue::empty() const
{
    const std::lock_guard lock(m_mutex);
    return m_messages.empty();
}

} // namespace parvex
