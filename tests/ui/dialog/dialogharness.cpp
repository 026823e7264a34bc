// SPDX-License-Identifier: GPL-3.0-or-later
// Builds the dialog on scripted services and reaches its controls by id.
#include "dialogharness.h"

#include "controlids.h"
#include "cutdispatcher.h"
#include "playerevents.h"

#include <QAbstractButton>
#include <QDir>
#include <QLabel>
#include <QSettings>

namespace parvex {

DialogHarness::DialogHarness()
{
    desktop.music = QString::fromStdString((temp.path() / "Music").string());
}

CSplitDialog& DialogHarness::startAtPointSize(int points)
{
    const QFont before = QApplication::font();
    QFont font = before;
    font.setPointSize(points);
    QApplication::setFont(font);
    CSplitDialog& dialog = start();
    QApplication::setFont(before);
    return dialog;
}

CSplitDialog& DialogHarness::start()
{
    const DialogServices services { .prompter = prompter,
        .files = files,
        .settings = settings,
        .desktop = desktop,
        .probeDuration = [this](const std::string&) { return duration; },
        .runCut
        = [this](const CutRequest& request, SplitHost& host) { return runCut(request, host); },
        .askSilences =
            [this](QWidget*, const SilenceSettings&, const auto& preview) {
                for (const SilenceSettings& tried : silenceTries)
                    silenceCounts.push_back(preview(tried));
                return silenceCancels || silenceTries.empty() ? std::nullopt
                                                              : std::optional(silenceTries.back());
            },
        .askChunks = [this](QWidget*, const ChunkLengths&) { return chunkAnswer; },
        .sliderHeld = &sliderHeld,
        .createGraph = [this] { return createGraph ? createGraph() : nullptr; },
        .createPreviewWindow =
            [this](QWidget* owner) {
                return createPreviewWindow ? createPreviewWindow(owner) : nullptr;
            } };
    m_dialog = std::make_unique<CSplitDialog>(services);
    m_dialog->installEventFilter(this);
    return *m_dialog;
}

QString DialogHarness::text(int id) const
{
    if (const auto* label = control<QLabel>(id))
        return label->text();
    return edit(id)->text();
}

void DialogHarness::click(int id) const
{
    control<QAbstractButton>(id)->click();
}

QString DialogHarness::path(const QString& name) const
{
    return QString::fromStdString((temp.path() / name.toStdString()).string());
}

void DialogHarness::openSource(const QString& file, std::int64_t seconds)
{
    duration = seconds;
    files.answerNext(file);
    click(ControlId::OpenMp3);
}

QString DialogHarness::openPatternSource(
    const QString& name, std::int64_t seconds, std::int64_t bytes)
{
    const QString file = path(name);
    MakePatternFile(file.toStdString(), bytes);
    openSource(file, seconds);
    setText(ControlId::OutputFile, path(QStringLiteral("cut.mp3")));
    QDir().mkpath(path(QStringLiteral("out")));
    setText(ControlId::OutputFolder, path(QStringLiteral("out/")));
    return file;
}

const RecordedCut& DialogHarness::onlyCut() const
{
    if (cuts.size() != 1)
        qFatal("%zu cuts were asked for, not one", cuts.size());
    return cuts.front();
}

SplitResult DialogHarness::runCut(const CutRequest& request, SplitHost& host)
{
    if (realCuts)
        return RunCut(request, host);
    cuts.push_back({ request, request.measureSeconds ? request.measureSeconds() : std::nullopt });
    return cutResult;
}

bool DialogHarness::poll()
{
    CPreviewPlayer* player = m_dialog->currentPlayer();
    if (!player)
        return false;
    const int before = positionEvents();
    player->PollPosition();
    QCoreApplication::sendPostedEvents(m_dialog.get(), PlayerEvents::PlayPosition);
    return positionEvents() > before;
}

bool DialogHarness::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == PlayerEvents::PlayPosition)
        ++m_positionEvents;
    return QObject::eventFilter(watched, event);
}

QVariant DialogHarness::stored(const QString& name)
{
    return QSettings().value(QStringLiteral("Option/") + name);
}

void DialogHarness::store(const QString& name, const QString& value)
{
    QSettings settings;
    settings.setValue(QStringLiteral("Option/") + name, value);
    settings.sync();
}

void DialogHarness::clearSettings()
{
    QSettings settings;
    settings.clear();
    settings.sync();
}

} // namespace parvex
