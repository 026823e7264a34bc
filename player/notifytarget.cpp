// SPDX-License-Identifier: GPL-3.0-or-later
// Posting under the same lock that guards the receiver is what makes clearing it final.
#include "notifytarget.h"

#include <QCoreApplication>

namespace parvex {

void NotifyTarget::setReceiver(QObject* receiver)
{
    const std::lock_guard lock(m_mutex);
    m_receiver = receiver;
}

void NotifyTarget::post(QEvent::Type type)
{
    const std::lock_guard lock(m_mutex);
    if (m_receiver)
        QCoreApplication::postEvent(m_receiver, new QEvent(type));
}

} // namespace parvex
