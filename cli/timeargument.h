// Reads a START or END argument ("H:M:S", "M:S" or "S") the way the window's time boxes read.
#pragma once

#include "timemark.h"

#include <optional>
#include <string>
#include <string_view>

// Each field is a leading integer (blanks, sign, digits; trailing text ignored) and is not
// range-checked, so "0:0:90" is 90 s. Returns nullopt with the reason in `error` when there are
// more than three fields or a field holds no number.
std::optional<TimeMark> ParseTimeArgument(std::string_view text, std::string* error = nullptr);
