// SPDX-License-Identifier: GPL-3.0-or-later
// The exact engine's writing loop: checks, the busy sign, progress, tags, and the outcome.
#include "exactplanrunner.h"

#include "fileaccess.h"
#include "outputcheck.h"
#include "piecefile.h"
#include "pieceplan.h"
#include "sourcetags.h"
#include "splitmessages.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <new>
#include <string>
#include <utility>
#include <vector>

namespace parvex {

namespace {

// "1:02.250" for a sample at `rate`, to the millisecond.
std::string clockText(std::int64_t sample, std::int64_t rate)
{
    const std::int64_t ms = (sample * 1000 + rate / 2) / rate;
    char text[32];
    std::snprintf(text, sizeof text, "%lld:%02lld.%03lld", static_cast<long long>(ms / 60000),
        static_cast<long long>(ms / 1000 % 60), static_cast<long long>(ms % 1000));
    return text;
}

// The sample pieces as frame plans. Adjacent pieces are planned together, so that both sides of
// a cut share its boundary.
std::vector<PiecePlan> framePlans(const CutPlan& plan, const StreamIndex& index)
{
    std::vector<PiecePlan> plans;
    std::vector<std::int64_t> cuts;
    const auto flush = [&] {
        const auto planned = PlanPieces(index, cuts);
        plans.insert(plans.end(), planned.begin(), planned.end());
        cuts.clear();
    };
    for (const PlannedPiece& piece : plan.pieces) {
        if (!cuts.empty() && cuts.back() != piece.firstSample)
            flush();
        if (cuts.empty())
            cuts.push_back(piece.firstSample);
        cuts.push_back(piece.endSample);
    }
    flush();
    return plans;
}

class ExactPlanRun
{
public:
    ExactPlanRun(const CutPlan& plan, const StreamIndex& index, int sourceFd, SplitHost& host)
        : m_plan(plan)
        , m_index(index)
        , m_sourceFd(sourceFd)
        , m_host(host)
    { }

    ~ExactPlanRun() { endBusy(); }
    ExactPlanRun(const ExactPlanRun&) = delete;
    ExactPlanRun& operator=(const ExactPlanRun&) = delete;

    SplitResult run()
    {
        if (m_plan.askBeforeReplacing && !mayReplaceOutputs())
            return m_result;
        if (m_plan.refuseExisting && !noneExists())
            return m_result;
        const std::vector<PiecePlan> frames = framePlans(m_plan, m_index);
        if (frames.size() != m_plan.pieces.size()) // a piece without a sample
            return refuse(SplitMessages::TooManyPieces);
        for (const PiecePlan& piece : frames)
            m_plannedBytes += PlannedPieceBytes(m_index, piece);
        explainMovedStarts(frames);
        SourceTags tags = ReadSourceTags(m_sourceFd, m_index);
        for (std::size_t i = 0; i < frames.size(); ++i) {
            if (!writePiece(m_plan.pieces[i], frames[i], tags))
                return m_result;
        }
        endBusy();
        m_result.status = SplitStatus::Done;
        m_host.showDone();
        return m_result;
    }

    // Exceptions never leave the engine: the piece being written has gone with its temporary
    // file, and the failure is shown as a write failure of that piece.
    SplitResult failAfterException(int errorNumber)
    {
        fail(SplitMessages::CannotWriteOutput, errorNumber, m_currentPath);
        return m_result;
    }

private:
    // A start that no lead-in can bring in step with the decoder moves to a frame start (in
    // MPEG-2/2.5 mono), for the pieces on both sides of it.
    void explainMovedStarts(const std::vector<PiecePlan>& frames)
    {
        const std::int64_t rate = m_index.gapless.sampleRate;
        for (std::size_t i = 0; i < frames.size(); ++i) {
            const CutStart& start = frames[i].start;
            if (start.moved())
                m_host.explain("Piece " + std::to_string(i + 1) + " starts at "
                    + clockText(start.sample, rate) + " instead of "
                    + clockText(start.requestedSample, rate)
                    + ", the nearest frame start where it decodes exactly.");
        }
    }

