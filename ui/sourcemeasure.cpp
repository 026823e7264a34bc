// SPDX-License-Identifier: GPL-3.0-or-later
// Measures a source's length and size, reporting a file that cannot be measured.
#include "sourcemeasure.h"

#include "fileaccess.h"
#include "localpath.h"
#include "prompter.h"

namespace parvex {

std::optional<SourceMeasure> MeasureSource(
    const QString& path, const DurationProbe& probe, Prompter& prompter)
{
    const std::string localPath = toLocalPath(path);
    const auto total = probe(localPath);
    if (!total) {
        prompter.frameworkMessage(QStringLiteral("Can not open the mp3 total time!"));
        return std::nullopt;
    }
    const auto size = RegularFileSize(localPath);
    if (!size) {
        prompter.frameworkMessage(QStringLiteral("Can not open the mp3 file!"));
        return std::nullopt;
    }
    return SourceMeasure { *total, *size };
}

} // namespace parvex
