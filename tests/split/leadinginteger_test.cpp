// SPDX-License-Identifier: GPL-3.0-or-later
// The leading-integer reading the number boxes and the command line share.
#include "leadinginteger.h"

#include <gtest/gtest.h>

#include <limits>

namespace parvex {

namespace {

constexpr auto Max = std::numeric_limits<std::int32_t>::max();
constexpr auto Min = std::numeric_limits<std::int32_t>::min();

struct Case
{
    const char* text;
    std::optional<std::int32_t> value;
};

} // namespace

TEST(LeadingInteger, readsLikeScanfPercentD)
{
    const Case cases[] = {
        { "45", 45 },
        { "  \t\n45", 45 },
        { "+30", 30 },
        { "-150", -150 },
        { "45s", 45 },
        { "1e3", 1 },
        { "0x10", 0 },
        { "007", 7 },
        { "12 34", 12 },
        { "", std::nullopt },
        { "   ", std::nullopt },
        { "abc", std::nullopt },
        { "-", std::nullopt },
        { "+ 5", std::nullopt },
        { "--5", std::nullopt },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ParseLeadingInteger(c.text), c.value);
    }
}

TEST(LeadingInteger, clampsToTheInt32Range)
{
    EXPECT_EQ(ParseLeadingInteger("2147483647"), Max);
    EXPECT_EQ(ParseLeadingInteger("2147483648"), Max);
    EXPECT_EQ(ParseLeadingInteger("-2147483648"), Min);
    EXPECT_EQ(ParseLeadingInteger("-2147483649"), Min);
    EXPECT_EQ(ParseLeadingInteger("99999999999999999999999999999"), Max);
    EXPECT_EQ(ParseLeadingInteger("-99999999999999999999999999999"), Min);
}

TEST(LeadingInteger, stopsAtTheViewEnd)
{
    const std::string_view text = std::string_view("123456").substr(0, 3);
    EXPECT_EQ(ParseLeadingInteger(text), 123);
}

} // namespace parvex
