// SPDX-License-Identifier: GPL-3.0-or-later
// Conversions between the window's paths (QString) and the engine's (local 8-bit encoding).
#pragma once

#include <QFile>
#include <QString>

#include <string>
#include <string_view>

namespace parvex {

inline std::string toLocalPath(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

inline QString fromLocalPath(std::string_view path)
{
    return QFile::decodeName(QByteArray(path.data(), static_cast<qsizetype>(path.size())));
}

} // namespace parvex
