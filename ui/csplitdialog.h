// SPDX-License-Identifier: GPL-3.0-or-later
// The main window: the source, the split modes (the design's three and By marks), the preview
// controls and the outputs.
#pragma once

#include "cutrequest.h"
#include "cutstarter.h"
#include "dialogcontrols.h"
#include "dialogservices.h"
#include "markspanel.h"
#include "outputdestinations.h"
#include "pageopener.h"
#include "previewsession.h"
#include "splitresult.h"
#include "timemark.h"
#include "waveformstrip.h"
#include "windowmenu.h"

#include <QDialog>
#include <QString>

#include <cstdint>
#include <memory>

class QMenu;

namespace parvex {

class CPreviewPlayer;

class CSplitDialog : public QDialog
{
    Q_OBJECT

public:
    // Builds the controls and runs the start-up: the fields shown, the outputs read from the
    // settings, the "By frame" panel shown.
    explicit CSplitDialog(const DialogServices& services, QWidget* parent = nullptr);
    ~CSplitDialog() override;

    // The control with the given id (see ControlId), or null.
    QWidget* control(int id) const { return m_ui.all.value(id); }

    // Fields to controls (false) or controls to fields (true). Toward the fields a number box
    // without a number is reported and stops the exchange; the result is then false.
    bool DoDataExchange(bool saveAndValidate);

    // The menu a right-click on the window's background shows: Minimize, Close, About. The
    // caller owns it.
    QMenu* createWindowMenu();

    // Opens the file at `path` as the source, as "Open MP3" does once a file is chosen: probe,
    // title line, preview; a file that cannot be measured is reported and changes nothing.
    void openSource(const QString& path);
    // openSource once the event loop runs (the file named on the command line).
    void openSourceAtStart(const QString& path);

    // Makes and opens the current player for the source at `path`: 1. When the file cannot
    // be played (the player has said so), the source path is emptied and the player closed: 0.
    int OpenPreview(const QString& path);
    // Closes and drops the current player, if any; the slider goes back to 0. Returns 1.
    int ClosePreview();
    // The position display and the slider's thumb follow the current player's last poll.
    void RefreshPosition();
    // Null while there is none.
    CPreviewPlayer* currentPlayer() const { return m_preview->player(); }
    // The last value read from or written to the position slider.
    int sliderPosition() const { return m_preview->sliderPosition(); }

    void done(int result) override;

public Q_SLOTS:
    void OnOpenMp3();
    void OnStartRange();
    void OnStartBySize();
    void OnStartByTime();
    void OnByFrame();
    void OnBySize();
    void OnByTime();
    void OnByMarks();
    void OnStartByMarks();
    // The split count spin is about to move from `position` by `delta`.
    void OnSplitNumberDeltaPos(int position, int delta);
    void OnBrowseOutputFile();
    void OnBrowseOutputFolder();
    void OnHelp();
    void OnHomepage();
    void OnAbout();
    void openPage(const QUrl& page);
    void OnPlay();
    void OnPause();
    void OnStop();
    void OnStartTime();
    void OnEndTime();
    void OnSliderReleased();

protected:
    // The player's position events refresh the display; its "Play" event is a click on Play.
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void setUpDesktopAccess();
    void OnInitDialog();
    void OnOK();
    void OnDestroy();
    void CaptureMark(TimeMark& mark, std::int32_t& markTotal);
    void setMarkAt(TimeMark& mark, std::int32_t& markTotal, std::int64_t seconds);
    void keepOutputFolderFromBox();
    // Runs a cut of the open source with the window's engine choice and output folder.
    SplitResult runCut(CutShape shape);

    DialogServices m_services;
    OutputDestinations m_destinations;
    WindowMenu m_windowMenu;
    PageOpener m_pages;
    DialogControls m_ui;
    QString m_sourceTitle; // empty while no source is open
    TimeMark m_startMark;
    TimeMark m_endMark;
    QString m_outputFile;
    std::int32_t m_splitCount = 1;
    QString m_sourcePath; // empty = no source
    std::int64_t m_totalSeconds = 0; // T, whole seconds
    std::int32_t m_startMarkTotal = 0; // seconds of the last capture
    std::int32_t m_endMarkTotal = 0;
    std::int64_t m_sourceSize = 0; // bytes, measured when the source was opened
    QString m_outputFolder; // ends in a separator when chosen with Browse
    std::int32_t m_splitSeconds = 0;
    bool m_destroyed = false; // OnDestroy has run
    std::unique_ptr<PreviewSession> m_preview; // the current player, the slider's position
    std::unique_ptr<CutStarter> m_cutStarter; // the Start buttons' requests
    MarksPanel* m_marks = nullptr; // the By marks mode; a child of the window
    WaveformStrip* m_strip = nullptr; // a child of the window
};

} // namespace parvex
