// SPDX-License-Identifier: GPL-3.0-or-later
// Where the splits write: the remembered output file and folder, their defaults and choosers.
#pragma once

#include <QString>

#include <optional>

namespace parvex {

class DesktopServices;
class FileChooser;
class Prompter;
class SettingsStore;

class OutputDestinations
{
public:
    OutputDestinations(
        Prompter& prompter, FileChooser& files, SettingsStore& settings, DesktopServices& desktop);

    // The plain defaults: the home folder with a trailing separator, and "cut1.mp3" in it.
    QString plainFolderDefault() const;
    QString plainFileDefault() const;

    // Setting Option/output_folder and Option/output_cut_file; a stored value always wins, the
    // music folder only shapes the default (see readWithDefaultRule).
    QString readOutputFolder();
    QString readOutputFile();
    void storeOutputFolder(const QString& folder);

    // The save dialog for the output file, starting in the folder of `current` with its file
    // name. The chosen path with ".mp3" as its extension, already remembered; nullopt on cancel
    // or for a name with wildcards.
    std::optional<QString> chooseOutputFile(const QString& current);
    // The folder chooser: the chosen folder, or `current` on cancel, with a trailing
    // separator; remembered either way.
    QString chooseOutputFolder(const QString& current);

    // The folder part of a file path ("." without a separator), for the save dialog.
    static QString initialFolder(const QString& filePath);
    // The path with the file name's extension, if any, replaced by ".mp3"; dots in folder
    // names are left alone.
    static QString withMp3Extension(const QString& path);
    // A non-empty folder ends in a separator.
    static QString withTrailingSeparator(const QString& folder);

private:
    // Reads a setting whose default is `plainDefault` moved into the music folder: the music
    // folder followed by the tail of `plainDefault` from its last separator. Without a music
    // folder it says so and falls back to `plainDefault`.
    QString readWithDefaultRule(const QString& name, const QString& plainDefault);

    Prompter& m_prompter;
    FileChooser& m_files;
    SettingsStore& m_settings;
    DesktopServices& m_desktop;
};

} // namespace parvex
