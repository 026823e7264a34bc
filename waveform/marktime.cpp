// SPDX-License-Identifier: GPL-3.0-or-later
// Formats and reads the marks list's times.
#include "marktime.h"

#include <QStringList>

namespace parvex {

std::int64_t MarkMilliseconds(std::int64_t sample, int sampleRate)
{
    if (sampleRate <= 0)
        return 0;
    return (sample * 1000 + sampleRate / 2) / sampleRate;
}

QString FormatMarkTime(std::int64_t sample, int sampleRate)
{
    const std::int64_t ms = MarkMilliseconds(sample, sampleRate);
    const std::int64_t seconds = ms / 1000, minutes = seconds / 60, hours = minutes / 60;
    const QString tail = QStringLiteral("%1.%2")
                             .arg(seconds % 60, 2, 10, QLatin1Char('0'))
                             .arg(ms % 1000, 3, 10, QLatin1Char('0'));
    if (hours > 0)
        return QStringLiteral("%1:%2:%3")
            .arg(hours)
            .arg(minutes % 60, 2, 10, QLatin1Char('0'))
            .arg(tail);
    return QStringLiteral("%1:%2").arg(minutes).arg(tail);
}

namespace {

// A field of digits only, at most `maxDigits` of them.
std::optional<std::int64_t> digits(const QString& field, int maxDigits)
{
    if (field.isEmpty() || field.size() > maxDigits)
        return std::nullopt;
    std::int64_t value = 0;
    for (const QChar c : field) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
        value = value * 10 + (c.unicode() - '0');
    }
    return value;
}

} // namespace

std::optional<std::int64_t> ParseMarkTime(const QString& text)
{
    const QString trimmed = text.trimmed();
    const qsizetype dot = trimmed.indexOf(QLatin1Char('.'));
    std::int64_t ms = 0;
    if (dot >= 0) {
        const QString fraction = trimmed.mid(dot + 1);
        const auto value = digits(fraction, 3);
        if (!value)
            return std::nullopt;
        ms = *value * (fraction.size() == 1 ? 100 : fraction.size() == 2 ? 10 : 1);
    }
    const QStringList fields
        = trimmed.left(dot >= 0 ? dot : trimmed.size()).split(QLatin1Char(':'));
    if (fields.size() > 3)
        return std::nullopt;
    std::int64_t seconds = 0;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        // The first field may be large (minutes past 59, an hour count); the others are 0-59.
        const auto value = digits(fields[i], i == 0 ? 9 : 2);
        if (!value || (i > 0 && *value >= 60))
            return std::nullopt;
        seconds = seconds * 60 + *value;
    }
    return seconds * 1000 + ms;
}

} // namespace parvex
