// SPDX-License-Identifier: GPL-3.0-or-later
// QFileDialog set up as the window's open, save and folder dialogs.
#include "qtfilechooser.h"

#include <QFileDialog>

namespace parvex {

namespace {
std::optional<QString> firstSelected(QFileDialog& dialog)
{
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}
} // namespace

QtFileChooser::QtFileChooser(QWidget* owner)
    : m_owner(owner)
{ }

std::optional<QString> QtFileChooser::openFile(
    const QString& title, const QString& filter, const QString& suggested)
{
    // AnyFile: a name that does not exist is handed on; the caller's probe reports it.
    QFileDialog dialog(m_owner, title, QString(), filter);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile);
    if (!suggested.isEmpty())
        dialog.selectFile(suggested);
    return firstSelected(dialog);
}

std::optional<QString> QtFileChooser::saveFile(
    const QString& title, const QString& filter, const QString& folder, const QString& name)
{
    // The range cut asks before it replaces a file, so the dialog does not.
    QFileDialog dialog(m_owner, title, folder, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.selectFile(name);
    return firstSelected(dialog);
}

std::optional<QString> QtFileChooser::chooseFolder(const QString& title, const QString& start)
{
    const QString folder = QFileDialog::getExistingDirectory(m_owner, title, start);
    if (folder.isEmpty())
        return std::nullopt;
    return folder;
}

} // namespace parvex
