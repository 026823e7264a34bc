// SPDX-License-Identifier: GPL-3.0-or-later
// `split`: each source's marks as a request for the dispatcher, one source after the other.
#pragma once

#include "clirequest.h"
#include "consolehost.h"
#include "cutrequest.h"
#include "splitresult.h"

#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace parvex {

class MarkedSplit
{
public:
    using CutRunner = std::function<SplitResult(const CutRequest&, SplitHost&)>;

    // `host` and `out` are borrowed; `out` takes the plan that --pretend prints and the batch's
    // summary.
    MarkedSplit(ConsoleHost& host, std::ostream& out, CutRunner runCut);

    // 0 when every source was cut (or planned, with --pretend), 1 when any was not.
    int run(const CliRequest& request);
    // `chapters`: the one source's marks as chapters of a copy. 0 when it was written.
    int writeChapters(const CliRequest& request);

private:
    struct Source
    {
        std::string path;
        std::optional<CutAtMarks> marks; // nullopt: its marks could not be read (said why)
        SplitStatus status = SplitStatus::Stopped;
        std::size_t pieces = 0;
    };

    std::vector<std::string> sourcePaths(const CliRequest& request);
    std::optional<CutAtMarks> marksOf(const CliRequest& request, const std::string& source);
    CutRequest cutRequest(const CliRequest& request, const Source& source) const;
    bool namesCollide(const CliRequest& request, std::vector<Source>& sources);
    bool review(const CliRequest& request, const CutPlan& plan, Source& source);
    void printPlan(const CutPlan& plan);
    int summarise(const std::vector<Source>& sources);

    ConsoleHost& m_host;
    std::ostream& m_out;
    CutRunner m_runCut;
    bool m_batch = false; // more than one source: the plans printed are headed by their source
};

} // namespace parvex
