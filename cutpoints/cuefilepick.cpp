// SPDX-License-Identifier: GPL-3.0-or-later
// Chooses which FILE of a CUE sheet describes the recording being cut.
#include "cuefilepick.h"

#include "cueline.h"

#include <filesystem>
#include <vector>

namespace parvex {

namespace {

// At most this many names are listed in the refusal; a sheet with one FILE per track has dozens.
constexpr std::size_t kNamesListed = 8;

// A FILE name without folder (sheets from Windows use backslashes) and extension.
std::string_view stemOfSheetName(std::string_view name)
{
    const auto slash = name.find_last_of("/\\");
    if (slash != std::string_view::npos)
        name.remove_prefix(slash + 1);
    const auto dot = name.rfind('.');
    return dot == std::string_view::npos || dot == 0 ? name : name.substr(0, dot);
}

const CueFile* findByStem(
    const std::vector<const CueFile*>& files, std::string_view stem, bool ignoreCase)
{
    for (const CueFile* file : files) {
        const std::string_view candidate = stemOfSheetName(file->name);
        if (candidate == stem || (ignoreCase && CueUpper(candidate) == CueUpper(stem)))
            return file;
    }
    return nullptr;
}

std::string sheetName(const CueSheet& sheet)
{
    return sheet.displayName.empty() ? "the sheet" : sheet.displayName;
}

std::string refusal(
    const CueSheet& sheet, const std::vector<const CueFile*>& files, const std::string& sourceStem)
{
    std::string list;
    for (std::size_t i = 0; i < files.size() && i < kNamesListed; ++i)
        list += (i ? ", " : "") + files[i]->name;
    if (files.size() > kNamesListed)
        list += ", … " + std::to_string(files.size() - kNamesListed) + " more";
    return sheetName(sheet) + " names " + std::to_string(files.size()) + " files (" + list
        + "); none is \"" + sourceStem + "\"";
}

} // namespace

const CueFile* PickCueFile(const CueSheet& sheet, std::string_view sourcePath, std::string* error)
{
    std::vector<const CueFile*> withTracks;
    for (const CueFile& file : sheet.files) {
        if (!file.tracks.empty())
            withTracks.push_back(&file);
    }
    const std::string sourceStem = std::filesystem::path(sourcePath).stem().string();
    const CueFile* picked = findByStem(withTracks, sourceStem, false);
    if (!picked)
        picked = findByStem(withTracks, sourceStem, true);
    if (!picked && withTracks.size() == 1)
        picked = withTracks.front();
    if (!picked && error)
        *error = withTracks.empty() ? sheetName(sheet) + " holds no audio TRACK"
                                    : refusal(sheet, withTracks, sourceStem);
    return picked;
}

} // namespace parvex
