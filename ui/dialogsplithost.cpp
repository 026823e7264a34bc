// The split engine's host inside the window: prompter boxes and Qt's override cursor.
#include "dialogsplithost.h"

#include "localpath.h"
#include "prompter.h"
#include "splitmessages.h"
#include "textview.h"

#include <QCursor>
#include <QGuiApplication>

DialogSplitHost::DialogSplitHost(Prompter& prompter)
    : m_prompter(prompter)
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

void DialogSplitHost::showDone()
{
    m_prompter.message(QStringLiteral("Message"), fromTextView(SplitMessages::Done));
}
