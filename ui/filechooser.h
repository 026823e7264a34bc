// SPDX-License-Identifier: GPL-3.0-or-later
// The file and folder choosers the window runs; a scripted double stands in for them in tests.
#pragma once

#include <QString>

#include <optional>

namespace parvex {

class FileChooser
{
public:
    virtual ~FileChooser() = default;

    // An open dialog starting at `suggested` (a path, may be empty); nullopt on cancel.
    // Names that do not exist are not refused.
    virtual std::optional<QString> openFile(
        const QString& title, const QString& filter, const QString& suggested)
        = 0;
    // A save dialog in `folder` with `name` in its name box; asks nothing about existing files.
    virtual std::optional<QString> saveFile(
        const QString& title, const QString& filter, const QString& folder, const QString& name)
        = 0;
    // A folder chooser; the chosen folder without any trailing separator, nullopt on cancel.
    virtual std::optional<QString> chooseFolder(const QString& title, const QString& start) = 0;
};

} // namespace parvex
