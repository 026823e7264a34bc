// SPDX-License-Identifier: GPL-3.0-or-later
// The progress line: its text, and how often it draws.
#include "progressline.h"

#include <gtest/gtest.h>

#include <sstream>

namespace parvex {

namespace {

using namespace std::chrono_literals;
constexpr std::int64_t kMiB = 1 << 20;

TEST(ProgressLine, formatsPercentAndMebibytes)
{
    EXPECT_EQ(
        ProgressLine::format(123 * kMiB + kMiB / 2, 333 * kMiB), "  37% 123.5 MiB of 333.0 MiB");
    EXPECT_EQ(ProgressLine::format(333 * kMiB, 333 * kMiB), " 100% 333.0 MiB of 333.0 MiB");
    EXPECT_EQ(ProgressLine::format(0, 0), " 100% 0.0 MiB of 0.0 MiB");
}

TEST(ProgressLine, drawsAtMostOncePerIntervalButAlwaysTheEnd)
{
    std::ostringstream out;
    ProgressLine line(out, 200ms);
    const ProgressLine::Clock::time_point t0 {};
    line.update(1 * kMiB, 100 * kMiB, t0);
    line.update(2 * kMiB, 100 * kMiB, t0 + 100ms);
    line.update(50 * kMiB, 100 * kMiB, t0 + 250ms);
    line.update(100 * kMiB, 100 * kMiB, t0 + 260ms);
    line.finish();
    line.finish();
    EXPECT_EQ(out.str(),
        "\r   1% 1.0 MiB of 100.0 MiB"
        "\r  50% 50.0 MiB of 100.0 MiB"
        "\r 100% 100.0 MiB of 100.0 MiB\n");
}

TEST(ProgressLine, blanksWhatALongerTextLeft)
{
    const ProgressLine::Clock::time_point t0 {};
    std::ostringstream shorter;
    ProgressLine second(shorter, 0ms);
    second.update(1000 * kMiB, 2000 * kMiB, t0);
    second.update(1 * kMiB, 2 * kMiB, t0 + 1ms);
    EXPECT_EQ(shorter.str(),
        "\r  50% 1000.0 MiB of 2000.0 MiB"
        "\r  50% 1.0 MiB of 2.0 MiB      ");
}

} // namespace

} // namespace parvex
