// The checks of the proportional splits, in their order, then one piece after another through
// temporary files.
#include "exactsplit.h"

#include "fileaccess.h"
#include "partnames.h"
#include "piecefile.h"
#include "pieceplan.h"
#include "sourcetags.h"
#include "splitmessages.h"
#include "streamscan.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <functional>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

namespace {

using CutsOf = std::function<std::vector<std::int64_t>(const StreamIndex&)>;

class ExactSplit
{
public:
    ExactSplit(const ExactSplitRequest& request, SplitHost& host)
        : m_request(request)
        , m_host(host)
    { }

    ~ExactSplit()
    {
        if (m_source)
            std::fclose(m_source);
        if (m_busy)
            m_host.setBusy(false);
    }
    ExactSplit(const ExactSplit&) = delete;
    ExactSplit& operator=(const ExactSplit&) = delete;

    // `minimumPieces`: fewer planned pieces than this are refused as too many asked for.
    SplitResult run(const CutsOf& cutsOf, std::int64_t minimumPieces)
    {
        // A source that cannot be opened gets the proportional split's message, not a refusal.
        m_source = OpenSourceFile(m_request.sourcePath);
        if (!m_source)
            return fail(SplitMessages::CannotOpenSource, LastErrorOr(ENOENT));
        const IndexOutcome indexed = IndexMp3Stream(m_request.sourcePath);
        if (!indexed.index) {
            m_host.showError(std::string("This file cannot be cut exactly: ")
                + IndexRefusalText(indexed.refusal) + ".");
            return m_result;
        }
        const StreamIndex& index = *indexed.index;
        const auto pieces = PlanPieces(index, cutsOf(index));
        if (std::ssize(pieces) < minimumPieces) {
            m_host.showError(SplitMessages::TooManyPieces);
            return m_result;
        }
        for (const PiecePlan& piece : pieces)
            m_plannedBytes += PlannedPieceBytes(index, piece);
        m_tags.emplace(ReadSourceTags(::fileno(m_source), index));
        m_pieceCount = static_cast<int>(pieces.size());
        for (std::size_t i = 0; i < pieces.size(); ++i) {
            if (!writePiece(index, pieces[i], static_cast<std::int64_t>(i)))
                return m_result;
        }
        endBusy();
        m_result.status = SplitStatus::Done;
        m_host.showDone();
        return m_result;
    }

private:
    bool writePiece(const StreamIndex& index, const PiecePlan& piece, std::int64_t number)
    {
        const std::string path = OutputPathInFolder(
            m_request.outputFolder, MakePartFileName(m_request.sourcePath, number));
        if (IsSameFile(path, m_request.sourcePath)) {
            endBusy();
            m_result.status = m_result.written.empty() ? SplitStatus::Stopped : SplitStatus::Failed;
            m_host.showError(SplitMessages::OutputIsSource);
            return false;
        }
        // A rename would replace a FIFO or device where the proportional split refuses to open it.
        if (KindOfPath(path) == PathKind::Special) {
            fail(SplitMessages::CannotOpenOutput, ENODEV);
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
        const PieceTagBytes tags = m_tags->forPiece({ static_cast<int>(number) + 1, m_pieceCount,
            PieceMilliseconds(piece, index.gapless) });
        if (const auto failure
            = WritePieceFile(index, piece, ::fileno(m_source), path, tags, proceed)) {
            if (failure->cancelled)
                cancel();
            else
                fail(failure->message, failure->errorNumber);
            return false;
        }
        m_doneBytes += PlannedPieceBytes(index, piece);
        m_result.written.push_back(path);
        return true;
    }

    // The piece being written is already gone with its temporary file; finished ones stay.
    void cancel()
    {
        endBusy();
        m_result.status = SplitStatus::Cancelled;
    }

    SplitResult fail(std::string_view message, int errorNumber)
    {
        endBusy();
        m_result.status = SplitStatus::Failed;
        m_result.errorNumber = errorNumber;
        m_host.showFileError(message);
        return m_result;
    }

    void endBusy()
    {
        if (std::exchange(m_busy, false))
            m_host.setBusy(false);
    }

    const ExactSplitRequest& m_request;
    SplitHost& m_host;
    std::FILE* m_source = nullptr;
    std::optional<SourceTags> m_tags; // read once the source is open
    int m_pieceCount = 0; // TRCK's total
    bool m_busy = false;
    std::int64_t m_plannedBytes = 0; // the progress reports' total
    std::int64_t m_doneBytes = 0; // by the same count, of the finished pieces
    SplitResult m_result;
};

} // namespace

SplitResult SplitPartsExact(const ExactSplitRequest& request, std::int64_t parts, SplitHost& host)
{
    if (parts < 1)
        return {};
    return ExactSplit(request, host)
        .run(
            [parts](const StreamIndex& index) {
                // Each piece holds at least one frame: a larger count is refused below, unplanned.
                if (parts > std::ssize(index.frames))
                    return std::vector<std::int64_t> {};
                return PartsCuts(index, static_cast<int>(parts));
            },
            parts);
}

SplitResult SplitEveryExact(const ExactSplitRequest& request, std::int64_t seconds, SplitHost& host)
{
    if (seconds < 1)
        return {};
    return ExactSplit(request, host)
        .run(
            [seconds](const StreamIndex& index) {
                return EveryCuts(index.gapless, static_cast<double>(seconds));
            },
            1);
}
