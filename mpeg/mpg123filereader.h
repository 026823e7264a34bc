// SPDX-License-Identifier: GPL-3.0-or-later
// libmpg123 reading through FileReader: the one hookup the frame scan and the level decode share.
#pragma once

#include <mpg123.h>

namespace parvex {

class FileReader;

// mpg123_init() once per process, as libmpg123 older than 1.27 needs; thread-safe. False when it
// failed.
bool InitialiseMpg123();

// Replaces `handle`'s I/O with `reader` (borrowed; it must outlive the handle's use) and opens the
// stream: MPG123_OK or libmpg123's error. libmpg123's own reader issues two read() calls per
// frame; FileReader serves them from one large buffer.
int OpenMpg123WithReader(mpg123_handle* handle, FileReader& reader);

} // namespace parvex
