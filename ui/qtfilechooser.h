// SPDX-License-Identifier: GPL-3.0-or-later
// The window's file and folder choosers as QFileDialog.
#pragma once

#include "filechooser.h"

#include <QPointer>
#include <QWidget>

namespace parvex {

class QtFileChooser : public FileChooser
{
public:
    // `owner` (may be null, or set later) owns the dialogs.
    explicit QtFileChooser(QWidget* owner = nullptr);
    void setOwner(QWidget* owner) { m_owner = owner; }

    std::optional<QString> openFile(
        const QString& title, const QString& filter, const QString& suggested) override;
    std::optional<QString> saveFile(const QString& title, const QString& filter,
        const QString& folder, const QString& name) override;
    std::optional<QString> chooseFolder(const QString& title, const QString& start) override;

private:
    QPointer<QWidget> m_owner;
};

} // namespace parvex
