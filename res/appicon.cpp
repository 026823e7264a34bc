// SPDX-License-Identifier: GPL-3.0-or-later
// Icon 128: the application icon, drawn at every size the window manager may ask for.
#include "resources.h"

#include <array>

namespace parvex {

QIcon Resources::appIcon()
{
    static constexpr std::array Sizes { 16, 32, 48, 64, 128, 256 };
    QIcon icon;
    for (const int size : Sizes)
        icon.addFile(QStringLiteral(":/parvex/icons/parvex-%1.png").arg(size), QSize(size, size));
    return icon;
}

} // namespace parvex
