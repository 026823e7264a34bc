// SPDX-License-Identifier: GPL-3.0-or-later
// A one-line label that shows "…" in the middle of a text too long for it instead of clipping.
#pragma once

#include <QLabel>

namespace parvex {

// text() stays the whole text; only the painting is shortened, in the middle, so that the end
// (the source's duration on the title line) stays readable. The tool tip shows the whole text
// while it is shortened.
class ElidingLabel : public QLabel
{
    Q_OBJECT

public:
    using QLabel::QLabel;

    // The text as painted at the current width.
    QString shownText() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;
};

} // namespace parvex
