// SPDX-License-Identifier: GPL-3.0-or-later
// RunCut's rules for requests without a source, which the window sends as its buttons are pressed.
#include "cutdispatcher.h"
#include "recordinghost.h"
#include "splitmessages.h"

#include <gtest/gtest.h>

namespace {

CutRequest withoutSource(CutSpec spec, bool exact, int* measured)
{
    CutRequest request;
    request.exact = exact;
    request.spec = std::move(spec);
    request.measureSeconds = [measured] {
        ++*measured;
        return std::optional<std::int64_t>(100);
    };
    return request;
}

class NoSource : public ::testing::TestWithParam<bool>
{
protected:
    std::vector<std::string> run(CutSpec spec)
    {
        RecordingHost host;
        EXPECT_EQ(RunCut(withoutSource(std::move(spec), GetParam(), &m_measured), host).status,
            SplitStatus::Stopped);
        return host.calls();
    }
    int m_measured = 0;
};

// The range asks for a source, before the length is measured.
TEST_P(NoSource, rangeSaysToOpenOneFirst)
{
    EXPECT_EQ(run(RangeSpec { {}, TimeMark::fromSeconds(5), "cut.mp3" }),
        std::vector<std::string>({ "error: " + std::string(SplitMessages::NoSource) }));
    EXPECT_EQ(m_measured, 0);
}

// Parts and pieces of a length: nothing at all is said.
TEST_P(NoSource, splitsDoNothing)
{
    EXPECT_TRUE(run(PartsSpec { 3 }).empty());
    EXPECT_TRUE(run(EverySpec { "60", TimeMark::fromSeconds(60) }).empty());
    EXPECT_EQ(m_measured, 0);
}

INSTANTIATE_TEST_SUITE_P(Engines, NoSource, ::testing::Values(false, true),
    [](const auto& param) { return param.param ? "exact" : "proportional"; });

} // namespace
