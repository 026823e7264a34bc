// SPDX-License-Identifier: GPL-3.0-or-later
// The texts the main window builds: the source title line, clock times, part sizes, pages.
#pragma once

#include <QString>
#include <QUrl>

#include <cstdint>

namespace parvex {

// "hh:mm:ss", each at least two digits; hours take more digits from 100 on.
QString ClockText(std::int64_t seconds);
// "<file name>  (hh:mm:ss)": the name, two blanks and the duration.
QString SourceTitleText(const QString& fileName, std::int64_t totalSeconds);
// "<n>KB": the size of one of `parts` equal parts in whole KiB, both divisions truncated.
QString EachSizeText(std::int64_t sourceBytes, std::int64_t parts);
// Why a page did not open and what to install; a file page is named by its path.
QString PageNotOpenedText(const QUrl& page);

} // namespace parvex
