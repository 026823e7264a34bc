// The main window: start-up, data exchange, mode panels, source loading, splits and outputs.
#include "csplitdialog.h"

#include "caboutdlg.h"
#include "controlids.h"
#include "cpositionslider.h"
#include "cutdispatcher.h"
#include "dataexchange.h"
#include "dialogsplithost.h"
#include "dialogtexts.h"
#include "displayaccessible.h"
#include "displayfit.h"
#include "elidinglabel.h"
#include "exactcutsetting.h"
#include "fileaccess.h"
#include "helppages.h"
#include "leadinginteger.h"
#include "localpath.h"
#include "playerevents.h"
#include "radiogroupfocus.h"
#include "resources.h"
#include "templatebuilder.h"
#include "textview.h"
#include "updowncontrol.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>
#include <memory>
#include <utility>

namespace Id = ControlId;

namespace {
constexpr int SpinMaximum = 10000;
constexpr std::int32_t DefaultSplitSeconds = 60;
// The seconds box is read from this many characters at most.
constexpr qsizetype SecondsTextLimit = 31;
} // namespace

CSplitDialog::CSplitDialog(const DialogServices& services, QWidget* parent)
    : QDialog(parent)
    , m_services(services)
    , m_destinations(services.prompter, services.files, services.settings, services.desktop)
    , m_windowMenu(*this, [this] { return createWindowMenu(); })
    , m_outputFile(m_destinations.plainFileDefault())
{
    m_controls = TemplateBuilder::build(Resources::mainDialog(), this,
        [slider = CPositionSlider::templateFactory(services.sliderHeld)](
            const ControlTemplate& item, QWidget* owner) -> QWidget* {
            QLabel* display = nullptr;
            if (item.id == Id::SourceTitle)
                display = new ElidingLabel(owner);
            else if (item.id == Id::PositionDisplay || item.id == Id::EachSize)
                display = new QLabel(owner);
            else
                return slider(item, owner);
            // Before the builder names it: Qt keeps the first interface it makes for a widget.
            DisplayAccessible::markAsDisplay(display);
            return display;
        });
    bindControls();
    setUpDesktopAccess();
    m_preview = std::make_unique<PreviewSession>(this, m_positionSlider, m_positionDisplay,
        PreviewSession::Services { services.createGraph, services.createPreviewWindow,
            services.prompter, services.sliderHeld });
    connectControls();
    OnInitDialog();
}

CSplitDialog::~CSplitDialog()
{
    OnDestroy();
}

QLineEdit* CSplitDialog::edit(int id) const
{
    return qobject_cast<QLineEdit*>(control(id));
}

void CSplitDialog::bindControls()
{
    m_secondsSpin = qobject_cast<UpDownControl*>(control(Id::SplitSecondsSpin));
    m_secondsBox = edit(Id::SplitSeconds);
    m_outputFolderBox = edit(Id::OutputFolder);
    m_exactCutBox = qobject_cast<QCheckBox*>(control(Id::ExactCut));
    m_splitCountSpin = qobject_cast<UpDownControl*>(control(Id::SplitCountSpin));
    m_eachSizeDisplay = qobject_cast<QLabel*>(control(Id::EachSize));
    m_positionDisplay = qobject_cast<QLabel*>(control(Id::PositionDisplay));
    m_positionSlider = qobject_cast<CPositionSlider*>(control(Id::PositionSlider));
}

// What the desktop expects beyond the template: displays that fit their texts, the mode radios
// as one Tab stop, files dropped from a file manager.
void CSplitDialog::setUpDesktopAccess()
{
    FitDisplays(
        { *control(Id::SourceTitle), *m_eachSizeDisplay, *m_positionDisplay, *m_positionSlider },
        *this);
    MakeRadioGroupOneTabStop(
        { radio(Id::ByFrame), radio(Id::BySize), radio(Id::ByTime) }, control(Id::OpenMp3));
    setAcceptDrops(true);
}

