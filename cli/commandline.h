// SPDX-License-Identifier: GPL-3.0-or-later
// parvex-cli's subcommands and options: parses the arguments into a checked request.
#pragma once

#include "clirequest.h"
#include "splitcommand.h"

#include <CLI/CLI.hpp>
#include <memory>
#include <optional>
#include <ostream>
#include <string>

namespace parvex {

class CommandLine
{
public:
    CommandLine();

    // The request, or nullopt when the run ends here with exitStatus(): help or version was
    // printed to `out` (0), or a usage error with a usage line to `err` (2).
    std::optional<CliRequest> parse(
        int argc, const char* const* argv, std::ostream& out, std::ostream& err);
    int exitStatus() const { return m_exitStatus; }

    static constexpr int kUsageError = 2;

private:
    void addInfo();
    void addCut();
    void addParts();
    void addEvery();
    void addSilences();
    CLI::Option* addDuration(CLI::App* command);
    CliRequest request() const;
    std::optional<std::string> wholeSecondsRefusal(const CliRequest& request) const;
    void reportUsageError(const CLI::ParseError& error, std::ostream& err) const;

    CLI::App m_app;
    CLI::App* m_info = nullptr;
    CLI::App* m_cut = nullptr;
    CLI::App* m_parts = nullptr;
    CLI::App* m_every = nullptr;
    CLI::App* m_silences = nullptr;
    std::unique_ptr<SplitCommand> m_split;
    std::unique_ptr<SplitCommand> m_chapters;
    CLI::Option* m_cutDuration = nullptr;
    CLI::Option* m_everyDuration = nullptr;
    CliRequest m_request;
    std::int64_t m_durationSeconds = 0;
    std::string m_startText;
    std::string m_endText;
    std::string m_countText;
    int m_exitStatus = 0;
};

} // namespace parvex
