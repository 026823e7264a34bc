// SPDX-License-Identifier: GPL-3.0-or-later
// Builds the By marks controls in dialog units and runs the list's buttons.
#include "markspanel.h"

#include "controlids.h"
#include "filechooser.h"
#include "marksexchange.h"
#include "prompter.h"
#include "templatebuilder.h"

#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>

#include <algorithm>

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
// would run past the frame.
void placeBeside(QRadioButton& radio, const QRadioButton& last, const QWidget* group)
{
    const int width = textEnd(radio) - radio.x() + 2;
    const int left = textEnd(last) + last.fontMetrics().averageCharWidth();
    const int frameEnd = group ? group->geometry().right() - 2 : left + width;
    radio.setGeometry(
        std::max(left, std::min(radio.x(), frameEnd - width)), radio.y(), width, radio.height());
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
{
    makeControls(controls);
    openSource({});
    setShown(false);
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
        place(m_list, { Id::MarksList, 7, PanelTop + 12, 193, 82 }) };
    m_needSource = { m_list };
    const auto button
        = [&](const QString& caption, const Place& at, void (MarksPanel::*handler)()) {
              auto* pushButton = new QPushButton(caption, &m_window);
              pushButton->setAutoDefault(false);
              connect(pushButton, &QPushButton::clicked, this, handler);
              m_panel.append(place(pushButton, at));
              m_needSource.append(pushButton);
          };
    const int x = 207, width = 63, height = 14, step = 17, top = PanelTop + 12;
    button(
        QStringLiteral("Add Mark"), { Id::AddMark, x, top, width, height }, &MarksPanel::addMark);
    button(QStringLiteral("Remove Mark"), { Id::RemoveMark, x, top + step, width, height },
        &MarksPanel::removeMark);
    button(QStringLiteral("Import CUE\u2026"), { Id::ImportCue, x, top + 2 * step, width, height },
        &MarksPanel::importCue);
    button(QStringLiteral("Import Chapters"),
        { Id::ImportChapters, x, top + 3 * step, width, height }, &MarksPanel::importChapters);
    button(QStringLiteral("Export CUE\u2026"), { Id::ExportCue, x, top + 4 * step, width, height },
        &MarksPanel::exportCue);
    // Where the other modes have theirs; the last of the window's Tab stops.
    auto* start = new QPushButton(QStringLiteral("&Start"), &m_window);
    start->setAutoDefault(false);
    m_panel.append(place(start, { Id::StartByMarks, 7, 183, 50, 14 }));
}

void MarksPanel::openSource(const QString& path)
{
    bool open = false;
    if (path.isEmpty())
        m_model.setSource(0, 0);
    else
        open = OpenMarksSource(m_model, path);
    for (QWidget* widget : std::as_const(m_needSource))
        widget->setEnabled(open);
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
    const auto sheet
        = m_services.files.openFile(QStringLiteral("Import a CUE sheet"), CueFilter, sheetFolder());
    if (sheet)
        report(ImportCueMarks(m_model, *sheet, m_services.sourcePath()));
}

void MarksPanel::importChapters()
{
    report(ImportChapterMarks(m_model, m_services.sourcePath()));
}

void MarksPanel::exportCue()
{
    const QFileInfo source(m_services.sourcePath());
    const auto sheet = m_services.files.saveFile(QStringLiteral("Export a CUE sheet"), CueFilter,
        sheetFolder(), source.completeBaseName() + QStringLiteral(".cue"));
    if (sheet)
        report(ExportCueMarks(m_model, *sheet, source.filePath()));
}

void MarksPanel::report(const QString& error)
{
    if (!error.isEmpty())
        m_services.prompter.error(error);
}

// Sheets live beside the recording they describe.
QString MarksPanel::sheetFolder() const
{
    return QFileInfo(m_services.sourcePath()).absolutePath();
}

} // namespace parvex
