// SPDX-License-Identifier: GPL-3.0-or-later
// What a split operation asks of whoever runs it: messages, the replace question, a busy sign.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace parvex {

class SplitHost
{
public:
    virtual ~SplitHost() = default;

    // An input check refused the request (caption "Error", owned by the window).
    virtual void showError(std::string_view text) = 0;
    // A file could not be opened, read or written (the application's own box, warning icon).
    virtual void showFileError(std::string_view text) = 0;
    // The same failure with the file it was about and the system's reason (errno; 0 when none
    // applies). The window shows the text alone; a command line adds a line with both.
    virtual void showFileFailure(std::string_view text, const std::string& path, int errorNumber)
    {
        (void)path;
        (void)errorNumber;
        showFileError(text);
    }
    // "<path> exists. Do you want to replace it?"; true only for an explicit Yes.
    virtual bool confirmReplace(const std::string& path) = 0;
    // On once the first output is open, off once on every path after that.
    virtual void setBusy(bool busy) = 0;
    // "Splitting is done!" (SplitMessages::Done), after every output is closed.
    virtual void showDone() = 0;
    // Called between copy blocks; bytesTotal is what the whole operation will write.
    virtual void progress(std::int64_t bytesDone, std::int64_t bytesTotal)
    {
        (void)bytesDone;
        (void)bytesTotal;
    }
    // Asked after each block, right after progress(): true stops the operation there. The piece
    // being written is removed, the pieces already finished stay, and nothing is shown.
    virtual bool cancelled() { return false; }
    // Something the user did not ask for and no check shows: nothing will be written (a source
    // shorter than one second to split by time), or a cut moved. The window stays silent there;
    // a command line says it.
    virtual void explain(std::string_view text) { (void)text; }
    // The output `path` was created and its bytes come next; one call per piece.
    virtual void pieceStarted(const std::string& path) { (void)path; }
};

} // namespace parvex
