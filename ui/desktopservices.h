// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop facilities the window uses: opening pages, and where the user's folders are.
#pragma once

#include <QString>
#include <QUrl>

namespace parvex {

class DesktopServices
{
public:
    virtual ~DesktopServices() = default;

    // Opens a page or file in the user's preferred application. False when nothing could be
    // started to show it (no xdg-open); what the started program then does is not known.
    virtual bool openUrl(const QUrl& url) = 0;
    // The user's music folder without a trailing separator; the home folder when the named music
    // folder does not exist; empty only when the desktop names none.
    virtual QString musicFolder() const = 0;
    // The user's home folder without a trailing separator (the plain output defaults live here).
    virtual QString homeFolder() const = 0;
};

} // namespace parvex
