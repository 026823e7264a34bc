// SPDX-License-Identifier: GPL-3.0-or-later
// The deep-zoom worker: the frame index once per source, then each asked stretch decoded and
// folded into pixel columns.
#include "stretchloader.h"

#include "streamscan.h"
#include "stretchdecode.h"

#include <QMetaObject>

#include <algorithm>

namespace parvex {

namespace {

// The stretch's samples folded into columns [first, end) at spp.
StretchColumns foldColumns(
    const SampleStretch& stretch, std::int64_t spp, std::int64_t first, std::int64_t end)
{
    StretchColumns out { spp, first, end, stretch.channels, {} };
    const int channels = std::clamp(stretch.channels, 1, 2);
    for (std::int64_t c = first; c < end; ++c) {
        const std::int64_t from = c * spp - stretch.begin;
        const std::int64_t to = std::min((c + 1) * spp - stretch.begin, stretch.frames());
        if (from >= to)
            break;
        SampleColumn column;
        for (int ch = 0; ch < channels; ++ch) {
            const std::int16_t value = stretch.samples[std::size_t(from * stretch.channels + ch)];
            column.min[std::size_t(ch)] = column.max[std::size_t(ch)] = value;
        }
        for (std::int64_t i = from; i < to; ++i)
            for (int ch = 0; ch < channels; ++ch) {
                const std::int16_t value = stretch.samples[std::size_t(i * stretch.channels + ch)];
                auto& low = column.min[std::size_t(ch)];
                auto& high = column.max[std::size_t(ch)];
                low = std::min(low, value);
                high = std::max(high, value);
            }
        out.columns.push_back(column);
    }
    return out;
}

} // namespace

StretchLoader::StretchLoader(QObject* parent)
    : QObject(parent)
{ }

StretchLoader::~StretchLoader()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stop = true;
        m_cancelJob = true;
    }
    m_wake.notify_one();
    if (m_worker.joinable())
        m_worker.join();
}

void StretchLoader::setSource(const QString& path)
{
    m_path = path;
    ++m_generation;
    m_columns.reset();
    m_asked.reset();
    const std::lock_guard lock(m_mutex);
    m_pending.reset();
    m_cancelJob = true;
}

void StretchLoader::request(std::int64_t samplesPerPixel, std::int64_t first, std::int64_t end)
{
    if (m_path.isEmpty() || samplesPerPixel <= 0 || end <= first)
        return;
    const auto covered = [&](std::int64_t spp, std::int64_t from, std::int64_t to) {
        return spp == samplesPerPixel && first >= from && end <= to;
    };
    if ((m_columns && m_columns->covers(samplesPerPixel, first, end))
        || (m_asked && covered(m_asked->samplesPerPixel, m_asked->first, m_asked->end)))
        return;
    const std::int64_t margin = (end - first) / 4;
    m_asked = Job { m_path.toStdString(), samplesPerPixel,
        std::max<std::int64_t>(first - margin, 0), end + margin, m_generation };
    {
        const std::lock_guard lock(m_mutex);
        m_pending = m_asked;
        m_cancelJob = true;
    }
    m_wake.notify_one();
    if (!m_worker.joinable())
        m_worker = std::thread([this] { run(); });
}

void StretchLoader::run()
{
    std::string indexed; // the path whose index `source` holds
    std::optional<StretchSource> source;
    for (;;) {
        Job job;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] { return m_stop || m_pending; });
            if (m_stop)
                return;
            job = std::move(*m_pending);
            m_pending.reset();
            m_cancelJob = false;
        }
        if (job.path != indexed) {
            indexed = job.path;
            source.reset();
            // A source the exact engine cannot index (not Layer III, free format, ...) keeps the
            // summary's flat blocks at deep zoom.
            if (auto outcome = IndexMp3Stream(job.path); outcome.index)
                source = StretchSourceOf(
                    job.path, std::make_shared<const StreamIndex>(std::move(*outcome.index)));
        }
        if (!source)
            continue;
        std::string error;
        const auto stretch = DecodeStretch(*source, job.first * job.samplesPerPixel,
            job.end * job.samplesPerPixel, &m_cancelJob, &error);
        if (!stretch)
            continue;
        deliver(job.generation,
            std::make_shared<const StretchColumns>(
                foldColumns(*stretch, job.samplesPerPixel, job.first, job.end)));
    }
}

void StretchLoader::deliver(int generation, std::shared_ptr<const StretchColumns> columns)
{
    QMetaObject::invokeMethod(
        this,
        [this, generation, columns = std::move(columns)] {
            if (generation != m_generation)
                return;
            m_columns = columns;
            Q_EMIT columnsReady();
        },
        Qt::QueuedConnection);
}

} // namespace parvex
