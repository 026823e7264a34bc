// SPDX-License-Identifier: GPL-3.0-or-later
// Making and dropping players; slider and display arithmetic on media time (100 ns units).
#include "previewsession.h"

#include "dialogtexts.h"
#include "mediatime.h"
#include "previewwindow.h"
#include "prompter.h"

#include <QLabel>
#include <QSlider>

#include <algorithm>
#include <climits>
#include <cmath>

namespace parvex {

namespace {
// 1/600 as the seek has always written it; the product is truncated toward zero.
constexpr double SliderStepFraction = 0.0016666666666666668;

std::int32_t wholeSeconds(std::int64_t mediaTime)
{
    return static_cast<std::int32_t>(WholeSeconds(mediaTime));
}

int sliderPositionFor(std::int64_t position, std::int64_t stop)
{
    if (stop == 0)
        return 0;
    const double steps = std::trunc(
        static_cast<double>(position) / static_cast<double>(stop) * PreviewSession::SliderSteps);
    // Far past the end still shows at the end; the clamp only keeps the conversion defined.
    return static_cast<int>(std::clamp(steps, double { INT_MIN }, double { INT_MAX }));
}
} // namespace

PreviewSession::PreviewSession(QWidget* dialog, QSlider* slider, QLabel* display, Services services)
    : m_dialog(dialog)
    , m_slider(slider)
    , m_display(display)
    , m_services(std::move(services))
{ }

PreviewSession::~PreviewSession() = default;

bool PreviewSession::open(const QString& path)
{
    m_player.reset(); // one player at a time: the old one closes before the new one opens
    std::unique_ptr<PreviewWindow> window
        = m_services.createWindow ? m_services.createWindow(m_dialog) : nullptr;
    PreviewWindow* const windowOfPlayer = window.get();
    Prompter& prompter = m_services.prompter;
    CPreviewPlayer::Services player { m_services.createGraph, std::move(window),
        [&prompter](const QString& text) { prompter.message(QStringLiteral("PARVEX"), text); },
        {} };
    m_player = std::make_unique<CPreviewPlayer>(m_dialog, std::move(player));
    if (windowOfPlayer)
        windowOfPlayer->setPlayer(m_player.get());
    return m_player->OpenMedia(path) == 1;
}

void PreviewSession::close()
{
    if (m_player && m_player->m_State != PlayState::Closed)
        m_player->CloseMedia();
    m_player.reset();
    m_sliderPosition = 0;
    m_slider->setValue(0);
}

void PreviewSession::play()
{
    if (m_player)
        m_player->Play();
}

void PreviewSession::pause()
{
    if (m_player)
        m_player->Pause();
}

void PreviewSession::stop()
{
    if (m_player)
        m_player->Stop();
}

std::optional<std::int32_t> PreviewSession::polledSeconds() const
{
    if (!m_player)
        return std::nullopt;
    return wholeSeconds(m_player->m_llPosition);
}

std::optional<std::int64_t> PreviewSession::pollNow()
{
    if (!m_player)
        return std::nullopt;
    m_player->PollPosition();
    return m_player->m_llPosition;
}

void PreviewSession::seekToSlider()
{
    m_sliderPosition = m_slider->value();
    if (!m_player || m_player->m_llStop == 0)
        return;
    const double target = static_cast<double>(m_player->m_llStop)
        * static_cast<double>(m_sliderPosition) * SliderStepFraction;
    m_player->SeekTo(static_cast<std::int64_t>(std::trunc(target)));
}

void PreviewSession::refreshPosition()
{
    if (m_services.sliderHeld && *m_services.sliderHeld)
        return; // the user holds the thumb: neither the text nor the thumb follows
    if (!m_player) {
        m_display->setText(ClockText(0));
        return;
    }
    m_display->setText(ClockText(wholeSeconds(m_player->m_llPosition)));
    m_sliderPosition = sliderPositionFor(m_player->m_llPosition, m_player->m_llStop);
    m_slider->setValue(m_sliderPosition); // a value past the end shows at the end
}

} // namespace parvex
