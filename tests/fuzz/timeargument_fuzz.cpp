// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzz target: the command line's START and END parser. A time it accepts reads the same when
// written back by FormatTimeArgument; a refusal always says why.
#include "fuzzcheck.h"
#include "fuzztarget.h"
#include "timeargument.h"

#include <algorithm>
#include <string>
#include <string_view>

using namespace parvex;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::string error;
    const auto mark = ParseTimeArgument(text, &error);
    if (!mark) {
        FUZZ_CHECK(!error.empty());
        return 0;
    }
    FUZZ_CHECK(error.empty());
    FUZZ_CHECK(std::count(text.begin(), text.end(), ':') <= 2);
    FUZZ_CHECK(ParseTimeArgument(FormatTimeArgument(*mark)) == mark);
    return 0;
}
