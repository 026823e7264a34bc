// SPDX-License-Identifier: GPL-3.0-or-later
// Helpers shared by the player tests: an owner that records events, an event pump.
#pragma once

#include <QEvent>
#include <QList>
#include <QObject>
#include <QString>

#include <chrono>
#include <functional>
#include <ostream>

namespace parvex {

// Readable QString and QStringList values in GoogleTest's failure messages.
void PrintTo(const QString& text, std::ostream* out);

// Stands in for the dialog: records the types of the events posted to it.
class RecordingOwner : public QObject
{
public:
    QList<QEvent::Type> received;
    int count(QEvent::Type type) const { return static_cast<int>(received.count(type)); }

protected:
    bool event(QEvent* event) override;
};

// Processes Qt events until `done` holds or `timeout` passes; returns whether `done` held.
bool PumpUntil(const std::function<bool()>& done,
    std::chrono::milliseconds timeout = std::chrono::seconds(10));
// Processes Qt events for `duration`, as a user's pause between two clicks.
void PumpFor(std::chrono::milliseconds duration);
// Processes the events already posted (and those they post), without waiting for more.
void PumpPosted();

} // namespace parvex
