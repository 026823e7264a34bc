// SPDX-License-Identifier: GPL-3.0-or-later
// Runs split operations for the command line: messages on stderr, the replace question on the
// terminal (or -y), a progress line for long copies.
#include "consolehost.h"

#include "interruption.h"
#include "splitmessages.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <unistd.h>

namespace parvex {

namespace {

bool isYes(std::string answer)
{
    const auto blank = [](unsigned char c) {
        return std::isspace(c) != 0;
    };
    answer.erase(answer.begin(), std::find_if_not(answer.begin(), answer.end(), blank));
    answer.erase(std::find_if_not(answer.rbegin(), answer.rend(), blank).base(), answer.end());
    std::transform(answer.begin(), answer.end(), answer.begin(),
        [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return answer == "y" || answer == "yes";
}

} // namespace

ConsoleHost::ConsoleHost(Options options, std::ostream& out, std::ostream& err, std::istream& in)
    : m_options(options)
    , m_out(out)
    , m_err(err)
    , m_in(in)
    , m_progress(err)
{ }

ConsoleHost::Options ConsoleHost::terminalOptions(bool assumeYes)
{
    const bool errIsTerminal = isatty(STDERR_FILENO) == 1;
    return { assumeYes, errIsTerminal && isatty(STDIN_FILENO) == 1, errIsTerminal };
}

void ConsoleHost::showError(std::string_view text)
{
    report(text);
}

void ConsoleHost::showFileError(std::string_view text)
{
    report(text);
}

void ConsoleHost::showFileFailure(std::string_view text, const std::string& path, int errorNumber)
{
    report(text);
    if (!path.empty())
        report(path + ": " + (errorNumber != 0 ? std::strerror(errorNumber) : "failed"));
}

bool ConsoleHost::confirmReplace(const std::string& path)
{
    const std::string question = path + " exists. Do you want to replace it?";
    if (m_options.assumeYes)
        return true;
    if (m_options.canAsk)
        return askOnTerminal(question);
    report(question + " Not replaced: there is no terminal to ask, use -y to replace it.");
    return false;
}

bool ConsoleHost::askOnTerminal(const std::string& question)
{
    m_progress.finish();
    m_err << question << " [y/N] " << std::flush;
    std::string answer;
    if (!std::getline(m_in, answer)) {
        m_err << '\n' << std::flush; // end of input: the prompt's line is still open
        return false;
    }
    return isYes(answer);
}

void ConsoleHost::setBusy(bool busy)
{
    if (!busy)
        m_progress.finish();
}

void ConsoleHost::showDone()
{
    m_progress.finish();
    m_out << SplitMessages::Done << std::endl;
}

void ConsoleHost::progress(std::int64_t bytesDone, std::int64_t bytesTotal)
{
    if (m_options.showProgress && bytesTotal > kProgressThresholdBytes)
        m_progress.update(bytesDone, bytesTotal);
}

bool ConsoleHost::cancelled()
{
    return InterruptionSignal() != 0;
}

void ConsoleHost::report(std::string_view text)
{
    m_progress.finish();
    m_err << text << std::endl;
    m_reported = true;
}

} // namespace parvex
