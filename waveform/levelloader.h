// SPDX-License-Identifier: GPL-3.0-or-later
// Decodes (or takes from the cache) a source's level summary on a worker thread for the window.
#pragma once

#include "levelcache.h"
#include "partiallevels.h"

#include <QObject>
#include <QString>

#include <atomic>
#include <memory>
#include <thread>

namespace parvex {

// One load per loader. The worker never touches a QObject: it posts its progress and result to
// the loader's thread as queued calls, which Qt drops if the loader is gone by then. Cancelling
// (cancel() or the destructor) sets a flag the decoder reads between frames, so the worker ends
// within a few milliseconds; the destructor then joins it.
class LevelLoader : public QObject
{
    Q_OBJECT
public:
    explicit LevelLoader(QObject* parent = nullptr);
    ~LevelLoader() override;

    // Starts the load of `path` through `decode` (CachedLevels in the window; a test's stand-in).
    void start(const QString& path);
    void start(const QString& path, LevelDecoder decode);
    void cancel();
    bool isRunning() const { return m_running; }

Q_SIGNALS:
    // A fraction in [0, 1], at most about a hundred times a load.
    void progress(double fraction);
    // Blocks decoded so far that were not handed over before, at most about ten times a second
    // (one chunk for each decoding thread that has new ones). Not emitted for a cached summary.
    void blocksDecoded(std::shared_ptr<const parvex::LevelBlocksChunk> chunk);
    void loaded(std::shared_ptr<const parvex::LevelSummary> levels);
    // Why the summary could not be made; not emitted after cancel().
    void failed(const QString& reason);

private:
    // The LevelProgress of one run, posting to this loader's thread.
    LevelProgress reporter(int generation, const std::atomic<bool>* cancelled);
    void finish(int generation, std::shared_ptr<const LevelSummary> levels, const QString& error);

    std::shared_ptr<std::atomic<bool>> m_cancel;
    std::thread m_worker;
    bool m_running = false;
    int m_generation = 0; // of the latest start(); older runs' queued calls are dropped
};

} // namespace parvex
