// Shows what a split operation reports in the window's message boxes and busy cursor.
#pragma once

#include "splithost.h"

class Prompter;

// Lives for one split; a busy cursor still on when it goes is switched back.
class DialogSplitHost : public SplitHost
{
public:
    explicit DialogSplitHost(Prompter& prompter);
    ~DialogSplitHost() override;
    DialogSplitHost(const DialogSplitHost&) = delete;
    DialogSplitHost& operator=(const DialogSplitHost&) = delete;

    void showError(std::string_view text) override;
    void showFileError(std::string_view text) override;
    bool confirmReplace(const std::string& path) override;
    void setBusy(bool busy) override;
    void showDone() override;

private:
    Prompter& m_prompter;
    bool m_busy = false;
};
