// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's Start buttons: each mode's request from the boxes, and the folder a split
// remembers.
#include "csplitdialog.h"
#include "localpath.h"

#include <QLineEdit>

#include <utility>

namespace parvex {

void CSplitDialog::OnStartRange()
{
    const bool sourceOpen = !m_sourceTitle.isEmpty();
    // A refused box was reported by the exchange; cutting with older values would write a
    // piece the user did not ask for.
    if (sourceOpen && !DoDataExchange(true))
        return;
    runCut(CutBetween { m_startMark, m_endMark, toLocalPath(m_outputFile) });
}

void CSplitDialog::OnStartBySize()
{
    if (m_sourceTitle.isEmpty() || !DoDataExchange(true))
        return;
    if (runCut(CutIntoParts { m_splitCount }).status != SplitStatus::Stopped)
        keepOutputFolderFromBox();
}

void CSplitDialog::OnStartByTime()
{
    const CutEvery every = CutStarter::every(m_ui.secondsBox->text());
    m_splitSeconds = static_cast<std::int32_t>(every.length.totalSeconds());
    if (runCut(every).status != SplitStatus::Stopped)
        keepOutputFolderFromBox();
}

void CSplitDialog::OnStartByMarks()
{
    if (runCut(m_marks->model().cutAtMarks()).status != SplitStatus::Stopped)
        keepOutputFolderFromBox();
}

SplitResult CSplitDialog::runCut(CutShape shape)
{
    return m_cutStarter->run(
        { m_sourcePath, !m_sourceTitle.isEmpty(), m_totalSeconds }, std::move(shape));
}

// A split that got as far as its files took the folder from the box; the close box remembers
// that folder.
void CSplitDialog::keepOutputFolderFromBox()
{
    m_outputFolder = m_ui.outputFolderBox->text();
}

} // namespace parvex
