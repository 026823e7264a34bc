// SPDX-License-Identifier: GPL-3.0-or-later
// The waveform's columns at deep zoom: the visible stretch's samples decoded on a worker thread.
#pragma once

#include <QObject>
#include <QString>

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace parvex {

// The least and greatest sample of one pixel column, per channel (the second unused in mono).
struct SampleColumn
{
    std::array<std::int16_t, 2> min {}, max {};
};

// Pixel columns [firstColumn, endColumn) at samplesPerPixel, each from the samples
// [c * samplesPerPixel, (c + 1) * samplesPerPixel); `columns` stops where the audio ends.
struct StretchColumns
{
    std::int64_t samplesPerPixel = 0, firstColumn = 0, endColumn = 0;
    int channels = 0;
    std::vector<SampleColumn> columns;

    bool covers(std::int64_t spp, std::int64_t first, std::int64_t end) const
    {
        return spp == samplesPerPixel && first >= firstColumn && end <= endColumn;
    }
    const SampleColumn* at(std::int64_t spp, std::int64_t column) const
    {
        return spp == samplesPerPixel && column >= firstColumn
                && column - firstColumn < std::ssize(columns)
            ? &columns[std::size_t(column - firstColumn)]
            : nullptr;
    }
};

// One worker thread, started by the first request, decodes one stretch at a time; a request
// that the columns at hand or those on their way do not cover replaces the one pending and
// cancels the one running (read between frames). The source's frame index is built once, on the
// worker, by its first request. The GUI thread never waits for the worker, except in the
// destructor, which stops it (an index walk under way is finished first).
class StretchLoader : public QObject
{
    Q_OBJECT
public:
    explicit StretchLoader(QObject* parent = nullptr);
    ~StretchLoader() override;

    // The MP3 whose samples are wanted (empty: none); drops the columns of the one before.
    void setSource(const QString& path);
    // Wants pixel columns [first, end) at `samplesPerPixel` (a little more each side is decoded,
    // for a short scroll); columnsReady() when they are in columns().
    void request(std::int64_t samplesPerPixel, std::int64_t first, std::int64_t end);
    std::shared_ptr<const StretchColumns> columns() const { return m_columns; }

Q_SIGNALS:
    void columnsReady();

private:
    struct Job
    {
        std::string path;
        std::int64_t samplesPerPixel = 0, first = 0, end = 0;
        int generation = 0;
    };
    void run();
    void deliver(int generation, std::shared_ptr<const StretchColumns> columns);

    // The GUI thread's.
    QString m_path;
    int m_generation = 0; // of the source; older sources' columns are dropped
    std::shared_ptr<const StretchColumns> m_columns;
    std::optional<Job> m_asked; // the last job handed to the worker

    // Shared with the worker, under m_mutex.
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::optional<Job> m_pending;
    bool m_stop = false;
    std::atomic<bool> m_cancelJob { false }; // read by the running decode
    std::thread m_worker;
};

} // namespace parvex
