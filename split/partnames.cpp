// SPDX-License-Identifier: GPL-3.0-or-later
// Part file names: plain string work, no length limit beyond what the system accepts.
#include "partnames.h"

namespace parvex {

// On Linux '/' is the only separator: a backslash is a character of the name ("AC\DC - Live").
std::string FileNameFromPath(std::string_view path)
{
    const auto slash = path.rfind('/');
    return std::string { slash == std::string_view::npos ? path : path.substr(slash + 1) };
}

std::string MakePartFileName(std::string_view sourcePath, std::int64_t index)
{
    std::string name = FileNameFromPath(sourcePath);
    const auto dot = name.rfind('.');
    if (dot != std::string::npos)
        name.erase(dot);
    return name + '_' + std::to_string(index) + ".mp3";
}

std::string OutputPathInFolder(std::string_view folder, std::string_view fileName)
{
    std::string path { folder };
    if (!path.empty() && path.back() != '/')
        path += '/';
    return path.append(fileName);
}

} // namespace parvex
