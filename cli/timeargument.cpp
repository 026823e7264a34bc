// SPDX-License-Identifier: GPL-3.0-or-later
// Reads a time argument strictly: a typo must never become a different cut.
#include "timeargument.h"

#include <charconv>
#include <cstdint>
#include <limits>
#include <vector>

namespace parvex {

namespace {

constexpr int kFractionDigits = 9; // nanoseconds; further digits are below any sample

std::vector<std::string_view> splitFields(std::string_view text)
{
    std::vector<std::string_view> fields;
    for (;;) {
        const auto colon = text.find(':');
        fields.push_back(text.substr(0, colon));
        if (colon == std::string_view::npos)
            return fields;
        text.remove_prefix(colon + 1);
    }
}

bool isDigits(std::string_view text)
{
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

std::optional<std::int32_t> wholeField(std::string_view text)
{
    if (!isDigits(text))
        return std::nullopt;
    std::int32_t value = 0;
    const auto [stop, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || stop != text.data() + text.size())
        return std::nullopt;
    return value;
}

std::optional<std::int32_t> fractionField(std::string_view digits)
{
    if (!isDigits(digits))
        return std::nullopt;
    std::int32_t nanoseconds = 0;
    for (int i = 0; i < kFractionDigits; ++i) {
        const int digit = i < std::ssize(digits) ? digits[static_cast<std::size_t>(i)] - '0' : 0;
        nanoseconds = nanoseconds * 10 + digit;
    }
    return nanoseconds;
}

std::string notATime(std::string_view text)
{
    return "\"" + std::string(text) + "\" is not a time (H:M:S, M:S or S, e.g. 1:02.250)";
}

} // namespace

std::optional<TimeMark> ParseTimeArgument(std::string_view text, std::string* error)
{
    const auto refuse = [&]() -> std::optional<TimeMark> {
        if (error)
            *error = notATime(text);
        return std::nullopt;
    };
    std::string_view rest = text;
    const bool negative = rest.starts_with('-');
    if (negative)
        rest.remove_prefix(1);
    auto fields = splitFields(rest);
    if (fields.size() > 3)
        return refuse();
    std::int32_t nanoseconds = 0;
    std::string_view& last = fields.back();
    if (const auto dot = last.find('.'); dot != std::string_view::npos) {
        const auto fraction = fractionField(last.substr(dot + 1));
        if (!fraction)
            return refuse();
        nanoseconds = *fraction;
        last = last.substr(0, dot);
    }
    // Fields fill hours, minutes, seconds from the right: "1:30" is 1 minute 30 seconds.
    std::int32_t values[3] = {};
    const std::size_t first = 3 - fields.size();
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const auto value = wholeField(fields[i]);
        if (!value)
            return refuse();
        values[first + i] = negative ? -*value : *value;
    }
    if (error)
        error->clear();
    return TimeMark { values[0], values[1], values[2], negative ? -nanoseconds : nanoseconds };
}

std::string FormatTimeArgument(const TimeMark& mark)
{
    const bool negative = mark.totalSeconds() < 0 || mark.nanoseconds < 0;
    const auto magnitude = [&](std::int32_t v) {
        return std::to_string(negative ? -std::int64_t { v } : v);
    };
    std::string text = negative ? "-" : "";
    text += magnitude(mark.hours) + ":" + magnitude(mark.minutes) + ":" + magnitude(mark.seconds);
    if (mark.nanoseconds != 0) {
        std::string digits = magnitude(mark.nanoseconds);
        text += "." + std::string(9 - digits.size(), '0') + digits;
    }
    return text;
}

} // namespace parvex
