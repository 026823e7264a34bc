// SPDX-License-Identifier: GPL-3.0-or-later
// JSON of the saved marks. The 64-bit key fields are decimal strings: JSON numbers are doubles
// and would lose an inode's or a nanosecond time's low bits.
#include "marksfile.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>

namespace parvex {

namespace {

constexpr int kVersion = 1;
// Samples are written as JSON numbers; a double holds every integer up to 2^53 (five thousand
// years at 48 kHz), so a larger one cannot be ours.
constexpr double kMaxExact = 9007199254740992.0;

QString text(std::uint64_t value)
{
    return QString::number(value);
}

std::optional<std::uint64_t> unsignedIn(const QJsonValue& value)
{
    bool ok = false;
    const qulonglong number = value.toString().toULongLong(&ok);
    return ok ? std::optional<std::uint64_t>(number) : std::nullopt;
}

std::optional<std::int64_t> sampleIn(const QJsonValue& value)
{
    if (!value.isDouble())
        return std::nullopt;
    const double number = value.toDouble();
    if (!(number >= 0 && number <= kMaxExact) || number != static_cast<double>(value.toInteger()))
        return std::nullopt;
    return value.toInteger();
}

std::optional<LevelCacheKey> keyIn(const QJsonObject& object)
{
    const auto device = unsignedIn(object[QLatin1String("device")]);
    const auto inode = unsignedIn(object[QLatin1String("inode")]);
    const auto size = unsignedIn(object[QLatin1String("size")]);
    const auto modified = unsignedIn(object[QLatin1String("modifiedNs")]);
    if (!device || !inode || !size || !modified)
        return std::nullopt;
    return LevelCacheKey { *device, *inode, static_cast<std::int64_t>(*size),
        static_cast<std::int64_t>(*modified) };
}

} // namespace

QString MarksFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
        + QLatin1String("/parvex/marks");
}

QString MarksFileName(const LevelCacheKey& key)
{
    return QStringLiteral("marks-%1-%2.json")
        .arg(static_cast<qulonglong>(key.device), 0, 16)
        .arg(static_cast<qulonglong>(key.inode), 0, 16);
}

QByteArray WriteSavedMarks(const SavedMarks& saved)
{
    QJsonArray marks;
    for (const Mark& mark : saved.marks)
        marks.append(QJsonObject { { QLatin1String("sample"), qint64(mark.sample) },
            { QLatin1String("title"), mark.title } });
    const QJsonObject key { { QLatin1String("device"), text(saved.key.device) },
        { QLatin1String("inode"), text(saved.key.inode) },
        { QLatin1String("size"), text(std::uint64_t(saved.key.size)) },
        { QLatin1String("modifiedNs"), text(std::uint64_t(saved.key.modifiedNs)) } };
    const QJsonObject root { { QLatin1String("version"), kVersion }, { QLatin1String("key"), key },
        { QLatin1String("sampleRate"), saved.sampleRate },
        { QLatin1String("totalSamples"), qint64(saved.totalSamples) },
        { QLatin1String("marks"), marks } };
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

std::optional<SavedMarks> ReadSavedMarks(const QByteArray& bytes)
{
    QJsonParseError error {};
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    const QJsonObject root = document.object();
    if (root[QLatin1String("version")].toInt() != kVersion)
        return std::nullopt;
    const auto key = keyIn(root[QLatin1String("key")].toObject());
    const auto rate = sampleIn(root[QLatin1String("sampleRate")]);
    const auto total = sampleIn(root[QLatin1String("totalSamples")]);
    const QJsonValue marks = root[QLatin1String("marks")];
    if (!key || !rate || *rate <= 0 || *rate > 1'000'000 || !total || !marks.isArray())
        return std::nullopt;
    SavedMarks saved { *key, int(*rate), *total, {} };
    for (const QJsonValue& entry : marks.toArray()) {
        const auto sample = sampleIn(entry[QLatin1String("sample")]);
        const QJsonValue title = entry[QLatin1String("title")];
        if (!sample || *sample > *total || !title.isString()
            || (!saved.marks.empty() && *sample <= saved.marks.back().sample))
            return std::nullopt;
        saved.marks.push_back({ *sample, title.toString() });
    }
    return saved;
}

} // namespace parvex
