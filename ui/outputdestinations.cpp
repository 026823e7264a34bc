// SPDX-License-Identifier: GPL-3.0-or-later
// The output destinations: the default rule, the two Browse buttons and their settings.
#include "outputdestinations.h"

#include "desktopservices.h"
#include "filechooser.h"
#include "prompter.h"
#include "settingsstore.h"

#include <QFileInfo>

#include <algorithm>

namespace parvex {

namespace {
const QString Section = QStringLiteral("Option");
const QString OutputFolderKey = QStringLiteral("output_folder");
const QString OutputFileKey = QStringLiteral("output_cut_file");

bool hasWildcards(const QString& name)
{
    return name.contains(u'*') || name.contains(u'?') || name.contains(u'[');
}

// A backslash is a character of a Linux file name ("AC\\DC - Live.mp3"), not a separator.
qsizetype lastSeparator(const QString& path)
{
    return path.lastIndexOf(u'/');
}
} // namespace

OutputDestinations::OutputDestinations(
    Prompter& prompter, FileChooser& files, SettingsStore& settings, DesktopServices& desktop)
    : m_prompter(prompter)
    , m_files(files)
    , m_settings(settings)
    , m_desktop(desktop)
{ }

QString OutputDestinations::plainFolderDefault() const
{
    return withTrailingSeparator(m_desktop.homeFolder());
}

QString OutputDestinations::plainFileDefault() const
{
    return plainFolderDefault() + QStringLiteral("cut1.mp3");
}

QString OutputDestinations::readOutputFolder()
{
    return readWithDefaultRule(OutputFolderKey, plainFolderDefault());
}

QString OutputDestinations::readOutputFile()
{
    return readWithDefaultRule(OutputFileKey, plainFileDefault());
}

void OutputDestinations::storeOutputFolder(const QString& folder)
{
    m_settings.writeString(Section, OutputFolderKey, folder);
}

QString OutputDestinations::readWithDefaultRule(const QString& name, const QString& plainDefault)
{
    const QString music = m_desktop.musicFolder();
    if (music.isEmpty()) {
        m_prompter.error(QStringLiteral("Can not get My Music directory!"));
        return m_settings.readString(Section, name, plainDefault);
    }
    const qsizetype separator = lastSeparator(plainDefault);
    const QString tail = separator < 0 ? QString() : plainDefault.mid(separator);
    return m_settings.readString(Section, name, music + tail);
}

std::optional<QString> OutputDestinations::chooseOutputFile(const QString& current)
{
    const auto chosen = m_files.saveFile(QStringLiteral("Select Output"),
        QStringLiteral("MP3 file (*.mp3)"), initialFolder(current), QFileInfo(current).fileName());
    // A pattern typed into the name box is a filter, not a name: "*.*" would become "*.mp3".
    if (!chosen || hasWildcards(QFileInfo(*chosen).fileName()))
        return std::nullopt;
    const QString path = withMp3Extension(*chosen);
    m_settings.writeString(Section, OutputFileKey, path);
    return path;
}

QString OutputDestinations::chooseOutputFolder(const QString& current)
{
    const auto chosen = m_files.chooseFolder(QStringLiteral("Choose a folder"), current);
    const QString folder = withTrailingSeparator(chosen.value_or(current));
    storeOutputFolder(folder);
    return folder;
}

QString OutputDestinations::initialFolder(const QString& filePath)
{
    const qsizetype separator = lastSeparator(filePath);
    if (separator < 0)
        return QStringLiteral(".");
    return separator == 0 ? filePath.left(1) : filePath.left(separator);
}

QString OutputDestinations::withMp3Extension(const QString& path)
{
    const qsizetype dot = path.lastIndexOf(u'.');
    const bool dotInName = dot > lastSeparator(path);
    return (dotInName ? path.left(dot) : path) + QStringLiteral(".mp3");
}

QString OutputDestinations::withTrailingSeparator(const QString& folder)
{
    if (folder.isEmpty() || folder.endsWith(u'/'))
        return folder;
    return folder + u'/';
}

} // namespace parvex
