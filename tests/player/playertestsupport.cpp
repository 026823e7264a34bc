// SPDX-License-Identifier: GPL-3.0-or-later
// Event pumping with a deadline: no test can hang on a notification that never comes.
#include "playertestsupport.h"

#include <QCoreApplication>

#include <thread>

namespace parvex {

void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

bool RecordingOwner::event(QEvent* event)
{
    if (event->type() >= QEvent::User) {
        received << event->type();
        return true;
    }
    return QObject::event(event);
}

bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

void PumpFor(std::chrono::milliseconds duration)
{
    PumpUntil([] { return false; }, duration);
}

void PumpPosted()
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

} // namespace parvex
