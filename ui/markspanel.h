// SPDX-License-Identifier: GPL-3.0-or-later
// The By marks mode of the main window: its radio, its Start button and the marks list's panel.
#pragma once

#include "marksmodel.h"

#include <QHash>
#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>

class QListView;
class QRadioButton;
class QWidget;

namespace parvex {

class FileChooser;
class Prompter;

// The controls are the window's children, made after the template's, so that they come after
// them in the tab order; the panel sits below the template's area, and the window grows to hold
// it while the mode is shown. The list's buttons work only while the open source is an MP3 the
// marks can be set on.
class MarksPanel : public QObject
{
    Q_OBJECT
public:
    struct Services
    {
        FileChooser& files; // borrowed, as the window's
        Prompter& prompter;
        std::function<QString()> sourcePath; // the open source; empty while there is none
        // The player's position now, in 100-ns units; nullopt without a player.
        std::function<std::optional<std::int64_t>()> mediaTime;
    };

    // Makes the controls on `window`, whose template is built, and adds them to `controls` by
    // id (see ControlId::ByMarks and after).
    MarksPanel(QWidget& window, QHash<int, QWidget*>& controls, Services services);

    MarksModel& model() { return m_model; }
    QRadioButton* radio() const { return m_radio; }

    // The marks of the source just opened (those kept for it come back), or none when it cannot
    // be cut exactly.
    void openSource(const QString& path);
    // Writes a pending change of the marks now.
    void flush() { m_model.flush(); }
    // Shows or hides the panel and its Start button; the window's height follows.
    void setShown(bool shown);

private:
    void makeControls(QHash<int, QWidget*>& controls);
    void addMark();
    void removeMark();
    void importCue();
    void importChapters();
    void exportCue();
    void report(const QString& error);
    QString sheetFolder() const;

    QWidget& m_window;
    Services m_services;
    MarksModel m_model;
    bool m_shown = false; // the window has grown by the panel
    QRadioButton* m_radio = nullptr;
    QListView* m_list = nullptr;
    QList<QWidget*> m_panel; // shown with the mode
    QList<QWidget*> m_needSource; // enabled while the marks have a source
};

} // namespace parvex
