// SPDX-License-Identifier: GPL-3.0-or-later
// QDesktopServices opens pages; QStandardPaths finds the music folder.
#include "qtdesktopservices.h"

#include <QDesktopServices>
#include <QDir>
#include <QStandardPaths>

namespace parvex {

bool QtDesktopServices::openUrl(const QUrl& url)
{
    return QDesktopServices::openUrl(url);
}

QString QtDesktopServices::musicFolder() const
{
    // A music folder that is named but not there (common on minimal desktops) is no failure:
    // the home folder takes its place, which gives the plain defaults.
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::MusicLocation);
    if (folder.isEmpty() || QDir(folder).exists())
        return folder;
    return homeFolder();
}

QString QtDesktopServices::homeFolder() const
{
    return QDir::homePath();
}

} // namespace parvex
