// SPDX-License-Identifier: GPL-3.0-or-later
// A SplitHost for tests: records every call in order and answers the replace question from a
// script.
#pragma once

#include "splithost.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace parvex {

class RecordingHost : public SplitHost
{
public:
    // Calls as "error: <text>", "file error: <text>", "replace? <path>", "busy on", "busy off",
    // "done". Progress reports are kept apart in progressReports().
    const std::vector<std::string>& calls() const { return m_calls; }
    const std::vector<std::pair<std::int64_t, std::int64_t>>& progressReports() const
    {
        return m_progress;
    }

    // The next replace questions get these answers; an unscripted question answers No.
    void answerNext(bool yes) { m_answers.push_back(yes); }
    // Runs inside setBusy, after it is recorded: the place to disturb a running operation.
    void onBusy(std::function<void(bool)> hook) { m_onBusy = std::move(hook); }

    void showError(std::string_view text) override;
    void showFileError(std::string_view text) override;
    bool confirmReplace(const std::string& path) override;
    void setBusy(bool busy) override;
    void showDone() override;
    void progress(std::int64_t bytesDone, std::int64_t bytesTotal) override;

private:
    std::vector<std::string> m_calls;
    std::vector<std::pair<std::int64_t, std::int64_t>> m_progress;
    std::deque<bool> m_answers;
    std::function<void(bool)> m_onBusy;
};

} // namespace parvex
