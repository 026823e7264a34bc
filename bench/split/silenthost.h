// SPDX-License-Identifier: GPL-3.0-or-later
// The split benchmark's host: no boxes, no questions answered Yes.
#pragma once

#include "splithost.h"

namespace parvex {

// Answers every question with No and shows nothing; the benchmark checks results itself.
class SilentHost : public SplitHost
{
public:
    void showError(std::string_view) override { }
    void showFileError(std::string_view) override { }
    bool confirmReplace(const std::string&) override { return false; }
    void setBusy(bool) override { }
    void showDone() override { }
};

} // namespace parvex
