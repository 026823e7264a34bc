// SPDX-License-Identifier: GPL-3.0-or-later
// Per-test set-up and tear-down shared by the main-window tests.
#include "dialogtestcase.h"

namespace parvex {

void DialogTestCase::init()
{
    DialogHarness::clearSettings();
    h = std::make_unique<DialogHarness>();
    setUpHarness();
}

void DialogTestCase::cleanup()
{
    tearDownHarness();
    h.reset();
}

} // namespace parvex
