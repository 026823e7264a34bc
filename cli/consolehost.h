// SPDX-License-Identifier: GPL-3.0-or-later
// Runs split operations for the command line: messages on stderr, the replace question on the
// terminal (or -y), a progress line for long copies.
#pragma once

#include "progressline.h"
#include "splithost.h"

#include <cstdint>
#include <istream>
#include <ostream>
#include <string>
#include <string_view>

namespace parvex {

class ConsoleHost : public SplitHost
{
public:
    struct Options
    {
        bool assumeYes = false; // -y: every replace question is answered Yes
        bool canAsk = false; // stdin and stderr are a terminal: the question can be put
        bool showProgress = false; // stderr is a terminal
    };

    // The streams are borrowed and must outlive the host.
    ConsoleHost(Options options, std::ostream& out, std::ostream& err, std::istream& in);

    // Options for this process's standard streams.
    static Options terminalOptions(bool assumeYes);

    void showError(std::string_view text) override;
    void showFileError(std::string_view text) override;
    // The design's text, then "<path>: <the system's reason>".
    void showFileFailure(std::string_view text, const std::string& path, int errorNumber) override;
    bool confirmReplace(const std::string& path) override;
    void setBusy(bool busy) override;
    void showDone() override;
    void explain(std::string_view text) override { report(text); }
    void progress(std::int64_t bytesDone, std::int64_t bytesTotal) override;
    // True once Ctrl-C, SIGTERM or SIGHUP came (see CatchInterruptions).
    bool cancelled() override;

    // One line on stderr, after ending any progress line.
    void report(std::string_view text);
    // Whether anything was said on stderr, so that a stop is never silent.
    bool hasReported() const { return m_reported; }

    // Copies shorter than this finish too fast for a progress line to help.
    static constexpr std::int64_t kProgressThresholdBytes = std::int64_t { 64 } << 20;

private:
    bool askOnTerminal(const std::string& question);

    Options m_options;
    std::ostream& m_out;
    std::ostream& m_err;
    std::istream& m_in;
    ProgressLine m_progress;
    bool m_reported = false;
};

} // namespace parvex
