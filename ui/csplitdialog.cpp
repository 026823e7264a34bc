// SPDX-License-Identifier: GPL-3.0-or-later
// The main window: start-up, data exchange, mode panels, ending, window menu, source loading,
// outputs and the preview controls, in that order (the Start buttons: csplitdialogstarts.cpp).
#include "csplitdialog.h"

#include "caboutdlg.h"
#include "controlids.h"
#include "cpositionslider.h"
#include "dataexchange.h"
#include "dialogcontrolfactory.h"
#include "dialogcontrols.h"
#include "dialogkeys.h"
#include "dialogtexts.h"
#include "dialogwiring.h"
#include "displayfit.h"
#include "droppedfile.h"
#include "exactcutsetting.h"
#include "localpath.h"
#include "modepanels.h"
#include "playerevents.h"
#include "radiogroupfocus.h"
#include "resources.h"
#include "sourcemeasure.h"
#include "templatebuilder.h"
#include "textview.h"
#include "updowncontrol.h"
#include "windowaccessible.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>

#include <utility>

namespace parvex {

namespace Id = ControlId;

namespace {
constexpr int SpinMaximum = 10000;
constexpr std::int32_t DefaultSplitSeconds = 60;
} // namespace

CSplitDialog::CSplitDialog(const DialogServices& services, QWidget* parent)
    : QDialog(parent)
    , m_services(services)
    , m_destinations(services.prompter, services.files, services.settings, services.desktop)
    , m_windowMenu(*this, [this] { return createWindowMenu(); })
    , m_pages(services.desktop, services.prompter)
    , m_outputFile(m_destinations.plainFileDefault())
{
    auto controls = TemplateBuilder::build(
        Resources::mainDialog(), this, DialogControlFactory(services.sliderHeld));
    m_marks = new MarksPanel(*this, controls,
        { services.files, services.prompter, [this] { return m_sourcePath; },
            [this] { return m_preview->pollNow(); }, [this] { return m_strip->levels(); },
            [this](std::vector<Silence> found) { m_strip->showSilences(std::move(found)); },
            services.askSilences, services.askChunks });
    m_ui = DialogControls::bind(std::move(controls));
    setUpDesktopAccess();
    m_preview = std::make_unique<PreviewSession>(this, m_ui.positionSlider, m_ui.positionDisplay,
        PreviewSession::Services { services.createGraph, services.createPreviewWindow,
            services.prompter, services.sliderHeld });
    // I and O on the waveform: Start Time and End Time at the player's position.
    m_strip = new WaveformStrip(*this, m_ui.all, m_marks->model(), *m_preview,
        { [this](std::int64_t s) { setMarkAt(m_startMark, m_startMarkTotal, s); },
            [this](std::int64_t s) {
                setMarkAt(m_endMark, m_endMarkTotal, s);
            } });
    m_cutStarter
        = std::make_unique<CutStarter>(m_services, *this, *m_ui.exactCutBox, *m_ui.outputFolderBox);
    WireDialogControls(*this, m_services.settings);
    OnInitDialog();
}

CSplitDialog::~CSplitDialog()
{
    OnDestroy();
}

// What the desktop expects beyond the template: displays that fit their texts, the mode radios
// as one Tab stop, the control under a screen reader's pointer, files dropped from a file manager.
void CSplitDialog::setUpDesktopAccess()
{
    WindowAccessible::markAsWindow(this);
    FitDisplays({ *control(Id::SourceTitle), *m_ui.eachSizeDisplay, *m_ui.positionDisplay,
                    *m_ui.positionSlider },
        *this);
    MakeRadioGroupOneTabStop({ m_ui.radio(Id::ByFrame), m_ui.radio(Id::BySize),
                                 m_ui.radio(Id::ByTime), m_ui.radio(Id::ByMarks) },
        control(Id::OpenMp3));
    setAcceptDrops(true);
}

void CSplitDialog::OnInitDialog()
{
    DoDataExchange(false);
    setWindowIcon(Resources::appIcon());
    m_ui.positionSlider->setRange(0, PreviewSession::SliderSteps);
    m_ui.positionSlider->setValue(0);
    m_ui.splitCountSpin->setRange(1, SpinMaximum);
    m_outputFolder = m_destinations.readOutputFolder();
    m_ui.outputFolderBox->setText(m_outputFolder);
    m_outputFile = m_destinations.readOutputFile();
    m_ui.edit(Id::OutputFile)->setText(m_outputFile);
    m_ui.exactCutBox->setChecked(ExactCutSetting::read(m_services.settings));
    m_ui.secondsSpin->setRange(1, SpinMaximum);
    m_splitSeconds = DefaultSplitSeconds;
    m_ui.secondsBox->setText(QString::number(m_splitSeconds));
    m_ui.radio(Id::ByFrame)->setChecked(true);
    OnByFrame();
    m_sourcePath.clear();
}

bool CSplitDialog::DoDataExchange(bool saveAndValidate)
{
    DataExchange dx(saveAndValidate, m_services.prompter);
    dx.text(qobject_cast<QLabel*>(control(Id::SourceTitle)), m_sourceTitle);
    dx.integer(m_ui.edit(Id::StartHours), m_startMark.hours);
    dx.integer(m_ui.edit(Id::StartMinutes), m_startMark.minutes);
    dx.integer(m_ui.edit(Id::StartSeconds), m_startMark.seconds);
    dx.integer(m_ui.edit(Id::EndHours), m_endMark.hours);
    dx.integer(m_ui.edit(Id::EndMinutes), m_endMark.minutes);
    dx.integer(m_ui.edit(Id::EndSeconds), m_endMark.seconds);
    dx.text(m_ui.edit(Id::OutputFile), m_outputFile);
    dx.integer(m_ui.edit(Id::SplitCount), m_splitCount);
    return dx.ok();
}

void CSplitDialog::OnByFrame()
{
    ShowPanels(m_ui.all, { Panel::ByRange }, *m_marks);
}

void CSplitDialog::OnBySize()
{
    ShowPanels(m_ui.all, { Panel::BySize, Panel::OutputFolder }, *m_marks);
}

void CSplitDialog::OnByTime()
{
    ShowPanels(m_ui.all, { Panel::ByTime, Panel::OutputFolder }, *m_marks);
}

void CSplitDialog::OnByMarks()
{
    ShowMarksPanels(m_ui.all, *m_marks);
}

void CSplitDialog::closeEvent(QCloseEvent* event)
{
    m_destinations.storeOutputFolder(m_outputFolder);
    m_marks->flush();
    ClosePreview();
    QDialog::closeEvent(event);
}

void CSplitDialog::keyPressEvent(QKeyEvent* event)
{
    const DialogKey key = ClassifyDialogKey(*event);
    if (key == DialogKey::Enter) {
        // No button is a default button, so a focused one would pass Enter on to the dialog
        // and end it; on the desktop Enter presses the button that has the focus.
        if (auto* button = qobject_cast<QPushButton*>(focusWidget()))
            button->click();
        else
            OnOK();
    } else if (key == DialogKey::Other && !m_windowMenu.keyPress(event)) {
        QDialog::keyPressEvent(event); // Esc ends the dialog without writing anything
    }
}

void CSplitDialog::OnOK()
{
    if (DoDataExchange(true))
        accept();
}

void CSplitDialog::done(int result)
{
    OnDestroy();
    QDialog::done(result);
}

// Runs once, however the dialog ends (close box, Enter, Esc) or when it is destroyed unended:
// no player outlives the window, playing or not.
void CSplitDialog::OnDestroy()
{
    if (std::exchange(m_destroyed, true))
        return;
    m_preview->close();
    m_marks->flush();
    m_strip->open({}); // its decoding stops
}

void CSplitDialog::contextMenuEvent(QContextMenuEvent* event)
{
    m_windowMenu.contextMenu(event);
}

QMenu* CSplitDialog::createWindowMenu()
{
    auto* menu = new QMenu(this);
    menu->addAction(QStringLiteral("Minimize"), this, &QWidget::showMinimized);
    menu->addAction(QStringLiteral("Close"), this, &QWidget::close);
    menu->addSeparator();
    menu->addAction(fromTextView(Resources::AboutMenuText), this, &CSplitDialog::OnAbout);
    return menu;
}

void CSplitDialog::OnAbout()
{
    CAboutDlg about(this);
    about.exec();
}

void CSplitDialog::OnHelp()
{
    m_pages.openHelp();
}

void CSplitDialog::OnHomepage()
{
    m_pages.openHomepage();
}

void CSplitDialog::openPage(const QUrl& page)
{
    m_pages.open(page);
}

void CSplitDialog::OnOpenMp3()
{
    const auto chosen = m_services.files.openFile(
        QStringLiteral("Select a MP3 file"), QStringLiteral("MP3 Files(*.mp3)"), m_sourcePath);
    if (chosen)
        openSource(*chosen);
}

void CSplitDialog::openSource(const QString& path)
{
    // The four facts of the source change together or not at all: a file that cannot be
    // measured leaves the previous source whole, and a later Start still cuts that one.
    const auto measured = MeasureSource(path, m_services.probeDuration, m_services.prompter);
    if (!measured)
        return;
    m_sourcePath = path;
    m_totalSeconds = measured->totalSeconds;
    m_sourceSize = measured->size;
    m_sourceTitle = SourceTitleText(QFileInfo(m_sourcePath).fileName(), m_totalSeconds);
    DoDataExchange(false);
    ClosePreview();
    OpenPreview(m_sourcePath);
    m_marks->openSource(m_sourcePath);
    m_strip->open(m_sourcePath);
}

void CSplitDialog::openSourceAtStart(const QString& path)
{
    // Once the window is up, so that a failure's box has it as its owner.
    QMetaObject::invokeMethod(
        this, [this, path] { openSource(path); }, Qt::QueuedConnection);
}

void CSplitDialog::dragEnterEvent(QDragEnterEvent* event)
{
    if (!DroppedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void CSplitDialog::dropEvent(QDropEvent* event)
{
    const QString file = DroppedFile(event->mimeData());
    if (file.isEmpty())
        return;
    event->acceptProposedAction();
    openSource(file);
}

void CSplitDialog::OnSplitNumberDeltaPos(int position, int delta)
{
    const std::int64_t parts = std::int64_t { position } + delta;
    if (parts >= 1 && !m_sourcePath.isEmpty())
        m_ui.eachSizeDisplay->setText(EachSizeText(m_sourceSize, parts));
}

void CSplitDialog::OnBrowseOutputFile()
{
    if (const auto chosen = m_destinations.chooseOutputFile(m_outputFile)) {
        m_outputFile = *chosen;
        m_ui.edit(Id::OutputFile)->setText(m_outputFile);
    }
}

void CSplitDialog::OnBrowseOutputFolder()
{
    m_outputFolder = m_destinations.chooseOutputFolder(m_outputFolder);
    m_ui.outputFolderBox->setText(m_outputFolder);
}

// The preview handlers below do nothing while there is no current player: before the first
// source and after a source that could not be played.
int CSplitDialog::OpenPreview(const QString& path)
{
    if (m_preview->open(path))
        return 1;
    m_sourcePath.clear();
    ClosePreview();
    return 0;
}

int CSplitDialog::ClosePreview()
{
    m_preview->close();
    update(); // the repaint shows 00:00:00
    return 1;
}

void CSplitDialog::RefreshPosition()
{
    m_preview->refreshPosition();
    if (const CPreviewPlayer* player = currentPlayer())
        m_strip->setPosition(player->m_llPosition);
}

bool CSplitDialog::event(QEvent* event)
{
    if (event->type() == PlayerEvents::PlayCommand) {
        OnPlay();
        return true;
    }
    if (event->type() == PlayerEvents::PlayPosition)
        RefreshPosition();
    return QDialog::event(event);
}

void CSplitDialog::paintEvent(QPaintEvent* event)
{
    RefreshPosition();
    QDialog::paintEvent(event);
}

void CSplitDialog::OnPlay()
{
    m_preview->play();
}

void CSplitDialog::OnPause()
{
    m_preview->pause();
}

void CSplitDialog::OnStop()
{
    m_preview->stop();
}

void CSplitDialog::OnStartTime()
{
    CaptureMark(m_startMark, m_startMarkTotal);
}

void CSplitDialog::OnEndTime()
{
    CaptureMark(m_endMark, m_endMarkTotal);
}

// The mark takes the last polled position, at most about a second old.
void CSplitDialog::CaptureMark(TimeMark& mark, std::int32_t& markTotal)
{
    if (const std::optional<std::int32_t> secs = m_preview->polledSeconds())
        setMarkAt(mark, markTotal, *secs);
}

// The exchange that shows the mark rewrites every bound box, so text typed since the last
// read-back is replaced.
void CSplitDialog::setMarkAt(TimeMark& mark, std::int32_t& markTotal, std::int64_t seconds)
{
    markTotal = static_cast<std::int32_t>(seconds);
    mark = TimeMark::fromSeconds(markTotal);
    DoDataExchange(false);
}

void CSplitDialog::OnSliderReleased()
{
    m_preview->seekToSlider();
}

} // namespace parvex