QRadioButton* CSplitDialog::radio(int id) const
{
    return qobject_cast<QRadioButton*>(control(id));
}

void CSplitDialog::connectControls()
{
    const auto onClick = [this](int id, void (CSplitDialog::*handler)()) {
        connect(
            qobject_cast<QAbstractButton*>(control(id)), &QAbstractButton::clicked, this, handler);
    };
    onClick(Id::OpenMp3, &CSplitDialog::OnOpenMp3);
    onClick(Id::StartRange, &CSplitDialog::OnStartRange);
    onClick(Id::Play, &CSplitDialog::OnPlay);
    onClick(Id::Pause, &CSplitDialog::OnPause);
    onClick(Id::Stop, &CSplitDialog::OnStop);
    onClick(Id::StartTime, &CSplitDialog::OnStartTime);
    onClick(Id::EndTime, &CSplitDialog::OnEndTime);
    onClick(Id::StartBySize, &CSplitDialog::OnStartBySize);
    onClick(Id::BrowseFolder, &CSplitDialog::OnBrowseOutputFolder);
    onClick(Id::StartByTime, &CSplitDialog::OnStartByTime);
    // However a radio gets checked (mouse, arrow keys, a screen reader's action), its panel shows.
    const auto onChecked = [this](int id, void (CSplitDialog::*handler)()) {
        connect(radio(id), &QAbstractButton::toggled, this, [this, handler](bool checked) {
            if (checked)
                (this->*handler)();
        });
    };
    onChecked(Id::ByFrame, &CSplitDialog::OnByFrame);
    onChecked(Id::BySize, &CSplitDialog::OnBySize);
    onChecked(Id::ByTime, &CSplitDialog::OnByTime);
    onClick(Id::Homepage, &CSplitDialog::OnHomepage);
    onClick(Id::Help, &CSplitDialog::OnHelp);
    onClick(Id::BrowseFile, &CSplitDialog::OnBrowseOutputFile);
    // Only a mouse release seeks; keyboard moves are put right by the next refresh.
    connect(
        m_positionSlider, &CPositionSlider::releasedCapture, this, &CSplitDialog::OnSliderReleased);
    connect(m_splitCountSpin, &UpDownControl::deltaPos, this, &CSplitDialog::OnSplitNumberDeltaPos);
    // Stored at once, so that the choice outlives an Esc, a crash or a killed session too.
    connect(m_exactCutBox, &QAbstractButton::toggled, this,
        [this](bool checked) { ExactCutSetting::store(m_services.settings, checked); });
}

void CSplitDialog::OnInitDialog()
{
    DoDataExchange(false);
    setWindowIcon(Resources::appIcon());
    m_positionSlider->setRange(0, PreviewSession::SliderSteps);
    m_positionSlider->setValue(0);
    m_splitCountSpin->setRange(1, SpinMaximum);
    m_outputFolder = m_destinations.readOutputFolder();
    m_outputFolderBox->setText(m_outputFolder);
    m_outputFile = m_destinations.readOutputFile();
    edit(Id::OutputFile)->setText(m_outputFile);
    m_exactCutBox->setChecked(ExactCutSetting::read(m_services.settings));
    m_secondsSpin->setRange(1, SpinMaximum);
    m_splitSeconds = DefaultSplitSeconds;
    m_secondsBox->setText(QString::number(m_splitSeconds));
    radio(Id::ByFrame)->setChecked(true);
    OnByFrame();
    m_sourcePath.clear();
}

bool CSplitDialog::DoDataExchange(bool saveAndValidate)
{
    DataExchange dx(saveAndValidate, m_services.prompter);
    dx.text(qobject_cast<QLabel*>(control(Id::SourceTitle)), m_sourceTitle);
    dx.integer(edit(Id::StartHours), m_startMark.hours);
    dx.integer(edit(Id::StartMinutes), m_startMark.minutes);
    dx.integer(edit(Id::StartSeconds), m_startMark.seconds);
    dx.integer(edit(Id::EndHours), m_endMark.hours);
    dx.integer(edit(Id::EndMinutes), m_endMark.minutes);
    dx.integer(edit(Id::EndSeconds), m_endMark.seconds);
    dx.text(edit(Id::OutputFile), m_outputFile);
    dx.integer(edit(Id::SplitCount), m_splitCount);
    return dx.ok();
}

