// SPDX-License-Identifier: GPL-3.0-or-later
// The texts the main window builds.
#include "dialogtexts.h"

namespace parvex {

QString ClockText(std::int64_t seconds)
{
    const auto twoDigits = [](std::int64_t value) {
        return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
    };
    return twoDigits(seconds / 3600) + u':' + twoDigits(seconds % 3600 / 60) + u':'
        + twoDigits(seconds % 60);
}

QString SourceTitleText(const QString& fileName, std::int64_t totalSeconds)
{
    return QStringLiteral("%1  (%2)").arg(fileName, ClockText(totalSeconds));
}

QString EachSizeText(std::int64_t sourceBytes, std::int64_t parts)
{
    return QString::number(sourceBytes / parts / 1024) + QStringLiteral("KB");
}

QString PageNotOpenedText(const QUrl& page)
{
    return QStringLiteral("No program to open pages was found, so this page can not be shown:\n%1\n"
                          "Install xdg-utils (xdg-open) to open pages.")
        .arg(page.toDisplayString(QUrl::PreferLocalFile));
}

} // namespace parvex
