// SPDX-License-Identifier: GPL-3.0-or-later
// Where the help pages are: beside the program in a build tree, under its prefix once installed.
#pragma once

#include <QString>
#include <QUrl>

namespace parvex {

// The folder holding Introduction.htm: `programFolder`/help when it has one (a build tree),
// otherwise the installed pages of the program's prefix (share/parvex/help).
QString HelpFolder(const QString& programFolder);
// A page of that folder, e.g. "Introduction.htm", as a file URL (whether or not it exists).
QUrl HelpPage(const QString& programFolder, const QString& page);

} // namespace parvex
