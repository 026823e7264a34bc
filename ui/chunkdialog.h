// SPDX-License-Identifier: GPL-3.0-or-later
// Chunks…: the desired and the longest length of a piece cut in a pause.
#pragma once

#include "marksasker.h"

#include <QDialog>

class QDoubleSpinBox;

namespace parvex {

// Lengths in minutes; the longest is never below the desired one.
class ChunkDialog : public QDialog
{
    Q_OBJECT
public:
    ChunkDialog(QWidget* owner, const ChunkLengths& start);

    ChunkLengths lengths() const;

private:
    QDoubleSpinBox* m_desired = nullptr;
    QDoubleSpinBox* m_maximum = nullptr;
};

} // namespace parvex
