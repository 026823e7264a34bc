// The equal-parts split: N pieces of equal byte size, numbered files in the output folder.
#include "byteoffsets.h"
#include "filecopy.h"
#include "partnames.h"
#include "splitjob.h"
#include "splitoperations.h"

SplitResult SplitEqualParts(const EqualPartsRequest& request, SplitHost& host)
{
    const std::int64_t count = request.partCount;
    if (!request.sourceOpen || count < 1)
        return {};

    SplitJob job(host);
    if (!job.openSource(request.sourcePath))
        return job.result();
    const std::int64_t size = job.sourceSize();
    std::int64_t planned = 0;
    for (std::int64_t i = 0; i < count; ++i)
        planned += CopiedByteCount(EqualPartRange(i, count, size), size);
    job.setPlannedBytes(planned);

    for (std::int64_t i = 0; i < count; ++i) {
        const std::string path
            = OutputPathInFolder(request.outputFolder, MakePartFileName(request.sourcePath, i));
        if (job.refuseSource(path) || !job.writePiece(path, EqualPartRange(i, count, size)))
            return job.result();
    }
    return job.finish();
}
