// Runs one checked request: info, or one of the three split operations.
#include "commandrunner.h"

#include "exactrangecut.h"
#include "exactsplit.h"
#include "leadinginteger.h"
#include "splitoperations.h"

CommandRunner::CommandRunner(ConsoleHost& host, std::ostream& out)
    : m_host(host)
    , m_out(out)
{ }

int CommandRunner::run(const CliRequest& request)
{
    switch (request.command) {
    case CliCommand::Info:
        return info(request);
    case CliCommand::Cut:
        return cut(request);
    case CliCommand::Parts:
        return parts(request);
    case CliCommand::Every:
        return every(request);
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

int CommandRunner::cut(const CliRequest& request)
{
    if (request.exact)
        return exitStatus(
            CutRangeExact({ request.source, request.start, request.end, request.output }, m_host));
    const auto source = loadSource(request);
    if (!source)
        return kStopped;
    RangeCutRequest cut;
    cut.sourcePath = source->path;
    cut.sourceOpen = true; // measured above, as the window's title line says
    cut.totalSeconds = source->totalSeconds;
    cut.start = request.start;
    cut.end = request.end;
    cut.outputPath = request.output;
    return exitStatus(CutRange(cut, m_host));
}

int CommandRunner::parts(const CliRequest& request)
{
    if (request.exact)
        return exitStatus(
            SplitPartsExact({ request.source, request.folder }, request.partCount, m_host));
    EqualPartsRequest split;
    split.sourcePath = request.source;
    split.sourceOpen = true; // equal parts need no duration; an unreadable source is reported
    split.partCount = request.partCount;
    split.outputFolder = request.folder;
    return exitStatus(SplitEqualParts(split, m_host));
}

int CommandRunner::every(const CliRequest& request)
{
    if (request.exact)
        return exitStatus(SplitEveryExact({ request.source, request.folder },
            ParseLeadingInteger(request.secondsText).value_or(0), m_host));
    const auto source = loadSource(request);
    if (!source)
        return kStopped;
    if (source->totalSeconds == 0) {
        // The window's button silently does nothing here; a command line must say why.
        m_host.report("The mp3 file is shorter than one second: there is nothing to split.");
        return kStopped;
    }
    FixedLengthRequest split;
    split.sourcePath = source->path;
    split.totalSeconds = source->totalSeconds;
    split.secondsText = request.secondsText;
    split.outputFolder = request.folder;
    return exitStatus(SplitFixedLength(split, m_host));
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
