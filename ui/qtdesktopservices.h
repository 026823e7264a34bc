// The desktop facilities through QDesktopServices and QStandardPaths.
#pragma once

#include "desktopservices.h"

class QtDesktopServices : public DesktopServices
{
public:
    bool openUrl(const QUrl& url) override;
    QString musicFolder() const override;
    QString homeFolder() const override;
};
