// SPDX-License-Identifier: GPL-3.0-or-later
// The By marks mode of the main window: its radio, its Start button and the marks list's panel.
#pragma once

#include "levelsummary.h"
#include "marksasker.h"
#include "marksmodel.h"
#include "silences.h"

#include <QHash>
#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

class QListView;
class QRadioButton;
class QWidget;

namespace parvex {

class FileChooser;
class ResultMailbox;
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
        // The open source's level summary once it is decoded whole; null before.
        std::function<std::shared_ptr<const LevelSummary>()> levels;
        // Shades these silences on the waveform (none: no shading).
        std::function<void(std::vector<Silence>)> showSilences;
        SilenceAsker askSilences;
        ChunkAsker askChunks;
    };

    // Makes the controls on `window`, whose template is built, and adds them to `controls` by
    // id (see ControlId::ByMarks and after).
    MarksPanel(QWidget& window, QHash<int, QWidget*>& controls, Services services);
    ~MarksPanel() override;

    MarksModel& model() { return m_model; }
    QRadioButton* radio() const { return m_radio; }

    // The marks of the source just opened (those kept for it come back, once sourceMeasured),
    // or none when it cannot be cut exactly.
    void openSource(const QString& path);
    // Writes a pending change of the marks now.
    void flush() { m_model.flush(); }
    // Shows or hides the panel and its Start button; the window's height follows.
    void setShown(bool shown);

Q_SIGNALS:
    // The open source's marks are ready, and the list's buttons work.
    void sourceMeasured();

private:
    void enableList(bool enabled);
    void makeControls(QHash<int, QWidget*>& controls);
    void addMark();
    void removeMark();
    void importCue();
    void importChapters();
    void exportCue();
    void findSilences();
    void makeChunks();
    void saveWithChapters();
    void saved(bool done, const QString& text);
    // The list becomes the marks of `pieces`, once the user agrees to lose a list there is.
    bool replaceMarks(const CutAtMarks& pieces, const QString& from);
    std::shared_ptr<const LevelSummary> readyLevels();
    void report(const QString& error);
    QString sourceFolder() const;

    QWidget& m_window;
    Services m_services;
    MarksModel m_model;
    bool m_shown = false; // the window has grown by the panel
    QRadioButton* m_radio = nullptr;
    QListView* m_list = nullptr;
    QList<QWidget*> m_panel; // shown with the mode
    QList<QWidget*> m_needSource; // enabled while the marks have a source
    QWidget* m_saveButton = nullptr; // off while a copy is being written
    SilenceSettings m_silence; // the last asked, for Find Silences… and Chunks…
    ChunkLengths m_chunks;
    std::vector<Silence> m_silences; // shaded on the waveform, of the open source
    std::shared_ptr<ResultMailbox> m_mailbox; // closed by the destructor
    int m_opening = 0; // of the latest openSource(); older walks' results are dropped
    std::thread m_saver; // writes a chaptered copy; joined before the next and on destruction
};

} // namespace parvex
