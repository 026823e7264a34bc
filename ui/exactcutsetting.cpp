// SPDX-License-Identifier: GPL-3.0-or-later
// The window's exact-cut choice in the settings store.
#include "exactcutsetting.h"

#include "settingsstore.h"

namespace parvex {

namespace {
const QString Section = QStringLiteral("Option");
const QString Key = QStringLiteral("exact_cut");
} // namespace

bool ExactCutSetting::read(const SettingsStore& settings)
{
    return settings.readString(Section, Key, QStringLiteral("0")) == QLatin1String("1");
}

void ExactCutSetting::store(SettingsStore& settings, bool exact)
{
    settings.writeString(Section, Key, exact ? QStringLiteral("1") : QStringLiteral("0"));
}

} // namespace parvex
