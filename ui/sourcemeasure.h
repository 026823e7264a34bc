// SPDX-License-Identifier: GPL-3.0-or-later
// What opening a source measures before it replaces the current one.
#pragma once

#include "dialogservices.h"

#include <QString>

#include <cstdint>
#include <optional>

namespace parvex {

struct SourceMeasure
{
    std::int64_t totalSeconds = 0; // T, whole seconds by the duration probe
    std::int64_t size = 0; // bytes of the regular file
};

// Measures the file at `path` with `probe` and its size; a file that cannot be measured is
// reported through `prompter` ("Can not open the mp3 total time!" or "Can not open the mp3
// file!") and gives nullopt.
std::optional<SourceMeasure> MeasureSource(
    const QString& path, const DurationProbe& probe, Prompter& prompter);

} // namespace parvex
