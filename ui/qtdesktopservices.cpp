// QDesktopServices opens pages; QStandardPaths finds the music folder.
#include "qtdesktopservices.h"

#include <QDesktopServices>
#include <QDir>
#include <QStandardPaths>

void QtDesktopServices::openUrl(const QUrl& url)
{
    QDesktopServices::openUrl(url);
}

QString QtDesktopServices::musicFolder() const
{
    // A music folder that is named but not there is no music folder.
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::MusicLocation);
    if (folder.isEmpty() || !QDir(folder).exists())
        return {};
    return folder;
}

QString QtDesktopServices::homeFolder() const
{
    return QDir::homePath();
}
