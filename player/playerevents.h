// SPDX-License-Identifier: GPL-3.0-or-later
// Custom event types exchanged between the media graph, the preview player and the dialog.
#pragma once

#include <QEvent>

namespace parvex {

namespace PlayerEvents {

// Posted to the player's owner (the dialog) after each successful position poll: the
// player's m_llPosition and m_llStop are fresh; refresh the slider and the position display.
inline constexpr auto PlayPosition = static_cast<QEvent::Type>(QEvent::User + 3);

// Posted by a media graph to its notify receiver (the player) whenever graph events wait;
// the receiver drains them with MediaGraph::nextEvent(). May arrive with nothing waiting.
inline constexpr auto GraphNotify = static_cast<QEvent::Type>(QEvent::User + 13);

// Posted by a media graph to its notify receiver whenever a new video frame waits; the
// receiver collects it with MediaGraph::takeFrame(). May arrive with no frame waiting.
inline constexpr auto VideoFrame = static_cast<QEvent::Type>(QEvent::User + 14);

// Posted to the player's owner (the dialog) when the preview window's close box or its
// "Close" item is used: the dialog treats it exactly as a click on "Play" (control 1011).
inline constexpr auto PlayCommand = static_cast<QEvent::Type>(QEvent::User + 1011);

} // namespace PlayerEvents

} // namespace parvex
