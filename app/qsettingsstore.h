// SPDX-License-Identifier: GPL-3.0-or-later
// The settings store on QSettings: organization "Brennick", application = executable name.
#pragma once

#include "settingsstore.h"

#include <QSettings>

namespace parvex {

// Needs the QCoreApplication and its organization name before construction. A copy of the
// program under another name keeps settings of its own, as the application name is the
// executable's base name.
class QSettingsStore : public SettingsStore
{
public:
    QString readString(
        const QString& section, const QString& name, const QString& fallback) const override;
    void writeString(const QString& section, const QString& name, const QString& text) override;

private:
    QSettings m_settings;
};

} // namespace parvex
