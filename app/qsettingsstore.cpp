// SPDX-License-Identifier: GPL-3.0-or-later
// Reads and writes the settings as "<section>/<name>" strings in the user's QSettings file.
#include "qsettingsstore.h"

namespace parvex {

namespace {
QString key(const QString& section, const QString& name)
{
    return section + u'/' + name;
}
} // namespace

QString QSettingsStore::readString(
    const QString& section, const QString& name, const QString& fallback) const
{
    // An empty stored value is a value: it is returned, not replaced by the fallback.
    const QVariant value = m_settings.value(key(section, name));
    return value.isValid() ? value.toString() : fallback;
}

void QSettingsStore::writeString(const QString& section, const QString& name, const QString& text)
{
    m_settings.setValue(key(section, name), text);
    m_settings.sync(); // on disk at once, as each write was in the registry
}

} // namespace parvex
