// SPDX-License-Identifier: GPL-3.0-or-later
// The level summary's worker thread and the queued calls that bring its results back.
#include "levelloader.h"

#include <QMetaObject>

#include <cmath>

namespace parvex {

LevelLoader::LevelLoader(QObject* parent)
    : QObject(parent)
{
    qRegisterMetaType<std::shared_ptr<const LevelSummary>>();
}

LevelLoader::~LevelLoader()
{
    cancel();
    if (m_worker.joinable())
        m_worker.join();
}

void LevelLoader::start(const QString& path)
{
    start(path, [](const std::string& source, const LevelProgress& progress, std::string* error) {
        return CachedLevels(source, progress, error);
    });
}

void LevelLoader::start(const QString& path, LevelDecoder decode)
{
    cancel();
    if (m_worker.joinable())
        m_worker.join();
    m_cancel = std::make_shared<std::atomic<bool>>(false);
    m_running = true;
    const int generation = ++m_generation;
    m_worker = std::thread([this, source = path.toStdString(), decode = std::move(decode),
                               cancelled = m_cancel, generation] {
        // Reported only when the percentage changes: the decoder calls a few hundred times.
        auto lastPercent = std::make_shared<int>(-1);
        LevelProgress report;
        report.cancel = cancelled.get();
        report.report = [this, lastPercent, generation](double fraction) {
            const int percent = int(std::lround(fraction * 100));
            if (percent == *lastPercent)
                return;
            *lastPercent = percent;
            QMetaObject::invokeMethod(
                this,
                [this, fraction, generation] {
                    if (generation == m_generation && m_running)
                        Q_EMIT progress(fraction);
                },
                Qt::QueuedConnection);
        };
        std::string error;
        auto levels = decode(source, report, &error);
        if (cancelled->load())
            return;
        std::shared_ptr<const LevelSummary> result;
        if (levels)
            result = std::make_shared<const LevelSummary>(std::move(*levels));
        QMetaObject::invokeMethod(
            this,
            [this, result, message = QString::fromStdString(error), generation] {
                finish(generation, result, message);
            },
            Qt::QueuedConnection);
    });
}

void LevelLoader::cancel()
{
    if (m_cancel)
        m_cancel->store(true);
    m_running = false;
}

void LevelLoader::finish(
    int generation, std::shared_ptr<const LevelSummary> levels, const QString& error)
{
    // A result queued just before a cancel or another start is not delivered after it.
    if (generation != m_generation || !m_running)
        return;
    m_running = false;
    if (levels)
        Q_EMIT loaded(std::move(levels));
    else
        Q_EMIT failed(error);
}

} // namespace parvex
