// SPDX-License-Identifier: GPL-3.0-or-later
// Shows what a split operation reports in the window's message boxes and busy cursor.
#pragma once

#include "splithost.h"
#include "splitprogress.h"

class QWidget;

namespace parvex {

class Prompter;

// Lives for one split; a busy cursor still on when it goes is switched back, and a progress
// dialog closed.
class DialogSplitHost : public SplitHost
{
public:
    // `window` owns the progress dialog of a long split (see SplitProgress).
    DialogSplitHost(Prompter& prompter, QWidget* window);
    ~DialogSplitHost() override;
    DialogSplitHost(const DialogSplitHost&) = delete;
    DialogSplitHost& operator=(const DialogSplitHost&) = delete;

    void showError(std::string_view text) override;
    void showFileError(std::string_view text) override;
    bool confirmReplace(const std::string& path) override;
    void setBusy(bool busy) override;
    void showDone() override;
    void progress(std::int64_t bytesDone, std::int64_t bytesTotal) override;
    bool cancelled() override;
    void pieceStarted(const std::string& path) override;

private:
    Prompter& m_prompter;
    bool m_busy = false;
    SplitProgress m_progress;
};

} // namespace parvex
