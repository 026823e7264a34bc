// SPDX-License-Identifier: GPL-3.0-or-later
// Finds the help pages relative to the program's own folder.
#include "helppages.h"

#include <QDir>
#include <QFileInfo>

namespace parvex {

// PARVEX_HELP_FROM_BIN: the installed help folder relative to the installed program's folder,
// e.g. "../share/parvex/help"; set by the build from the install directories.

QString HelpFolder(const QString& programFolder)
{
    const QDir program(programFolder);
    if (QFileInfo::exists(program.filePath(QStringLiteral("help/Introduction.htm"))))
        return program.filePath(QStringLiteral("help"));
    return QDir::cleanPath(program.filePath(QStringLiteral(PARVEX_HELP_FROM_BIN)));
}

QUrl HelpPage(const QString& programFolder, const QString& page)
{
    return QUrl::fromLocalFile(QDir(HelpFolder(programFolder)).filePath(page));
}

} // namespace parvex
