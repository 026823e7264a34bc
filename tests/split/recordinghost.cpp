// SPDX-License-Identifier: GPL-3.0-or-later
// The recording SplitHost.
#include "recordinghost.h"

namespace parvex {

void RecordingHost::showError(std::string_view text)
{
    m_calls.push_back("error: " + std::string(text));
}

void RecordingHost::showFileError(std::string_view text)
{
    m_calls.push_back("file error: " + std::string(text));
}

bool RecordingHost::confirmReplace(const std::string& path)
{
    m_calls.push_back("replace? " + path);
    if (m_answers.empty())
        return false;
    const bool yes = m_answers.front();
    m_answers.pop_front();
    return yes;
}

void RecordingHost::setBusy(bool busy)
{
    m_calls.push_back(busy ? "busy on" : "busy off");
    if (m_onBusy)
        m_onBusy(busy);
}

void RecordingHost::showDone()
{
    m_calls.push_back("done");
}

void RecordingHost::progress(std::int64_t bytesDone, std::int64_t bytesTotal)
{
    m_progress.emplace_back(bytesDone, bytesTotal);
}

} // namespace parvex
