// SPDX-License-Identifier: GPL-3.0-or-later
// Reads a time argument: START, END, SECONDS ("H:M:S", "M:S" or "S", seconds with a fraction).
#pragma once

#include "timemark.h"

#include <optional>
#include <string>
#include <string_view>

namespace parvex {

// Digits only in each field, an optional fraction on the seconds ("1:02.250"), and an optional
// leading '-' for the whole time (refused later, as the window refuses a negative mark). Minutes
// and seconds are not range-checked, so "0:0:90" is 90 s. Anything else ("12abc", "1e1",
// "0x10", " 7", an empty field) is not a time: nullopt with the reason in `error`.
std::optional<TimeMark> ParseTimeArgument(std::string_view text, std::string* error = nullptr);

// "1:02:03.25" for a mark, as ParseTimeArgument reads it back.
std::string FormatTimeArgument(const TimeMark& mark);

} // namespace parvex
