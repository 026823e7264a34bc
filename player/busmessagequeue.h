// SPDX-License-Identifier: GPL-3.0-or-later
// Messages taken off a pipeline's bus on the posting thread, for the GUI thread to drain.
#pragma once

#include "gstptr.h"

#include <gst/gst.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>

namespace parvex {

class NotifyTarget;

// A bus sync handler runs on whichever thread posts a message. It keeps end-of-stream, error,
// warning, async-done and missing-plug-in messages here (dropping the rest) and only then posts
// PlayerEvents::GraphNotify, so that a receiver woken by the event always finds the message.
// The GUI thread drains with pop(), which never waits.
class BusMessageQueue
{
public:
    explicit BusMessageQueue(NotifyTarget& notify);
    ~BusMessageQueue();
    BusMessageQueue(const BusMessageQueue&) = delete;
    BusMessageQueue& operator=(const BusMessageQueue&) = delete;

    // Installs the sync handler on `bus` (not owned), which must outlive attach() .. detach().
    void attach(GstBus* bus);
    void detach();

    // The oldest kept message, or null at once when none waits.
    GstMessagePtr pop();
    // Blocks until a message of one of `types` arrives or `timeout` passes (then null). Kept
    // messages of other types met meanwhile are dropped.
    GstMessagePtr waitFor(GstMessageType types, std::chrono::milliseconds timeout);
    void clear();
    // Drops the kept messages of `types`, keeping the others in their order.
    void discard(GstMessageType types);
    bool empty() const;

private:
    static GstBusSyncReply onBusMessage(GstBus* bus, GstMessage* message, gpointer self);
    void keep(GstMessage* message);

    NotifyTarget& m_notify;
    GstBus* m_bus = nullptr; // not owned
    mutable std::mutex m_mutex;
    std::condition_variable m_arrived;
    std::deque<GstMessagePtr> m_messages; // guarded by m_mutex
};

} // namespace parvex
