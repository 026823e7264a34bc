// SPDX-License-Identifier: GPL-3.0-or-later
// Runs one checked request: info, or one of the three split operations.
#pragma once

#include "clirequest.h"
#include "consolehost.h"
#include "cutrequest.h"
#include "sourceinfo.h"
#include "splitresult.h"

#include <functional>
#include <optional>
#include <ostream>

namespace parvex {

class CommandRunner
{
public:
    // What runs a cut: RunCut in parvex-cli, a recorder in the tests of what each command asks.
    using CutRunner = std::function<SplitResult(const CutRequest&, SplitHost&)>;

    // `host` and `out` are borrowed; `out` takes what info prints.
    CommandRunner(ConsoleHost& host, std::ostream& out, CutRunner runCut);

    // 0 when the pieces were written (or info printed), 1 when a check, a failure or a No
    // stopped it.
    int run(const CliRequest& request);

    static constexpr int kStopped = 1;

private:
    int info(const CliRequest& request);
    // cut, parts, every: the request for the dispatcher.
    int split(const CliRequest& request);
    // silences: one line per silence, in seconds.
    int silences(const CliRequest& request);
    std::optional<SourceInfo> loadSource(const CliRequest& request);
    int exitStatus(const SplitResult& result);

    ConsoleHost& m_host;
    std::ostream& m_out;
    CutRunner m_runCut;
};

} // namespace parvex
