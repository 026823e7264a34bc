// SPDX-License-Identifier: GPL-3.0-or-later
// The file a drag brings: its first local URL.
#include "droppedfile.h"

#include <QMimeData>
#include <QUrl>

namespace parvex {

QString DroppedFile(const QMimeData* data)
{
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile())
            return url.toLocalFile();
    }
    return {};
}

} // namespace parvex
