// SPDX-License-Identifier: GPL-3.0-or-later
// The output check before the replace question.
#include "outputcheck.h"

#include "fileaccess.h"
#include "splitmessages.h"

#include <cerrno>
#include <filesystem>

namespace parvex {

bool MayWriteOutput(const std::string& path, SplitHost& host)
{
    switch (KindOfPath(path)) {
    case PathKind::Missing:
        return true;
    case PathKind::Special:
        host.showFileFailure(SplitMessages::CannotOpenOutput, path,
            std::filesystem::is_directory(path) ? EISDIR : ENODEV);
        return false;
    case PathKind::RegularFile:
        break;
    }
    return host.confirmReplace(path);
}

} // namespace parvex
