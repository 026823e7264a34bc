// SPDX-License-Identifier: GPL-3.0-or-later
// A batch is planned whole before anything is written, so that two sources' pieces can never
// take one name; a source that fails does not stop the others.
#include "markedsplit.h"

#include "chapters.h"
#include "markreading.h"
#include "sampleclock.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <system_error>

namespace parvex {

namespace {

bool isMp3Name(const std::filesystem::path& path)
{
    std::string extension = path.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
        [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension == ".mp3";
}

// The folder's MP3 files, sorted by path; unreadable entries are skipped.
std::vector<std::string> mp3FilesUnder(const std::string& folder)
{
    std::vector<std::string> files;
    std::error_code error;
    const auto options = std::filesystem::directory_options::skip_permission_denied;
    for (auto it = std::filesystem::recursive_directory_iterator(folder, options, error);
         !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
        if (it->is_regular_file(error) && isMp3Name(it->path()))
            files.push_back(it->path().string());
    }
    std::sort(files.begin(), files.end());
    return files;
}

} // namespace

MarkedSplit::MarkedSplit(ConsoleHost& host, std::ostream& out, CutRunner runCut)
    : m_host(host)
    , m_out(out)
    , m_runCut(std::move(runCut))
{ }

int MarkedSplit::run(const CliRequest& request)
{
    std::vector<Source> sources;
    for (const auto& path : sourcePaths(request))
        sources.push_back({ path, marksOf(request, path) });
    if (sources.empty()) {
        m_host.report("No MP3 file to split.");
        return 1;
    }
    m_batch = sources.size() > 1;
    if (m_batch && namesCollide(request, sources))
        return 1;
    for (Source& source : sources) {
        if (!source.marks)
            continue;
        CutRequest cut = cutRequest(request, source);
        cut.reviewPlan = [&](const CutPlan& plan) {
            return review(request, plan, source);
        };
        const SplitResult result = m_runCut(cut, m_host);
        // With --pretend nothing is written: review() has set the outcome.
        if (!request.pretend && source.status != SplitStatus::Failed)
            source.status = result.status;
        if (result.status == SplitStatus::Cancelled)
            break;
    }
    return summarise(sources);
}

int MarkedSplit::writeChapters(const CliRequest& request)
{
    Source source { request.source, marksOf(request, request.source) };
    if (!source.marks)
        return 1;
    std::optional<CutPlan> planned;
    CutRequest cut = cutRequest(request, source);
    cut.reviewPlan = [&](const CutPlan& plan) {
        planned = plan;
        return false; // the plan's times are all a copy with chapters needs
    };
    m_runCut(cut, m_host);
    if (!planned)
        return 1;
    const std::int64_t rate = planned->sampleRate;
    const auto milliseconds = [rate](std::int64_t sample) {
        return (sample * 1000 + rate / 2) / rate;
    };
    std::vector<Chapter> chapters;
    for (const PlannedPiece& piece : planned->pieces) {
        const std::string number = std::to_string(chapters.size() + 1);
        chapters.push_back({ milliseconds(piece.firstSample), milliseconds(piece.endSample),
            piece.tags.title.empty() ? "Chapter " + number : piece.tags.title });
    }
    const std::string failure
        = WriteChapteredCopy(request.source, request.output, chapters, request.assumeYes);
    if (!failure.empty()) {
        m_host.report(failure);
        return 1;
    }
    m_out << request.output << ": " << chapters.size() << " chapters" << std::endl;
    return 0;
}

std::vector<std::string> MarkedSplit::sourcePaths(const CliRequest& request)
{
    std::vector<std::string> paths;
    for (const auto& source : request.sources) {
        std::error_code error;
        if (!std::filesystem::is_directory(source, error)) {
            paths.push_back(source);
        } else if (!request.recursive) {
            m_host.report(source + " is a folder: add --recursive to split the MP3 files in it.");
        } else {
            const auto found = mp3FilesUnder(source);
            paths.insert(paths.end(), found.begin(), found.end());
        }
    }
    return paths;
}

std::optional<CutAtMarks> MarkedSplit::marksOf(const CliRequest& request, const std::string& source)
{
    std::string error;
    std::vector<std::string> notes;
    auto marks = ReadMarks(request, source, &error, &notes);
    for (const auto& note : notes)
        m_host.report(source + ": " + note);
    if (!marks)
        m_host.report(source + ": " + error);
    return marks;
}

CutRequest MarkedSplit::cutRequest(const CliRequest& request, const Source& source) const
{
    CutRequest cut;
    cut.sourcePath = source.path;
    cut.sourceOpen = true;
    cut.exact = true;
    cut.shape = *source.marks;
    // Beside the source unless a folder was given.
    cut.outputFolder = request.folder.empty()
        ? std::filesystem::path(source.path).parent_path().string()
        : request.folder;
    cut.nameTemplate = request.nameTemplate;
    cut.replaceExisting = request.assumeYes;
    return cut;
}

// Plans every source without writing anything, and refuses the batch when two pieces would
// share a name. A source that cannot be planned has said why and is left out from here on.
bool MarkedSplit::namesCollide(const CliRequest& request, std::vector<Source>& sources)
{
    std::map<std::string, std::string> owners; // piece path -> its source
    bool collided = false;
    for (Source& source : sources) {
        if (!source.marks || collided)
            continue;
        bool planned = false;
        CutRequest cut = cutRequest(request, source);
        cut.reviewPlan = [&](const CutPlan& plan) {
            planned = true;
            for (const PlannedPiece& piece : plan.pieces) {
                const auto path = std::filesystem::absolute(piece.outputPath).lexically_normal();
                const auto [owner, added] = owners.emplace(path.string(), source.path);
                if (!added && !collided) {
                    m_host.report("Two pieces would be named " + piece.outputPath + ": from "
                        + owner->second + " and from " + source.path + ". Nothing was written.");
                    collided = true;
                }
            }
            return false;
        };
        m_runCut(cut, m_host);
        if (!planned)
            source.marks.reset();
    }
    return collided;
}

bool MarkedSplit::review(const CliRequest& request, const CutPlan& plan, Source& source)
{
    source.pieces = plan.pieces.size();
    if (request.pretend) {
        if (m_batch)
            m_out << "# " << source.path << '\n';
        printPlan(plan);
    }
    if (!request.exportCue.empty()) {
        std::string error;
        if (!ExportCueSheet(request.exportCue, plan, request.assumeYes, &error)) {
            m_host.report(error);
            source.status = SplitStatus::Failed;
            return false;
        }
    }
    if (request.pretend)
        source.status = SplitStatus::Done;
    return !request.pretend;
}

void MarkedSplit::printPlan(const CutPlan& plan)
{
    const std::int64_t rate = plan.sampleRate;
    for (std::size_t i = 0; i < plan.pieces.size(); ++i) {
        const PlannedPiece& piece = plan.pieces[i];
        m_out << i + 1 << '\t' << SampleClockText(piece.firstSample, rate) << '\t'
              << SampleClockText(piece.endSample, rate) << '\t'
              << SampleClockText(piece.endSample - piece.firstSample, rate) << '\t'
              << piece.outputPath << '\n';
    }
    m_out.flush();
}

int MarkedSplit::summarise(const std::vector<Source>& sources)
{
    bool failed = false;
    for (const Source& source : sources) {
        const bool done = source.status == SplitStatus::Done;
        failed = failed || !done;
        if (sources.size() > 1)
            m_out << (done ? "done    " : "failed  ") << source.path << " (" << source.pieces
                  << (source.pieces == 1 ? " piece)" : " pieces)") << '\n';
    }
    m_out.flush();
    return failed ? 1 : 0;
}

} // namespace parvex
