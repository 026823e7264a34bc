// SPDX-License-Identifier: GPL-3.0-or-later
// Opens the help and product pages through the desktop services.
#include "pageopener.h"

#include "desktopservices.h"
#include "dialogtexts.h"
#include "helppages.h"
#include "prompter.h"

#include <QCoreApplication>
#include <QUrl>

namespace parvex {

PageOpener::PageOpener(DesktopServices& desktop, Prompter& prompter)
    : m_desktop(desktop)
    , m_prompter(prompter)
{ }

void PageOpener::openHelp()
{
    open(HelpPage(QCoreApplication::applicationDirPath(), QStringLiteral("Introduction.htm")));
}

void PageOpener::openHomepage()
{
    const QString homepage = QStringLiteral(PARVEX_HOMEPAGE);
    if (homepage.isEmpty())
        openHelp();
    else
        open(QUrl(homepage));
}

void PageOpener::open(const QUrl& page)
{
    if (!m_desktop.openUrl(page))
        m_prompter.frameworkMessage(PageNotOpenedText(page));
}

} // namespace parvex
