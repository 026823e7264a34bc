// SPDX-License-Identifier: GPL-3.0-or-later
// Menu 130: the preview window's popup, as data.
#pragma once

#include <span>
#include <string_view>

namespace parvex {

namespace PreviewMenu {

// Command ids of the items.
inline constexpr int Play = 32771;
inline constexpr int Pause = 32772;
inline constexpr int Stop = 32773;
inline constexpr int Close = 32774;
inline constexpr int FullScreen = 32775;
inline constexpr int NormalSize = 32776;

inline constexpr int Separator = 0;

struct Item
{
    int id = Separator;
    std::string_view text; // empty for a separator
};

// The caption of the menu's only popup.
inline constexpr std::string_view Title = "PREVIEW";

// The popup's items, top to bottom.
std::span<const Item> items();

} // namespace PreviewMenu

} // namespace parvex
