// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's controls that the template builder does not make by their kind.
#pragma once

#include "templatebuilder.h"

namespace parvex {

// The position slider (held while `sliderHeld` is true) and the three displays: the title line,
// which elides, and the position and each-size displays, each exposed to screen readers as a
// read-only text.
TemplateBuilder::Factory DialogControlFactory(bool* sliderHeld);

} // namespace parvex
