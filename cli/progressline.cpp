// SPDX-License-Identifier: GPL-3.0-or-later
// A one-line progress indicator for a terminal, redrawn in place with a carriage return.
#include "progressline.h"

#include <algorithm>
#include <cstdio>

namespace parvex {

ProgressLine::ProgressLine(std::ostream& out, std::chrono::milliseconds interval)
    : m_out(out)
    , m_interval(interval)
{ }

void ProgressLine::update(std::int64_t bytesDone, std::int64_t bytesTotal, Clock::time_point now)
{
    const bool final = bytesDone >= bytesTotal;
    if (m_drawn && !final && now - m_lastDraw < m_interval)
        return;
    std::string text = format(bytesDone, bytesTotal);
    const std::size_t width = text.size();
    // Blanks over whatever a longer previous text left on the line.
    text.append(m_lastWidth > width ? m_lastWidth - width : 0, ' ');
    m_out << '\r' << text << std::flush;
    m_drawn = true;
    m_lastDraw = now;
    m_lastWidth = width;
}

void ProgressLine::finish()
{
    if (!m_drawn)
        return;
    m_out << '\n' << std::flush;
    m_drawn = false;
    m_lastWidth = 0;
}

std::string ProgressLine::format(std::int64_t bytesDone, std::int64_t bytesTotal)
{
    constexpr double mib = 1024.0 * 1024.0;
    const std::int64_t done = std::clamp<std::int64_t>(bytesDone, 0, bytesTotal);
    const std::int64_t percent = bytesTotal > 0 ? done * 100 / bytesTotal : 100;
    char text[96];
    std::snprintf(text, sizeof text, "%4d%% %.1f MiB of %.1f MiB", static_cast<int>(percent),
        static_cast<double>(done) / mib, static_cast<double>(bytesTotal) / mib);
    return text;
}

} // namespace parvex
