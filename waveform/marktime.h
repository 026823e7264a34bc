// SPDX-License-Identifier: GPL-3.0-or-later
// A mark's time as the marks list shows and takes it: "3:25.493", "1:02:03.000".
#pragma once

#include <QString>

#include <cstdint>
#include <optional>

namespace parvex {

// The sample's time rounded to the millisecond: m:ss.mmm, h:mm:ss.mmm from an hour on.
QString FormatMarkTime(std::int64_t sample, int sampleRate);

// Milliseconds from "[[h:]m:]s[.fff]" (surrounding blanks allowed; seconds and minutes after the
// first field below 60; at most 3 decimals); nullopt for anything else.
std::optional<std::int64_t> ParseMarkTime(const QString& text);

// The sample's time in whole milliseconds, rounded to the nearest.
std::int64_t MarkMilliseconds(std::int64_t sample, int sampleRate);

} // namespace parvex
