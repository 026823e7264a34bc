// SPDX-License-Identifier: GPL-3.0-or-later
// Builds the By marks controls in dialog units and runs the list's buttons.
#include "markspanel.h"

#include "controlids.h"
#include "filechooser.h"
#include "markpieces.h"
#include "marksexchange.h"
#include "marksfile.h"
#include "prompter.h"
#include "resultmailbox.h"
#include "templatebuilder.h"

#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>

#include <algorithm>
#include <cmath>

namespace parvex {

namespace Id = ControlId;

namespace {
// Dialog units, as the template's: the panel takes this much below the template's area.
constexpr int PanelHeight = 100;
constexpr int PanelTop = 213;
constexpr std::int64_t MediaTimePerSecond = 10'000'000;
const QString CueFilter = QStringLiteral("CUE Sheets (*.cue)");

// Where the radio's text ends, in its parent's pixels.
int textEnd(const QRadioButton& radio)
{
    const QStyle& style = *radio.style();
    return radio.x() + style.pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, &radio)
        + style.pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, &radio)
        + radio.fontMetrics().size(Qt::TextShowMnemonic, radio.text()).width();
}

// One more radio of the template's group, after the last one's text and inside the group's
// frame as far as the room allows: at the template's width of the last radio, this caption
// would run past the frame. Where even that is too little (a wide font), the frame grows to the
// window's margin rather than cut the caption.
void placeBeside(QRadioButton& radio, const QRadioButton& last, QWidget* group)
{
    const int width = textEnd(radio) - radio.x() + 2;
    const int left = textEnd(last) + last.fontMetrics().averageCharWidth() / 2;
    if (!group) {
        radio.setGeometry(left, radio.y(), width, radio.height());
        return;
    }
    const int frameEnd = group->geometry().right() - 2;
    const int x = std::max(left, std::min(radio.x(), frameEnd - width));
    radio.setGeometry(x, radio.y(), width, radio.height());
    const int margin = radio.parentWidget()->width() - group->geometry().right() - 1;
    const int over = x + width - frameEnd;
    if (over > 0)
        group->resize(group->width() + std::min(over, std::max(0, margin - 4)), group->height());
}

struct Place
{
    int id;
    int x, y, width, height;
};
} // namespace

MarksPanel::MarksPanel(QWidget& window, QHash<int, QWidget*>& controls, Services services)
    : QObject(&window)
    , m_window(window)
    , m_services(std::move(services))
    , m_mailbox(std::make_shared<ResultMailbox>(this))
{
    makeControls(controls);
    openSource({});
    setShown(false);
}

MarksPanel::~MarksPanel()
{
    m_mailbox->close();
    if (m_saver.joinable())
        m_saver.join();
}

void MarksPanel::makeControls(QHash<int, QWidget*>& controls)
{
    const auto place = [&](QWidget* widget, const Place& at) {
        widget->setGeometry(
            TemplateBuilder::toPixels(m_window.font(), at.x, at.y, at.width, at.height));
        if (at.id >= 0) {
            widget->setObjectName(QString::number(at.id));
            controls.insert(at.id, widget);
        }
        return widget;
    };
    m_radio = new QRadioButton(QStringLiteral("By &marks"), &m_window);
    m_radio->setAutoExclusive(true);
    place(m_radio, { Id::ByMarks, 228, 39, 40, 10 });
    if (const auto* byTime = qobject_cast<QRadioButton*>(controls.value(Id::ByTime)))
        placeBeside(*m_radio, *byTime, m_window.findChild<QGroupBox*>());

    auto* label = new QLabel(QStringLiteral("Marks"), &m_window);
    m_list = new QListView(&m_window);
    m_list->setModel(&m_model);
    m_list->setAccessibleName(QStringLiteral("Marks"));
    label->setBuddy(m_list);
    m_panel = { place(label, { -1, 7, PanelTop + 2, 60, 8 }),
        place(m_list, { Id::MarksList, 7, PanelTop + 12, 108, 82 }) };
    m_needSource = { m_list };
    // Two columns of buttons beside the list, each read top to bottom (and tabbed so): the
    // list's own work, then what fills it from elsewhere or writes it out.
    struct Button
    {
        const char16_t* caption;
        int id;
        void (MarksPanel::*handler)();
    };
    const Button buttons[] { { u"Add Mark", Id::AddMark, &MarksPanel::addMark },
        { u"Remove Mark", Id::RemoveMark, &MarksPanel::removeMark },
        { u"Find Silences\u2026", Id::FindSilences, &MarksPanel::findSilences },
        { u"Chunks\u2026", Id::Chunks, &MarksPanel::makeChunks },
        { u"Import CUE\u2026", Id::ImportCue, &MarksPanel::importCue },
        { u"Import Chapters", Id::ImportChapters, &MarksPanel::importChapters },
        { u"Export CUE\u2026", Id::ExportCue, &MarksPanel::exportCue },
        { u"Save with Chapters\u2026", Id::SaveWithChapters, &MarksPanel::saveWithChapters } };
    // The second column is wider for "Save with Chapters…".
    const int lefts[] { 120, 190 }, widths[] { 66, 80 };
    const int height = 14, step = 17, top = PanelTop + 12;
    for (int i = 0; i < int(std::size(buttons)); ++i) {
        auto* pushButton = new QPushButton(QString::fromUtf16(buttons[i].caption), &m_window);
        pushButton->setAutoDefault(false);
        connect(pushButton, &QPushButton::clicked, this, buttons[i].handler);
        m_panel.append(place(pushButton,
            { buttons[i].id, lefts[i / 4], top + i % 4 * step, widths[i / 4], height }));
        m_needSource.append(pushButton);
    }
    m_saveButton = controls.value(Id::SaveWithChapters);
    // Where the other modes have theirs; the last of the window's Tab stops.
    auto* start = new QPushButton(QStringLiteral("&Start"), &m_window);
    start->setAutoDefault(false);
    m_panel.append(place(start, { Id::StartByMarks, 7, 183, 50, 14 }));
}

