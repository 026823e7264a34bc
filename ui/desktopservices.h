// The desktop facilities the window uses: opening pages, and where the user's music lives.
#pragma once

#include <QString>
#include <QUrl>

class DesktopServices
{
public:
    virtual ~DesktopServices() = default;

    // Opens a page or file in the user's preferred application; failures are not reported.
    virtual void openUrl(const QUrl& url) = 0;
    // The user's music folder without a trailing separator; empty when it cannot be found.
    virtual QString musicFolder() const = 0;
};
