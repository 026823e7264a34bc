// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzz target: the three boxes of a time mark read with ParseLeadingInteger, checked against the
// C library's strtoll; the mark they make, and the mark shown again for its whole seconds.
#include "fuzzcheck.h"
#include "fuzztarget.h"
#include "leadinginteger.h"
#include "timemark.h"

#include <cstdlib>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

using namespace parvex;

namespace {

// What "%d" reads, by another route: strtoll saturates at 64 bits, the clamp does the rest.
std::optional<std::int32_t> referenceValue(const std::string& box)
{
    char* end = nullptr;
    const long long value = std::strtoll(box.c_str(), &end, 10);
    if (end == box.c_str())
        return std::nullopt;
    constexpr long long low = std::numeric_limits<std::int32_t>::min();
    constexpr long long high = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(value < low ? low : (value > high ? high : value));
}

std::optional<std::int32_t> readBox(std::string_view& input)
{
    const auto end = input.find('\0');
    const std::string box(input.substr(0, end));
    input.remove_prefix(end == std::string_view::npos ? input.size() : end + 1);
    const auto value = ParseLeadingInteger(box);
    FUZZ_CHECK(value == referenceValue(box));
    return value;
}

} // namespace

// The input is the text of the hours, minutes and seconds boxes, separated by NUL bytes (which
// no box can hold, so that strtoll sees each whole).
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string_view input(reinterpret_cast<const char*>(data), size);
    const auto hours = readBox(input);
    const auto minutes = readBox(input);
    const auto seconds = readBox(input);
    if (!hours || !minutes || !seconds)
        return 0;
    const std::int64_t total = TimeMark { *hours, *minutes, *seconds }.totalSeconds();
    // fromSeconds keeps hours in 32 bits: positions up to about 245,000 years.
    constexpr std::int64_t largestShown
        = (std::int64_t { std::numeric_limits<std::int32_t>::max() } + 1) * 3600 - 1;
    if (total < 0 || total > largestShown)
        return 0;
    const TimeMark shown = TimeMark::fromSeconds(total);
    FUZZ_CHECK(shown.totalSeconds() == total);
    FUZZ_CHECK(shown.hours >= 0);
    FUZZ_CHECK(shown.minutes >= 0 && shown.minutes < 60);
    FUZZ_CHECK(shown.seconds >= 0 && shown.seconds < 60);
    return 0;
}
