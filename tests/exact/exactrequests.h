// SPDX-License-Identifier: GPL-3.0-or-later
// Exact cuts as the front ends ask for them, run through the dispatcher.
#pragma once

#include "cutdispatcher.h"

#include <filesystem>

namespace parvex {

inline SplitResult RunExactParts(const std::filesystem::path& source,
    const std::filesystem::path& folder, std::int64_t count, SplitHost& host)
{
    CutRequest request;
    request.sourcePath = source.string();
    request.sourceOpen = true;
    request.exact = true;
    request.shape = CutIntoParts { count };
    request.outputFolder = folder.string();
    return RunCut(request, host);
}

inline SplitResult RunExactRange(const std::filesystem::path& source, TimeMark start, TimeMark end,
    const std::filesystem::path& output, SplitHost& host)
{
    CutRequest request;
    request.sourcePath = source.string();
    request.sourceOpen = true;
    request.exact = true;
    request.shape = CutBetween { start, end, output.string() };
    return RunCut(request, host);
}

} // namespace parvex