// The list is off until the walk over the frames has measured the file (on a worker: it reads
// the whole file, which from disk takes longer than a window may stand still).
void MarksPanel::openSource(const QString& path)
{
    m_model.setSource(0, 0);
    enableList(false);
    m_silences.clear();
    const int opening = ++m_opening;
    if (path.isEmpty())
        return;
    ResultMailbox::run(
        m_mailbox, [path] { return MeasureMarksSource(path); },
        [this, path, opening](std::optional<GaplessFacts> facts) {
            if (opening != m_opening || !facts)
                return;
            m_model.openSource(path, facts->sampleRate, facts->totalSamples, MarksFolder());
            enableList(true);
            Q_EMIT sourceMeasured();
        });
}

void MarksPanel::enableList(bool enabled)
{
    for (QWidget* widget : std::as_const(m_needSource))
        widget->setEnabled(enabled);
}

void MarksPanel::setShown(bool shown)
{
    for (QWidget* widget : std::as_const(m_panel))
        widget->setVisible(shown);
    // From the window's height now: others (the waveform strip) may have grown it meanwhile.
    const int extra = TemplateBuilder::toPixels(m_window.font(), 0, 0, 0, PanelHeight).height();
    const int without = m_window.height() - (m_shown ? extra : 0);
    m_window.setFixedSize(m_window.width(), without + (shown ? extra : 0));
    m_shown = shown;
}

void MarksPanel::addMark()
{
    const std::optional<std::int64_t> time = m_services.mediaTime();
    if (!time)
        return;
    const std::int64_t rate = m_model.sampleRate();
    const int row = m_model.addMark((*time * rate + MediaTimePerSecond / 2) / MediaTimePerSecond);
    if (row >= 0)
        m_list->setCurrentIndex(m_model.index(row));
}

void MarksPanel::removeMark()
{
    const int row = m_list->currentIndex().row();
    m_model.removeMark(row);
}

void MarksPanel::importCue()
{
    const auto sheet = m_services.files.openFile(
        QStringLiteral("Import a CUE sheet"), CueFilter, sourceFolder());
    if (!sheet)
        return;
    CutAtMarks pieces;
    const QString error = ReadCuePieces(*sheet, m_services.sourcePath(), &pieces);
    if (error.isEmpty())
        replaceMarks(pieces, QFileInfo(*sheet).fileName());
    report(error);
}

void MarksPanel::importChapters()
{
    CutAtMarks pieces;
    const QString error = ReadChapterPieces(m_services.sourcePath(), &pieces);
    if (error.isEmpty())
        replaceMarks(pieces, QStringLiteral("the file's chapters"));
    report(error);
}

void MarksPanel::exportCue()
{
    const QFileInfo source(m_services.sourcePath());
    const auto sheet = m_services.files.saveFile(QStringLiteral("Export a CUE sheet"), CueFilter,
        sourceFolder(), source.completeBaseName() + QStringLiteral(".cue"));
    if (sheet)
        report(ExportCueMarks(m_model, *sheet, source.filePath()));
}

