// SPDX-License-Identifier: GPL-3.0-or-later
// The file that keeps one source's marks in the data folder: where it lives and its JSON form.
#pragma once

#include "levelcachefile.h"
#include "mark.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

namespace parvex {

struct SavedMarks
{
    LevelCacheKey key; // the source as it was when the marks were set
    int sampleRate = 0;
    std::int64_t totalSamples = 0;
    std::vector<Mark> marks; // sorted, distinct, within [0, totalSamples]
};

// $XDG_DATA_HOME/parvex/marks (Qt's generic data location), created on the first save.
QString MarksFolder();

// "marks-<device>-<inode>.json" in hexadecimal: named like the level cache's entries, so that a
// source rewritten in place replaces its entry instead of adding one.
QString MarksFileName(const LevelCacheKey& key);

QByteArray WriteSavedMarks(const SavedMarks& saved);

// The marks when `bytes` are a whole file of this version whose marks keep the rules above;
// nullopt for anything else (damaged, foreign, a later version), so that a bad file is ignored.
std::optional<SavedMarks> ReadSavedMarks(const QByteArray& bytes);

} // namespace parvex
