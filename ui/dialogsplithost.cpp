// SPDX-License-Identifier: GPL-3.0-or-later
// The split engine's host inside the window: prompter boxes and Qt's override cursor.
#include "dialogsplithost.h"

#include "localpath.h"
#include "prompter.h"
#include "splitmessages.h"
#include "textview.h"

#include <QCursor>
#include <QFileInfo>
#include <QGuiApplication>

namespace parvex {

DialogSplitHost::DialogSplitHost(Prompter& prompter, QWidget* window)
    : m_prompter(prompter)
    , m_progress(window)
{ }

DialogSplitHost::~DialogSplitHost()
{
    setBusy(false);
}

void DialogSplitHost::showError(std::string_view text)
{
    m_prompter.error(fromTextView(text));
}

void DialogSplitHost::showFileError(std::string_view text)
{
    m_prompter.frameworkMessage(fromTextView(text));
}

bool DialogSplitHost::confirmReplace(const std::string& path)
{
    return m_prompter.askYesNo(QStringLiteral("Warning"),
        QStringLiteral("%1 exists. Do you want to replace it?").arg(fromLocalPath(path)));
}

void DialogSplitHost::setBusy(bool busy)
{
    if (busy == m_busy)
        return;
    m_busy = busy;
    if (busy)
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    else
        QGuiApplication::restoreOverrideCursor();
}

void DialogSplitHost::progress(std::int64_t bytesDone, std::int64_t bytesTotal)
{
    m_progress.update(bytesDone, bytesTotal);
}

bool DialogSplitHost::cancelled()
{
    return m_progress.cancelled();
}

void DialogSplitHost::pieceStarted(const std::string& path)
{
    m_progress.pieceStarted(QFileInfo(fromLocalPath(path)).fileName());
}

void DialogSplitHost::showDone()
{
    m_prompter.message(QStringLiteral("Message"), fromTextView(SplitMessages::Done));
}

} // namespace parvex
