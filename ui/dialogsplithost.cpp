// The split engine's host inside the window: prompter boxes and Qt's override cursor.
#include "dialogsplithost.h"

#include "localpath.h"
#include "prompter.h"
#include "splitmessages.h"

#include <QCursor>
#include <QGuiApplication>

namespace {
QString toText(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
} // namespace

DialogSplitHost::DialogSplitHost(Prompter& prompter)
    : m_prompter(prompter)
{ }

DialogSplitHost::~DialogSplitHost()
{
    setBusy(false);
}

void DialogSplitHost::showError(std::string_view text)
{
    m_prompter.error(toText(text));
}

void DialogSplitHost::showFileError(std::string_view text)
{
    m_prompter.frameworkMessage(toText(text));
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
    m_prompter.message(QStringLiteral("Message"), toText(SplitMessages::Done));
}