// --- Mode panels ---------------------------------------------------------------------------

void CSplitDialog::showPanels(std::initializer_list<Panel> shown)
{
    for (const ControlTemplate& item : Resources::mainDialog().controls) {
        QWidget* widget = control(item.id);
        if (widget && item.panel != Panel::Common)
            widget->setVisible(std::ranges::find(shown, item.panel) != shown.end());
    }
}

void CSplitDialog::OnByFrame()
{
    showPanels({ Panel::ByRange });
}

void CSplitDialog::OnBySize()
{
    showPanels({ Panel::BySize, Panel::OutputFolder });
}

void CSplitDialog::OnByTime()
{
    showPanels({ Panel::ByTime, Panel::OutputFolder });
}

// --- Ending ----------------------------------------------------------------------------------

void CSplitDialog::closeEvent(QCloseEvent* event)
{
    m_destinations.storeOutputFolder(m_outputFolder);
    ClosePreview();
    QDialog::closeEvent(event);
}

void CSplitDialog::keyPressEvent(QKeyEvent* event)
{
    const bool plain = event->modifiers() == Qt::NoModifier
        || (event->modifiers() == Qt::KeypadModifier && event->key() == Qt::Key_Enter);
    if (plain && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        // No button is a default button, so a focused one would pass Enter on to the dialog
        // and end it; on the desktop Enter presses the button that has the focus.
        if (auto* button = qobject_cast<QPushButton*>(focusWidget()))
            button->click();
        else
            OnOK();
        return;
    }
    if (plain && event->key() == Qt::Key_F1)
        return; // the window has no context help
    if (m_windowMenu.keyPress(event))
        return;
    QDialog::keyPressEvent(event); // Esc ends the dialog without writing anything
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
}

// --- Window menu, help, homepage -----------------------------------------------------------

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
    openPage(HelpPage(QCoreApplication::applicationDirPath(), QStringLiteral("Introduction.htm")));
}

// A build without a product page of its own opens the introduction instead of a dead address.
void CSplitDialog::OnHomepage()
{
    const QString homepage = QStringLiteral(PARVEX_HOMEPAGE);
    if (homepage.isEmpty())
        OnHelp();
    else
        openPage(QUrl(homepage));
}

// A page that opens and is missing is the browser's to report; a page nothing could open would
// otherwise leave the button doing nothing visible.
void CSplitDialog::openPage(const QUrl& page)
{
    if (!m_services.desktop.openUrl(page))
        m_services.prompter.frameworkMessage(PageNotOpenedText(page));
}

// --- Source ----------------------------------------------------------------------------------

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
    const std::string localPath = toLocalPath(path);
    const auto total = m_services.probeDuration(localPath);
    if (!total) {
        m_services.prompter.frameworkMessage(QStringLiteral("Can not open the mp3 total time!"));
        return;
    }
    const auto size = RegularFileSize(localPath);
    if (!size) {
        m_services.prompter.frameworkMessage(QStringLiteral("Can not open the mp3 file!"));
        return;
    }
    m_sourcePath = path;
    m_totalSeconds = *total;
    m_sourceSize = *size;
    m_sourceTitle = SourceTitleText(QFileInfo(m_sourcePath).fileName(), m_totalSeconds);
    DoDataExchange(false);
    ClosePreview();
    OpenPreview(m_sourcePath);
}

void CSplitDialog::openSourceAtStart(const QString& path)
{
    // Once the window is up, so that a failure's box has it as its owner.
    QMetaObject::invokeMethod(
        this, [this, path] { openSource(path); }, Qt::QueuedConnection);
}

