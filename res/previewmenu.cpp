// SPDX-License-Identifier: GPL-3.0-or-later
// Menu 130: "Full screen", "Normal size", the transport and "Close".
#include "previewmenu.h"

#include <array>

namespace parvex {

namespace {
using namespace PreviewMenu;

constexpr std::array<Item, 8> Items { {
    { FullScreen, "Full screen" },
    { NormalSize, "Normal size" },
    { Separator, "" },
    { Play, "Play" },
    { Pause, "pause" },
    { Stop, "Stop" },
    { Separator, "" },
    { Close, "Close" },
} };
} // namespace

std::span<const PreviewMenu::Item> PreviewMenu::items()
{
    return Items;
}

} // namespace parvex
