// SPDX-License-Identifier: GPL-3.0-or-later
// Which file a drag from a file manager brings to the window.
#pragma once

#include <QString>

class QMimeData;

namespace parvex {

// The first local file `data` carries; empty when it carries none.
QString DroppedFile(const QMimeData* data);

} // namespace parvex
