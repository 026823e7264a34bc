// SPDX-License-Identifier: GPL-3.0-or-later
// The per-user settings the window keeps between runs (section/name strings).
#pragma once

#include <QString>

namespace parvex {

class SettingsStore
{
public:
    virtual ~SettingsStore() = default;

    // The stored text (an empty stored value stays empty), or `fallback` when there is none.
    virtual QString readString(
        const QString& section, const QString& name, const QString& fallback) const = 0;
    // Failures are not reported: the old value stays.
    virtual void writeString(const QString& section, const QString& name, const QString& text) = 0;
};

} // namespace parvex