    // Before the replace question: a Yes must never touch the source.
    bool mayReplaceOutputs()
    {
        for (const PlannedPiece& piece : m_plan.pieces) {
            if (IsSameFile(piece.outputPath, m_plan.sourcePath)) {
                refuse(SplitMessages::OutputIsSource);
                return false;
            }
            if (!MayWriteOutput(piece.outputPath, m_host))
                return false;
        }
        return true;
    }

    // Checked before the first piece, so that a second run does not replace half of the first's.
    bool noneExists()
    {
        for (const PlannedPiece& piece : m_plan.pieces) {
            if (KindOfPath(piece.outputPath) != PathKind::Missing) {
                refuse("\"" + piece.outputPath + "\" exists already, so nothing was written.");
                return false;
            }
        }
        return true;
    }

    bool makeFolderOf(const std::string& path)
    {
        std::error_code error;
        const auto folder = std::filesystem::path(path).parent_path();
        if (m_plan.makeFolders && !folder.empty())
            std::filesystem::create_directories(folder, error);
        if (error)
            fail(SplitMessages::CannotOpenOutput, error.value(), path);
        return !error;
    }

    bool writePiece(const PlannedPiece& planned, const PiecePlan& piece, SourceTags& tags)
    {
        const std::string& path = planned.outputPath;
        m_currentPath = path;
        if (!makeFolderOf(path))
            return false;
        if (IsSameFile(path, m_plan.sourcePath)) {
            refuse(SplitMessages::OutputIsSource);
            return false;
        }
        // A rename would replace a FIFO or device where the proportional split refuses to open it.
        if (KindOfPath(path) == PathKind::Special) {
            fail(SplitMessages::CannotOpenOutput, ENODEV, path);
            return false;
        }
        if (!std::exchange(m_busy, true))
            m_host.setBusy(true);
        m_host.pieceStarted(path);
        const std::int64_t before = m_doneBytes;
        const auto proceed = [this, before](std::int64_t written) {
            m_host.progress(before + written, std::max(m_plannedBytes, before + written));
            return !m_host.cancelled();
        };
        const PieceTagBytes tagBytes = tags.forPiece({ planned.tags.track, planned.tags.trackCount,
            PieceMilliseconds(piece, m_index.gapless), planned.tags.title, planned.tags.performer,
            planned.tags.album });
        if (const auto failure
            = WritePieceFile(m_index, piece, m_sourceFd, path, tagBytes, proceed)) {
            if (failure->cancelled)
                cancel();
            else
                fail(failure->message, failure->errorNumber,
                    failure->message == SplitMessages::CannotReadSource ? m_plan.sourcePath : path);
            return false;
        }
        m_doneBytes += PlannedPieceBytes(m_index, piece);
        m_result.written.push_back(path);
        return true;
    }

    // An input check: nothing was written yet, or the pieces before stay and the job failed.
    SplitResult refuse(std::string_view text)
    {
        endBusy();
        m_result.status = m_result.written.empty() ? SplitStatus::Stopped : SplitStatus::Failed;
        m_host.showError(text);
        return m_result;
    }

    // The piece being written is already gone with its temporary file; finished ones stay.
    void cancel()
    {
        endBusy();
        m_result.status = SplitStatus::Cancelled;
    }

    // `path`: the file the failure was about, the source or the piece.
    void fail(std::string_view message, int errorNumber, const std::string& path)
    {
        endBusy();
        m_result.status = SplitStatus::Failed;
        m_result.errorNumber = errorNumber;
        m_host.showFileFailure(message, path, errorNumber);
    }

    void endBusy()
    {
        if (std::exchange(m_busy, false))
            m_host.setBusy(false);
    }

    const CutPlan& m_plan;
    const StreamIndex& m_index;
    int m_sourceFd = -1;
    SplitHost& m_host;
    bool m_busy = false;
    std::int64_t m_plannedBytes = 0; // the progress reports' total
    std::int64_t m_doneBytes = 0; // by the same count, of the finished pieces
    std::string m_currentPath; // the piece being written
    SplitResult m_result;
};

} // namespace

SplitResult RunExactPlan(
    const CutPlan& plan, const StreamIndex& index, int sourceFd, SplitHost& host)
{
    ExactPlanRun run(plan, index, sourceFd, host);
    try {
        return run.run();
    } catch (const std::bad_alloc&) {
        return run.failAfterException(ENOMEM);
    } catch (...) {
        return run.failAfterException(EIO);
    }
}

} // namespace parvex
