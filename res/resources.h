// SPDX-License-Identifier: GPL-3.0-or-later
// The program's resources: dialog templates, fixed strings and the application icon.
#pragma once

#include "dialogtemplate.h"

#include <QIcon>

#include <string_view>

namespace parvex {

namespace Resources {
const DialogTemplate& mainDialog(); // template 102, caption "Parvex"
const DialogTemplate& aboutDialog(); // template 100, caption "About Parvex"
inline constexpr std::string_view AboutMenuText = "&About Parvex"; // string 101
QIcon appIcon(); // icon 128, every size
} // namespace Resources

} // namespace parvex
