// SPDX-License-Identifier: GPL-3.0-or-later
// The Help and Homepage buttons' pages, opened on the desktop or explained when none opened.
#pragma once

class QUrl;

namespace parvex {

class DesktopServices;
class Prompter;

class PageOpener
{
public:
    // Both are borrowed and must outlive this object.
    PageOpener(DesktopServices& desktop, Prompter& prompter);

    // The help's introduction, beside the program or where it is installed.
    void openHelp();
    // The product page; a build without one opens the introduction instead of a dead address.
    void openHomepage();
    // A page that opens and is missing is the browser's to report; a page nothing could open
    // would otherwise leave the button doing nothing visible, so a box says why.
    void open(const QUrl& page);

private:
    DesktopServices& m_desktop;
    Prompter& m_prompter;
};

} // namespace parvex
