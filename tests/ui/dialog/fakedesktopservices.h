// SPDX-License-Identifier: GPL-3.0-or-later
// DesktopServices for tests: fixed folders, and a list of what was opened instead of opening it.
#pragma once

#include "desktopservices.h"

#include <QList>

namespace parvex {

class FakeDesktopServices : public DesktopServices
{
public:
    QString music; // empty: no music folder
    QString home = QStringLiteral("/home/tester");
    QList<QUrl> opened; // asked to open, whether it opened or not
    bool opens = true; // false: as a desktop without xdg-open

    bool openUrl(const QUrl& url) override
    {
        opened.append(url);
        return opens;
    }
    QString musicFolder() const override { return music; }
    QString homeFolder() const override { return home; }
};

} // namespace parvex
