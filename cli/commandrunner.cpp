// SPDX-License-Identifier: GPL-3.0-or-later
// Runs one checked request: info, or one of the three split operations.
#include "commandrunner.h"

#include "levelcache.h"
#include "markedsplit.h"
#include "silences.h"

#include <cstdio>
#include <utility>

namespace parvex {

CommandRunner::CommandRunner(ConsoleHost& host, std::ostream& out, CutRunner runCut)
    : m_host(host)
    , m_out(out)
    , m_runCut(std::move(runCut))
{ }

int CommandRunner::run(const CliRequest& request)
{
    switch (request.command) {
    case CliCommand::Info:
        return info(request);
    case CliCommand::Cut:
    case CliCommand::Parts:
    case CliCommand::Every:
        return split(request);
    case CliCommand::Split:
        return MarkedSplit(m_host, m_out, m_runCut).run(request);
    case CliCommand::Chapters:
        return MarkedSplit(m_host, m_out, m_runCut).writeChapters(request);
    case CliCommand::Silences:
        return silences(request);
    }
    return kStopped;
}

int CommandRunner::info(const CliRequest& request)
{
    const auto source = loadSource(request);
    if (!source)
        return kStopped;
    m_out << source->titleLine() << '\n'
          << "bytes: " << source->sizeBytes << '\n'
          << "seconds: " << source->totalSeconds << std::endl;
    return 0;
}

int CommandRunner::split(const CliRequest& request)
{
    CutRequest cut;
    cut.sourcePath = request.source;
    cut.sourceOpen = true; // a named source stands for the window's opened one
    cut.exact = request.exact;
    cut.outputFolder = request.folder;
    cut.measureSeconds = [this, &request]() -> std::optional<std::int64_t> {
        const auto source = loadSource(request);
        return source ? std::optional(source->totalSeconds) : std::nullopt;
    };
    switch (request.command) {
    case CliCommand::Cut:
        cut.shape = CutBetween { request.start, request.end, request.output };
        break;
    case CliCommand::Parts:
        cut.shape = CutIntoParts { request.partCount };
        break;
    default:
        cut.shape = CutEvery { request.secondsText, request.everyLength };
        break;
    }
    return exitStatus(m_runCut(cut, m_host));
}

int CommandRunner::silences(const CliRequest& request)
{
    std::string error;
    const auto levels = CachedLevels(request.source, {}, &error);
    if (!levels) {
        m_host.report(request.source + ": " + error);
        return kStopped;
    }
    const double rate = levels->sampleRate;
    char line[96];
    for (const Silence& silence :
        FindSilences(*levels, request.silence.thresholdDb, request.silence.minSeconds)) {
        std::snprintf(line, sizeof line, "%.3f\t%.3f\t%.3f\n",
            static_cast<double>(silence.start) / rate, static_cast<double>(silence.end) / rate,
            static_cast<double>(silence.end - silence.start) / rate);
        m_out << line;
    }
    m_out.flush();
    return 0;
}

std::optional<SourceInfo> CommandRunner::loadSource(const CliRequest& request)
{
    std::string_view failure;
    auto source = SourceInfo::load(request.source, request.durationSeconds, &failure);
    if (!source)
        m_host.report(failure);
    return source;
}

int CommandRunner::exitStatus(const SplitResult& result)
{
    if (result.status == SplitStatus::Done)
        return 0;
    if (result.status == SplitStatus::Cancelled)
        m_host.report("Interrupted: the unfinished piece was removed.");
    else if (!m_host.hasReported())
        m_host.report("Nothing was written.");
    return kStopped;
}

} // namespace parvex
