// SPDX-License-Identifier: GPL-3.0-or-later
// Everything the main window uses from outside itself, handed in by whoever creates it.
#pragma once

#include "cutdispatcher.h"
#include "desktopservices.h"
#include "filechooser.h"
#include "marksasker.h"
#include "previewsession.h"
#include "probeduration.h"
#include "prompter.h"
#include "settingsstore.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace parvex {

// Whole seconds of a media file (path in the local 8-bit encoding), or nullopt.
using DurationProbe = std::function<std::optional<std::int64_t>(const std::string& path)>;
// Runs a cut the Start buttons asked for, showing its messages through the host (RunCut in the
// program). The window builds the request; what is checked and written is the runner's.
using CutRunner = std::function<SplitResult(const CutRequest& request, SplitHost& host)>;

// The services are borrowed: they must outlive the dialog.
struct DialogServices
{
    Prompter& prompter;
    FileChooser& files;
    SettingsStore& settings;
    DesktopServices& desktop;
    DurationProbe probeDuration = ProbeDuration;
    CutRunner runCut = RunCut;
    // The boxes of Find Silences… and Chunks….
    SilenceAsker askSilences = AskSilenceSettings;
    ChunkAsker askChunks = AskChunkLengths;
    // The application's slider-held flag: true while the left button holds the position
    // slider. Null means it is never held.
    bool* sliderHeld = nullptr;
    // The media graph of each preview player (GstMediaGraphFactory() in the program). Null,
    // or a null graph: the graph cannot be created, and opening a preview says so.
    CPreviewPlayer::GraphFactory createGraph;
    // The preview window of each player (PreviewWindow::factory() in the program). Null, or a
    // null window: the player works without one.
    PreviewWindowFactory createPreviewWindow;
};

} // namespace parvex
