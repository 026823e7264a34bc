// SPDX-License-Identifier: GPL-3.0-or-later
// A one-line progress indicator for a terminal, redrawn in place with a carriage return.
#pragma once

#include <chrono>
#include <cstdint>
#include <ostream>
#include <string>

namespace parvex {

class ProgressLine
{
public:
    using Clock = std::chrono::steady_clock;

    explicit ProgressLine(std::ostream& out, std::chrono::milliseconds interval = kInterval);

    // Redraws at most once per interval, and always for the final count, so that a copy that
    // reports every few blocks costs no terminal output to speak of.
    void update(std::int64_t bytesDone, std::int64_t bytesTotal, Clock::time_point now);
    void update(std::int64_t bytesDone, std::int64_t bytesTotal)
    {
        update(bytesDone, bytesTotal, Clock::now());
    }
    // Ends the line with a newline when anything was drawn; the next update starts a new one.
    void finish();

    // "  37% 123.4 MiB of 333.0 MiB"
    static std::string format(std::int64_t bytesDone, std::int64_t bytesTotal);

    static constexpr std::chrono::milliseconds kInterval { 200 };

private:
    std::ostream& m_out;
    std::chrono::milliseconds m_interval;
    bool m_drawn = false;
    Clock::time_point m_lastDraw {};
    std::size_t m_lastWidth = 0;
};

} // namespace parvex
