// SPDX-License-Identifier: GPL-3.0-or-later
// The questions Find Silences… and Chunks… ask before the marks change; tests answer them.
#pragma once

#include "silencemarks.h"

#include <QWidget>

#include <functional>
#include <optional>

namespace parvex {

// Lengths in seconds, as `parvex-cli split --chunk DESIRED,MAX` takes them.
struct ChunkLengths
{
    double desiredSeconds = 20 * 60;
    double maximumSeconds = 25 * 60;
};

// Asks the threshold and the shortest silence, starting from `start`. `preview` is called with
// each setting the user tries, on the GUI thread, and returns how many silences it finds (the
// window shades them meanwhile). nullopt when the user cancels.
using SilenceAsker = std::function<std::optional<SilenceSettings>(QWidget* owner,
    const SilenceSettings& start, const std::function<int(const SilenceSettings&)>& preview)>;
using ChunkAsker
    = std::function<std::optional<ChunkLengths>(QWidget* owner, const ChunkLengths& start)>;

// The program's: a modal box each (SilenceDialog, ChunkDialog).
std::optional<SilenceSettings> AskSilenceSettings(QWidget* owner, const SilenceSettings& start,
    const std::function<int(const SilenceSettings&)>& preview);
std::optional<ChunkLengths> AskChunkLengths(QWidget* owner, const ChunkLengths& start);

} // namespace parvex
