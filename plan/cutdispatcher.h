// SPDX-License-Identifier: GPL-3.0-or-later
// The one place a cut request is run: the proportional or the exact engine, through a split host.
#pragma once

#include "cutrequest.h"
#include "splithost.h"
#include "splitresult.h"

namespace parvex {

// Runs `request` with the engine it names, showing every message through `host`. Front ends
// build the request and show the outcome; which checks run, in which order, and what is
// written is decided here and in the engines.
SplitResult RunCut(const CutRequest& request, SplitHost& host);

} // namespace parvex
