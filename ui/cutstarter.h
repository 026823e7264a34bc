// SPDX-License-Identifier: GPL-3.0-or-later
// The Start buttons' requests: what the window shows, in the form the cut runner takes.
#pragma once

#include "cutrequest.h"
#include "dialogservices.h"
#include "splitresult.h"

#include <QString>

#include <cstdint>

class QCheckBox;
class QLineEdit;
class QWidget;

namespace parvex {

class CutStarter
{
public:
    // What the window knows of its source when a Start button is pressed.
    struct Source
    {
        QString path; // empty: none yet, or one that could not be played
        bool open = false; // the title line shows a source
        std::int64_t totalSeconds = 0; // T, measured when it was opened
    };

    // All borrowed: they must outlive this object. `window` owns the boxes the cut shows.
    CutStarter(const DialogServices& services, QWidget& window, const QCheckBox& exactBox,
        const QLineEdit& outputFolderBox);

    // Runs a cut of `source` with the engine the exact box shows, into the folder its box
    // holds now.
    SplitResult run(const Source& source, CutShape shape) const;

    // Pieces of the length typed in the seconds box: its text as typed (at most 31 characters)
    // and its leading integer, 0 without one.
    static CutEvery every(const QString& secondsBoxText);

private:
    const DialogServices& m_services;
    QWidget& m_window;
    const QCheckBox& m_exactBox;
    const QLineEdit& m_outputFolderBox;
};

} // namespace parvex
