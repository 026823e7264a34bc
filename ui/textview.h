// SPDX-License-Identifier: GPL-3.0-or-later
// Fixed texts of the engine and the resources (UTF-8 string views) as Qt strings.
#pragma once

#include <QString>

#include <string_view>

namespace parvex {

inline QString fromTextView(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace parvex
