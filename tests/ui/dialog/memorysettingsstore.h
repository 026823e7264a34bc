// SPDX-License-Identifier: GPL-3.0-or-later
// A SettingsStore kept in memory, for tools that must not touch the user's settings.
#pragma once

#include "settingsstore.h"

#include <QHash>

namespace parvex {

class MemorySettingsStore : public SettingsStore
{
public:
    QString readString(
        const QString& section, const QString& name, const QString& fallback) const override
    {
        return m_values.value(section + u'/' + name, fallback);
    }
    void writeString(const QString& section, const QString& name, const QString& text) override
    {
        m_values.insert(section + u'/' + name, text);
    }

private:
    QHash<QString, QString> m_values;
};

} // namespace parvex
