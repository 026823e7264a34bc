// SPDX-License-Identifier: GPL-3.0-or-later
// The dialog's current preview player, with the position slider and display that follow it.
#pragma once

#include "cpreviewplayer.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

class QLabel;
class QSlider;
class QWidget;

namespace parvex {

class PreviewWindow;
class Prompter;

// Makes each player's preview window; a null result leaves the player without one.
using PreviewWindowFactory = std::function<std::unique_ptr<PreviewWindow>(QWidget* ownerDialog)>;

// At most one player at a time, from open() to close(). The slider runs from 0 to SliderSteps,
// each step 1/600 of the media's length. GUI thread only.
class PreviewSession
{
public:
    static constexpr int SliderSteps = 600;

    struct Services
    {
        CPreviewPlayer::GraphFactory createGraph; // null: no graph can be made
        PreviewWindowFactory createWindow; // null: players have no window
        Prompter& prompter; // the players' failures, as "PARVEX" boxes
        const bool* sliderHeld = nullptr; // the slider-held flag; null: never held
    };

    // `dialog` receives the players' position and "Play" events; the slider and the display
    // are its children. All are borrowed.
    PreviewSession(QWidget* dialog, QSlider* slider, QLabel* display, Services services);
    ~PreviewSession();

    // Makes the current player for `path` and opens it; false when that failed (the player
    // has shown why and is closed, but stays current until close()).
    bool open(const QString& path);
    // Closes and drops the current player, if any, and puts the slider back to 0.
    void close();
    // Null while there is none.
    CPreviewPlayer* player() const { return m_player.get(); }
    // The transport of the current player; nothing without one.
    void play();
    void pause();
    void stop();

    // Whole seconds of the last poll (0 before the first); nullopt without a player.
    std::optional<std::int32_t> polledSeconds() const;
    // The current player's position now (a poll, so the display follows too), in 100-ns units;
    // nullopt without a player. A failed poll answers the last one's.
    std::optional<std::int64_t> pollNow();
    // Seeks to the slider's place, which is kept; nothing before the first poll.
    void seekToSlider();
    // The display and the thumb follow the last poll; nothing while the slider is held.
    void refreshPosition();
    // The last value read from or written to the slider, 0 to 600 (above 600 past the end).
    int sliderPosition() const { return m_sliderPosition; }

private:
    QWidget* m_dialog;
    QSlider* m_slider;
    QLabel* m_display;
    Services m_services;
    std::unique_ptr<CPreviewPlayer> m_player;
    int m_sliderPosition = 0;
};

} // namespace parvex
