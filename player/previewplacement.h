// SPDX-License-Identifier: GPL-3.0-or-later
// Where the preview window first appears, and where the video goes in full screen.
#pragma once

#include <QRect>
#include <QSize>

namespace parvex {

// The preview window's first frame rectangle: from 100 px right and 5 px below the work
// area's top-left corner, down to the owner dialog's top edge, 4/3 as wide as that height
// measured from the work area's left. When the dialog sits near the top of the screen the
// size comes out small or negative and is returned as it is.
QRect InitialPreviewRect(const QRect& workArea, const QRect& dialogFrame);

// The video's place on a screen of `screen` pixels for a picture of `nativeVideo` pixels.
// The picture is taken at ten times its native size: when that fits, it is centred at that
// size; otherwise it fills the full width or the full height, whichever keeps its aspect
// inside the screen. Aspect and scales in single precision, halving truncates toward zero.
QRect FullScreenVideoRect(QSize screen, QSize nativeVideo);

} // namespace parvex
