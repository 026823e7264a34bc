// SPDX-License-Identifier: GPL-3.0-or-later
// The QObject a media graph posts its notifications to, safe to use from streaming threads.
#pragma once

#include <QEvent>

#include <mutex>

class QObject;

namespace parvex {

// Streaming threads post through it while the GUI thread may change or clear the receiver:
// once setReceiver(nullptr) has returned, nothing more is posted, so the receiver may go.
// Events are posted, never sent: the receiver handles them on its own (GUI) thread.
class NotifyTarget
{
public:
    void setReceiver(QObject* receiver);
    // Any thread. Does nothing while no receiver is set.
    void post(QEvent::Type type);

private:
    std::mutex m_mutex;
    QObject* m_receiver = nullptr; // not owned; guarded by m_mutex
};

} // namespace parvex
