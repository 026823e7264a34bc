// SPDX-License-Identifier: GPL-3.0-or-later
// The progress dialog of a long split: which piece, how far, and Cancel.
#pragma once

#include <QElapsedTimer>
#include <QPointer>
#include <QString>

#include <chrono>
#include <cstdint>
#include <memory>

class QProgressDialog;
class QWidget;

namespace parvex {

// Lives for one split, on the GUI thread that runs it. A split that writes more than
// ThresholdBytes in all gets the dialog once it has run for ShowAfter; from the first block on,
// every update lets the window repaint (user input waits until the dialog, modal to the window,
// is up, so nothing else starts meanwhile).
class SplitProgress
{
public:
    static constexpr std::int64_t ThresholdBytes = std::int64_t { 64 } << 20;
    static constexpr std::chrono::milliseconds ShowAfter { 500 };

    explicit SplitProgress(QWidget* window);
    ~SplitProgress();
    SplitProgress(const SplitProgress&) = delete;
    SplitProgress& operator=(const SplitProgress&) = delete;

    // The next piece, by its file name, is being written.
    void pieceStarted(const QString& fileName);
    void update(std::int64_t bytesDone, std::int64_t bytesTotal);
    // The user pressed Cancel (or closed the dialog).
    bool cancelled() const;

    // The dialog while it is shown, else null.
    QProgressDialog* dialog() const { return m_dialog.get(); }

private:
    void show();
    QString label() const;

    QPointer<QWidget> m_window;
    std::unique_ptr<QProgressDialog> m_dialog;
    QElapsedTimer m_clock; // from the first update
    int m_piece = 0; // 1-based, 0 before the first
    QString m_fileName;
};

} // namespace parvex
