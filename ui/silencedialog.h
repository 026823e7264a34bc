// SPDX-License-Identifier: GPL-3.0-or-later
// Find Silences…: the threshold and the shortest silence, with a count of what they find.
#pragma once

#include "silencemarks.h"

#include <QDialog>

#include <functional>

class QDialogButtonBox;
class QDoubleSpinBox;
class QLabel;

namespace parvex {

// Each change of a box runs `preview` at once (finding silences in a level summary takes a few
// milliseconds even for hours) and shows its count; OK is offered only while there is one.
class SilenceDialog : public QDialog
{
    Q_OBJECT
public:
    SilenceDialog(QWidget* owner, const SilenceSettings& start,
        std::function<int(const SilenceSettings&)> preview);

    SilenceSettings settings() const;

private:
    void refresh();

    std::function<int(const SilenceSettings&)> m_preview;
    SilenceSettings m_start; // what the boxes do not set (where the cut goes, trimming)
    QDoubleSpinBox* m_threshold = nullptr;
    QDoubleSpinBox* m_shortest = nullptr;
    QLabel* m_found = nullptr;
    QDialogButtonBox* m_buttons = nullptr;
};

} // namespace parvex