// The silences are shaded as the user tries settings; Cancel brings back those shaded before.
void MarksPanel::findSilences()
{
    const auto levels = readyLevels();
    if (!levels)
        return;
    std::vector<Silence> found;
    const auto preview = [&](const SilenceSettings& settings) {
        found = FindSilences(*levels, settings.thresholdDb, settings.minSeconds);
        m_services.showSilences(found);
        return int(found.size());
    };
    const auto chosen = m_services.askSilences(&m_window, m_silence, preview);
    if (!chosen) {
        m_services.showSilences(m_silences);
        return;
    }
    m_silence = *chosen;
    found = FindSilences(*levels, m_silence.thresholdDb, m_silence.minSeconds);
    if (replaceMarks(SilenceMarks(found, levels->totalSamples, levels->sampleRate, m_silence),
            QStringLiteral("the silences")))
        m_silences = found;
    m_services.showSilences(m_silences);
}

void MarksPanel::makeChunks()
{
    const auto levels = readyLevels();
    if (!levels)
        return;
    const auto lengths = m_services.askChunks(&m_window, m_chunks);
    if (!lengths)
        return;
    m_chunks = *lengths;
    const int rate = levels->sampleRate;
    const auto found = FindSilences(*levels, m_silence.thresholdDb, m_silence.minSeconds);
    std::vector<std::int64_t> unsilent;
    const CutAtMarks pieces = ChunkMarks(found, levels->totalSamples, rate,
        std::llround(m_chunks.desiredSeconds * rate), std::llround(m_chunks.maximumSeconds * rate),
        m_silence, &unsilent);
    if (!replaceMarks(pieces, QStringLiteral("the chunks")))
        return;
    m_silences = found;
    m_services.showSilences(m_silences);
    if (!unsilent.empty())
        m_services.prompter.message(QStringLiteral("Chunks"),
            QStringLiteral("%1 of the cuts found no pause before the longest length and were "
                           "placed at the desired length.")
                .arg(unsilent.size()));
}

// The copy is written on a worker (it reads the whole source); its result comes back as a
// queued call, which Qt drops if the panel is gone.
void MarksPanel::saveWithChapters()
{
    const QFileInfo source(m_services.sourcePath());
    const auto output = m_services.files.saveFile(QStringLiteral("Save with Chapters"),
        QStringLiteral("MP3 Files (*.mp3)"), sourceFolder(),
        source.completeBaseName() + QStringLiteral(" (chapters).mp3"));
    if (!output)
        return;
    // The open file is kept: its marks, its level summary and the player are all keyed to it.
    if (QFileInfo(*output) == source) {
        report(QStringLiteral("%1 is the open file. Choose another name for the copy.")
                   .arg(source.fileName()));
        return;
    }
    if (QFileInfo::exists(*output)
        && !m_services.prompter.askYesNo(QStringLiteral("Save with Chapters"),
            QStringLiteral("%1 already exists.\nDo you want to replace it?")
                .arg(QFileInfo(*output).fileName())))
        return;
    if (m_saver.joinable())
        m_saver.join();
    m_saveButton->setEnabled(false);
    m_saver = std::thread([this,
                              chapters = ChaptersFromMarks(
                                  m_model.marks(), m_model.sampleRate(), m_model.totalSamples()),
                              from = source.filePath(), to = *output] {
        QString said = SaveChapteredCopy(chapters, from, to);
        const bool done = said.isEmpty();
        if (done)
            said = QStringLiteral("%1 is written, with %2 chapters.")
                       .arg(QFileInfo(to).fileName())
                       .arg(chapters.size());
        QMetaObject::invokeMethod(
            this, [this, done, said] { saved(done, said); }, Qt::QueuedConnection);
    });
}

void MarksPanel::saved(bool done, const QString& text)
{
    m_saveButton->setEnabled(m_model.sampleRate() > 0);
    if (done)
        m_services.prompter.message(QStringLiteral("Save with Chapters"), text);
    else
        report(text);
}

bool MarksPanel::replaceMarks(const CutAtMarks& pieces, const QString& from)
{
    const int rows = m_model.rowCount();
    const QString question = rows == 1
        ? QStringLiteral("The list has a mark. Replace it with the marks of %1?").arg(from)
        : QStringLiteral("The list has %1 marks. Replace them with the marks of %2?")
              .arg(rows)
              .arg(from);
    if (rows > 0 && !m_services.prompter.askYesNo(QStringLiteral("Replace Marks"), question))
        return false;
    m_model.importPieces(pieces);
    return true;
}

// Silences are found in the whole file's summary: half of it would find half of them.
std::shared_ptr<const LevelSummary> MarksPanel::readyLevels()
{
    auto levels = m_services.levels();
    if (!levels)
        report(QStringLiteral(
            "The waveform of this file is still being read. Try again once it is complete."));
    return levels;
}

void MarksPanel::report(const QString& error)
{
    if (!error.isEmpty())
        m_services.prompter.error(error);
}

// Sheets and copies go beside the recording they describe.
QString MarksPanel::sourceFolder() const
{
    return QFileInfo(m_services.sourcePath()).absolutePath();
}

} // namespace parvex