namespace {
// The first local file a drag carries; empty when it carries none.
QString droppedFile(const QMimeData* data)
{
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile())
            return url.toLocalFile();
    }
    return {};
}
} // namespace

void CSplitDialog::dragEnterEvent(QDragEnterEvent* event)
{
    if (!droppedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void CSplitDialog::dropEvent(QDropEvent* event)
{
    const QString file = droppedFile(event->mimeData());
    if (file.isEmpty())
        return;
    event->acceptProposedAction();
    openSource(file);
}

// --- Splits ----------------------------------------------------------------------------------

void CSplitDialog::OnStartRange()
{
    const bool sourceOpen = !m_sourceTitle.isEmpty();
    // A refused box was reported by the exchange; cutting with older values would write a
    // piece the user did not ask for.
    if (sourceOpen && !DoDataExchange(true))
        return;
    runCut(RangeSpec { m_startMark, m_endMark, toLocalPath(m_outputFile) });
}

void CSplitDialog::OnStartBySize()
{
    if (m_sourceTitle.isEmpty() || !DoDataExchange(true))
        return;
    if (runCut(PartsSpec { m_splitCount }).status != SplitStatus::Stopped)
        keepOutputFolderFromBox();
}

void CSplitDialog::OnStartByTime()
{
    const QString secondsText = m_secondsBox->text().left(SecondsTextLimit);
    m_splitSeconds = ParseLeadingInteger(secondsText.toStdString()).value_or(0);
    const EverySpec every { secondsText.toStdString(), TimeMark::fromSeconds(m_splitSeconds) };
    if (runCut(every).status != SplitStatus::Stopped)
        keepOutputFolderFromBox();
}

SplitResult CSplitDialog::runCut(CutSpec spec)
{
    CutRequest request;
    request.sourcePath = toLocalPath(m_sourcePath);
    request.sourceOpen = !m_sourceTitle.isEmpty();
    request.exact = m_exactCutBox->isChecked();
    request.spec = std::move(spec);
    request.outputFolder = toLocalPath(m_outputFolderBox->text());
    request.measureSeconds = [this] {
        return std::optional<std::int64_t>(m_totalSeconds);
    };
    DialogSplitHost host(m_services.prompter, this);
    return RunCut(request, host);
}

// A split that got as far as its files took the folder from the box; the close box remembers
// that folder.
void CSplitDialog::keepOutputFolderFromBox()
{
    m_outputFolder = m_outputFolderBox->text();
}

void CSplitDialog::OnSplitNumberDeltaPos(int position, int delta)
{
    const std::int64_t parts = std::int64_t { position } + delta;
    if (parts >= 1 && !m_sourcePath.isEmpty())
        m_eachSizeDisplay->setText(EachSizeText(m_sourceSize, parts));
}

// --- Outputs ---------------------------------------------------------------------------------

void CSplitDialog::OnBrowseOutputFile()
{
    if (const auto chosen = m_destinations.chooseOutputFile(m_outputFile)) {
        m_outputFile = *chosen;
        edit(Id::OutputFile)->setText(m_outputFile);
    }
}

void CSplitDialog::OnBrowseOutputFolder()
{
    m_outputFolder = m_destinations.chooseOutputFolder(m_outputFolder);
    m_outputFolderBox->setText(m_outputFolder);
}

// --- Preview player ----------------------------------------------------------------------------
// Each handler here does nothing while there is no current player: before the first source and
// after a source that could not be played.

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

// The mark takes the last polled position, at most about a second old. The exchange that
// shows it rewrites every bound box, so text typed since the last read-back is replaced.
void CSplitDialog::CaptureMark(TimeMark& mark, std::int32_t& markTotal)
{
    const std::optional<std::int32_t> secs = m_preview->polledSeconds();
    if (!secs)
        return;
    markTotal = *secs;
    mark = TimeMark::fromSeconds(*secs);
    DoDataExchange(false);
}

void CSplitDialog::OnSliderReleased()
{
    m_preview->seekToSlider();
}
