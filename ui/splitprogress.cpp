// SPDX-License-Identifier: GPL-3.0-or-later
// Shows a long split's progress and takes its Cancel, on the thread that runs the split.
#include "splitprogress.h"

#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QProgressDialog>

namespace parvex {

SplitProgress::SplitProgress(QWidget* window)
    : m_window(window)
{ }

SplitProgress::~SplitProgress() = default;

void SplitProgress::pieceStarted(const QString& fileName)
{
    ++m_piece;
    m_fileName = fileName;
    if (m_dialog)
        m_dialog->setLabelText(label());
}

QString SplitProgress::label() const
{
    return QStringLiteral("Writing piece %1: %2").arg(m_piece).arg(m_fileName);
}

void SplitProgress::update(std::int64_t bytesDone, std::int64_t bytesTotal)
{
    if (!m_clock.isValid())
        m_clock.start();
    if (!m_dialog && bytesTotal > ThresholdBytes && m_clock.elapsed() >= ShowAfter.count())
        show();
    if (m_dialog && bytesTotal > 0)
        m_dialog->setValue(static_cast<int>(bytesDone * 100 / bytesTotal));
    QCoreApplication::processEvents(
        m_dialog ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents);
}

void SplitProgress::show()
{
    m_dialog = std::make_unique<QProgressDialog>(
        label(), QStringLiteral("Cancel"), 0, 100, m_window.data());
    m_dialog->setWindowTitle(QGuiApplication::applicationDisplayName());
    m_dialog->setWindowModality(Qt::WindowModal);
    m_dialog->setAutoClose(false);
    m_dialog->setAutoReset(false);
    m_dialog->setMinimumDuration(0);
    // The wait cursor says "do not click"; Cancel is there to be clicked.
    if (QGuiApplication::overrideCursor())
        QGuiApplication::changeOverrideCursor(QCursor(Qt::BusyCursor));
    m_dialog->show();
}

bool SplitProgress::cancelled() const
{
    return m_dialog && m_dialog->wasCanceled();
}

} // namespace parvex
