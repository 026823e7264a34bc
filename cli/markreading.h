// SPDX-License-Identifier: GPL-3.0-or-later
// `split`'s marks from what the user named: typed times, a CUE sheet, chapters, silences.
#pragma once

#include "clirequest.h"
#include "cutplan.h"
#include "cutrequest.h"

#include <optional>
#include <string>
#include <vector>

namespace parvex {

// The marked pieces of `source` for `request`'s source of marks; nullopt with the reason (a
// sentence, without the source's name) in `error`. What the user should know about pieces that
// were planned anyway (a chunk cut where no pause was) goes to `notes`.
std::optional<CutAtMarks> ReadMarks(const CliRequest& request, const std::string& source,
    std::string* error, std::vector<std::string>* notes);

// Writes `plan` as a CUE sheet at `path` (UTF-8, INDEX 01 of each piece); an existing sheet is
// replaced only when `replace`. False with the reason in `error`.
bool ExportCueSheet(const std::string& path, const CutPlan& plan, bool replace, std::string* error);

} // namespace parvex
