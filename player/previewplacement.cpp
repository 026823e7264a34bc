// SPDX-License-Identifier: GPL-3.0-or-later
// Pure geometry: integers truncate toward zero exactly where the window system's did.
#include "previewplacement.h"

namespace parvex {

QRect InitialPreviewRect(const QRect& workArea, const QRect& dialogFrame)
{
    const int left = workArea.left() + 100;
    const int top = workArea.top() + 5;
    const int right = workArea.left() + (4 * (dialogFrame.top() - top)) / 3;
    const int bottom = dialogFrame.top();
    return { left, top, right - left, bottom - top };
}

QRect FullScreenVideoRect(QSize screen, QSize nativeVideo)
{
    const int cx = screen.width();
    const int cy = screen.height();
    const int w = 10 * nativeVideo.width();
    const int h = 10 * nativeVideo.height();
    if (w <= 0 || h <= 0)
        return { 0, 0, cx, cy }; // no picture to keep the aspect of
    if (w <= cx && h <= cy)
        return { (cx - w) / 2, (cy - h) / 2, w, h };

    const float aspect = static_cast<float>(w) / static_cast<float>(h);
    const float sx = static_cast<float>(cx) / static_cast<float>(w);
    const float sy = static_cast<float>(cy) / static_cast<float>(h);
    const bool fullWidth = h <= cy || (w > cx && sx < sy);
    if (fullWidth) {
        const int fitted = static_cast<int>(static_cast<float>(cx) / aspect);
        const int top = (cy - fitted) / 2;
        return { 0, top, cx, cy - 2 * top };
    }
    const int fitted = static_cast<int>(static_cast<float>(cy) * aspect);
    const int left = (cx - fitted) / 2;
    return { left, 0, cx - 2 * left, cy };
}

} // namespace parvex
