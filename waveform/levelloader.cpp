// SPDX-License-Identifier: GPL-3.0-or-later
// The level summary's worker thread and the queued calls that bring its results back.
#include "levelloader.h"

#include <QMetaObject>

#include <chrono>
#include <cmath>
#include <optional>

namespace parvex {

namespace {
using Clock = std::chrono::steady_clock;
constexpr std::chrono::milliseconds kPartialPeriod { 100 };
} // namespace

LevelLoader::LevelLoader(QObject* parent)
    : QObject(parent)
{
    qRegisterMetaType<std::shared_ptr<const LevelSummary>>();
    qRegisterMetaType<std::shared_ptr<const LevelBlocksChunk>>();
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
        const LevelProgress report = reporter(generation, cancelled.get());
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

LevelProgress LevelLoader::reporter(int generation, const std::atomic<bool>* cancelled)
{
    LevelProgress report;
    report.cancel = cancelled;
    // Reported only when the percentage changes: the decoder calls a few hundred times.
    report.report = [this, generation, lastPercent = -1](double fraction) mutable {
        const int percent = int(std::lround(fraction * 100));
        if (percent == lastPercent)
            return;
        lastPercent = percent;
        QMetaObject::invokeMethod(
            this,
            [this, fraction, generation] {
                if (generation == m_generation && m_running)
                    Q_EMIT progress(fraction);
            },
            Qt::QueuedConnection);
    };
    // The first blocks at once, then the new ones every kPartialPeriod: each block is copied
    // once on its way over.
    report.partial
        = [this, generation, sent = std::array<std::size_t, 2> {},
              last = std::optional<Clock::time_point>()](const LevelBlocksSoFar& soFar) mutable {
              const auto now = Clock::now();
              if (last && now - *last < kPartialPeriod)
                  return;
              for (auto& chunk : TakeNewBlocks(soFar, sent)) {
                  last = now;
                  QMetaObject::invokeMethod(
                      this,
                      [this, generation,
                          shared = std::make_shared<const LevelBlocksChunk>(std::move(chunk))] {
                          if (generation == m_generation && m_running)
                              Q_EMIT blocksDecoded(shared);
                      },
                      Qt::QueuedConnection);
              }
          };
    return report;
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
