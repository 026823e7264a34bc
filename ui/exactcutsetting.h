// SPDX-License-Identifier: GPL-3.0-or-later
// Whether the window cuts exactly: setting Option/exact_cut, "1" or "0".
#pragma once

namespace parvex {

class SettingsStore;

namespace ExactCutSetting {
// False unless the stored value is "1".
bool read(const SettingsStore& settings);
void store(SettingsStore& settings, bool exact);
} // namespace ExactCutSetting

} // namespace parvex
