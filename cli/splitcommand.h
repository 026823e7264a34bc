// SPDX-License-Identifier: GPL-3.0-or-later
// The `split` subcommand: pieces at cut points, CUE tracks, chapters, silences or chunks.
#pragma once

#include "clirequest.h"

#include <CLI/CLI.hpp>
#include <string>

namespace parvex {

// Adds `split` (or `chapters`) and its options to `app`, filling `request` as CLI11 parses;
// finish() turns the texts it keeps into the request's values once parsing succeeded.
class SplitCommand
{
public:
    static constexpr const char* kUsage
        = "parvex-cli split SOURCE... (--at TIMES | --cue SHEET | --chapters | --silence | "
          "--chunk DESIRED[,MAX]) [-d FOLDER] [-o TEMPLATE] [-y] [--pretend] [--export-cue SHEET]";

    static constexpr const char* kChaptersUsage
        = "parvex-cli chapters SOURCE (--at TIMES | --cue SHEET | --silence | --chunk "
          "DESIRED[,MAX]) -o OUTPUT [-y]";

    // `split`, or with `chapters` true the `chapters` command: the same marks written as ID3v2
    // chapters into a copy of one source, instead of pieces.
    SplitCommand(CLI::App& app, CliRequest& request, bool chapters = false);

    CLI::App* app() const { return m_split; }
    // The parsed texts into `request`: which source of marks, the times, the chunk lengths.
    void finish(CliRequest& request) const;

private:
    void addSources(bool chapters);
    void addSilenceOptions();
    void addOutputOptions();
    void addChapterOutput();

    CLI::App* m_split = nullptr;
    CliRequest& m_request;
    CLI::Option* m_at = nullptr;
    CLI::Option* m_cue = nullptr;
    CLI::Option* m_chapters = nullptr; // none in the chapters command
    CLI::Option* m_silence = nullptr;
    CLI::Option* m_chunk = nullptr;
    std::string m_atText;
    std::string m_chunkText;
    bool m_chaptersFlag = false;
    bool m_silenceFlag = false;
};

} // namespace parvex
