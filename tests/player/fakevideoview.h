// SPDX-License-Identifier: GPL-3.0-or-later
// A preview view that records what the player asks of it, for tests without a window.
#pragma once

#include "videoview.h"

#include <QStringList>

#include <memory>

namespace parvex {

// The player owns its view, so the record lives in a shared Log that the test keeps.
class FakeVideoView final : public VideoView
{
public:
    struct Log
    {
        // "create", "destroy", "show", "hide", "caption <text>", "frame <w>x<h>",
        // "clientSize <w>x<h>", "stretch", "place <x>,<y> <w>x<h>", "restore show|hide",
        // "pointer show|hide", in call order.
        QStringList calls;
        QString caption;
        bool visible = false;
        int framesPresented = 0;
        QSize lastFrameSize;
        // What the view answers.
        QSize screen { 1024, 768 };
        bool placementSucceeds = true;
    };

    explicit FakeVideoView(std::shared_ptr<Log> log)
        : m_log(std::move(log))
    { }

    void create() override;
    void destroy() override;
    void setVisible(bool visible) override;
    void setCaption(const QString& caption) override;
    void presentFrame(const QImage& frame) override;
    bool setClientSize(QSize clientSize) override;
    QSize screenSize() const override { return m_log->screen; }
    void stretchOverScreen() override;
    void placeVideo(const QRect& videoRect) override;
    void restoreFromScreen(bool show) override;
    void setPointerVisible(bool visible) override;

private:
    std::shared_ptr<Log> m_log;
};

// "<w>x<h>", as the log writes sizes.
QString SizeText(QSize size);

} // namespace parvex
