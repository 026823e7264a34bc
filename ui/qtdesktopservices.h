// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop facilities through QDesktopServices and QStandardPaths.
#pragma once

#include "desktopservices.h"

namespace parvex {

class QtDesktopServices : public DesktopServices
{
public:
    bool openUrl(const QUrl& url) override;
    QString musicFolder() const override;
    QString homeFolder() const override;
};

} // namespace parvex
