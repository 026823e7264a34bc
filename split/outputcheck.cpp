// The output check before the replace question.
#include "outputcheck.h"

#include "fileaccess.h"
#include "splitmessages.h"

bool MayWriteOutput(const std::string& path, SplitHost& host)
{
    switch (KindOfPath(path)) {
    case PathKind::Missing:
        return true;
    case PathKind::Special:
        host.showFileError(SplitMessages::CannotOpenOutput);
        return false;
    case PathKind::RegularFile:
        break;
    }
    return host.confirmReplace(path);
}
