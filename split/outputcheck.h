// SPDX-License-Identifier: GPL-3.0-or-later
// Whether a chosen output may be written: the rule the range cuts share.
#pragma once

#include "splithost.h"

#include <string>

namespace parvex {

// A device, FIFO or folder under the output's name is never written ("Can not open the output
// mp3 file!"), nor even opened; an existing file only after an explicit Yes to the replace
// question. False after that message or a No. Nothing is removed here.
bool MayWriteOutput(const std::string& path, SplitHost& host);

} // namespace parvex
