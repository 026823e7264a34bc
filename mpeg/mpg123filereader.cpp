// SPDX-License-Identifier: GPL-3.0-or-later
// The callbacks libmpg123 calls instead of read(2) and lseek(2).
#include "mpg123filereader.h"

#include "filereader.h"

#include <sys/types.h>

namespace parvex {

namespace {

ssize_t readCallback(void* handle, void* buffer, size_t bytes)
{
    return static_cast<ssize_t>(static_cast<FileReader*>(handle)->read(buffer, bytes));
}

off_t seekCallback(void* handle, off_t offset, int whence)
{
    return static_cast<off_t>(static_cast<FileReader*>(handle)->seek(offset, whence));
}

} // namespace

bool InitialiseMpg123()
{
    static const bool initialised = mpg123_init() == MPG123_OK;
    return initialised;
}

int OpenMpg123WithReader(mpg123_handle* handle, FileReader& reader)
{
    const int replaced = mpg123_replace_reader_handle(handle, readCallback, seekCallback, nullptr);
    return replaced != MPG123_OK ? replaced : mpg123_open_handle(handle, &reader);
}

} // namespace parvex
