// SPDX-License-Identifier: GPL-3.0-or-later
// parvex-screenshots: renders the main window in each split mode, and playing a file, to PNGs.
// Usage: parvex-screenshots <folder>
// (writes by-frame.png, by-size.png, by-time.png, by-marks.png, waveform.png, with-file.png and
// progress.png)
#include "controlids.h"
#include "cpositionslider.h"
#include "csplitdialog.h"
#include "dialogsplithost.h"
#include "fakedesktopservices.h"
#include "gstmediagraph.h"
#include "marksmodel.h"
#include "memorysettingsstore.h"
#include "mp3fixture.h"
#include "previewwindow.h"
#include "scriptedfilechooser.h"
#include "scriptedprompter.h"
#include "splitoperations.h"
#include "updowncontrol.h"
#include "waveformview.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPixmap>
#include <QProgressDialog>
#include <QPushButton>
#include <QScreen>
#include <QThread>

#include <gst/gst.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <functional>

using namespace parvex;

namespace {
// Lets the window system map and paint the window before it is grabbed.
void settle()
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 300)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
}

// Runs the event loop until `done` or `timeoutMs` has passed; false on time-out.
bool waitFor(const std::function<bool()>& done, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    return true;
}

void click(const CSplitDialog& dialog, int id)
{
    qobject_cast<QAbstractButton*>(dialog.control(id))->click();
}

QString text(const CSplitDialog& dialog, int id)
{
    return qobject_cast<QLabel*>(dialog.control(id))->text();
}

constexpr int Rate = 44100;
constexpr double Seconds = 205.3;

// A song of 205.3 s whose waveform has something to show: a fade-in, phrases of a few notes,
// a louder chorus, and a pause before each of the marks set below (1:23.500 and 2:31.100).
std::vector<std::int16_t> songSamples()
{
    std::vector<std::int16_t> samples(std::size_t(Seconds * Rate));
    const double pi = std::acos(-1.0);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const double t = double(i) / Rate;
        if ((t >= 81.5 && t < 83.5) || (t >= 149.6 && t < 151.1))
            continue;
        const double section = t < 83.5 ? std::min(t / 20.0, 1.0) * 0.35 : t < 151.1 ? 0.45 : 0.7;
        const double phrase = std::pow(std::sin(pi * 0.37 * t), 2.0);
        const double note = 0.6 * std::sin(2 * pi * 220 * t) + 0.3 * std::sin(2 * pi * 331 * t)
            + 0.1 * std::sin(2 * pi * 587 * t);
        samples[i] = std::int16_t(std::lround(32767 * section * (0.3 + 0.7 * phrase) * note));
    }
    return samples;
}

// Whether the strip still draws its progress line along the bottom (in the highlight colour,
// which its picture of the sound does not use), half-way across or further.
bool decoding(WaveformView& view)
{
    const QImage image = view.grab().toImage();
    const QColor line = view.palette().color(QPalette::Highlight);
    return image.pixelColor(image.width() / 2, image.height() - 1) == line;
}

bool saveImage(const QPixmap& picture, const QDir& folder, const char* file)
{
    settle();
    const QString path = folder.filePath(QString::fromLatin1(file));
    if (picture.save(path))
        return true;
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
}

bool save(CSplitDialog& dialog, const QDir& folder, const char* file)
{
    settle();
    return saveImage(dialog.grab(), folder, file);
}

// The strip zoomed to about 20 s around the Verse mark.
bool saveWaveform(WaveformView& view, const QDir& folder)
{
    const std::int64_t verse = 83 * Rate + Rate / 2;
    view.zoom(20.0 / Seconds, view.xOf(verse));
    view.scrollColumns(view.xOf(verse) - view.width() / 2);
    const bool saved = saveImage(view.grab(), folder, "waveform.png");
    view.zoom(Seconds, 0); // the whole file again
    return saved;
}

// Moves the thumb to `position` of 600 and lets go as a drag would, then waits for the display
// to show `clock`, which the next one-second poll brings.
bool seekAndWait(CSplitDialog& dialog, int position, const QString& clock)
{
    auto* slider = qobject_cast<CPositionSlider*>(dialog.control(ControlId::PositionSlider));
    slider->setValue(position);
    Q_EMIT slider->releasedCapture();
    if (waitFor([&] { return text(dialog, ControlId::PositionDisplay) == clock; }, 5000))
        return true;
    std::fprintf(stderr, "the display shows %s, not %s\n",
        qPrintable(text(dialog, ControlId::PositionDisplay)), qPrintable(clock));
    return false;
}
// The window's host on a slow disk: once the progress dialog is up, the screen under the window
// is saved to `file` and Cancel is clicked.
class PicturingHost : public DialogSplitHost
{
public:
    PicturingHost(Prompter& prompter, QWidget& window, QString file)
        : DialogSplitHost(prompter, &window)
        , m_window(window)
        , m_file(std::move(file))
    { }

    bool saved = false;

    void progress(std::int64_t bytesDone, std::int64_t bytesTotal) override
    {
        QThread::msleep(40);
        DialogSplitHost::progress(bytesDone, bytesTotal);
        auto* box = qobject_cast<QProgressDialog*>(QApplication::activeModalWidget());
        if (!box || saved || box->value() < 40)
            return;
        settle();
        const QRect area = m_window.frameGeometry();
        saved = QGuiApplication::primaryScreen()
                    ->grabWindow(0, area.x(), area.y(), area.width(), area.height())
                    .save(m_file);
        if (auto* cancel = box->findChild<QPushButton*>())
            cancel->click();
    }

private:
    QWidget& m_window;
    QString m_file;
};

// A split of 150 MiB into 3 pieces on a slow disk, pictured halfway and cancelled. The source is
// a longer file of the same name as the one on the title line, in a folder of its own.
bool saveProgress(CSplitDialog& dialog, Prompter& prompter, const TempDir& temp, const QDir& folder)
{
    std::filesystem::create_directories(temp / "long");
    const auto source = temp / "long" / "Summer Song.mp3";
    MakePatternFile(source, std::int64_t { 150 } << 20);
    std::filesystem::create_directories(temp / "out");
    click(dialog, ControlId::BySize);
    PicturingHost host(prompter, dialog, folder.filePath(QStringLiteral("progress.png")));
    const SplitResult result = SplitEqualParts({ .sourcePath = source.string(),
                                                   .sourceOpen = true,
                                                   .partCount = 3,
                                                   .outputFolder = (temp / "out").string() },
        host);
    if (host.saved && result.status == SplitStatus::Cancelled)
        return true;
    std::fprintf(stderr, "the progress dialog was not pictured\n");
    return false;
}
} // namespace

int main(int argc, char* argv[])
{
    gst_init(&argc, &argv);
    QApplication application(argc, argv);
    const QStringList args = QApplication::arguments();
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: parvex-screenshots <folder>\n");
        return 2;
    }
    const QDir folder(args.at(1));
    QDir().mkpath(folder.path());

    ScriptedPrompter prompter;
    ScriptedFileChooser files;
    MemorySettingsStore settings;
    FakeDesktopServices desktop;
    desktop.music = QStringLiteral("/home/user/Music");
    const TempDir temp;
    // The marks set below and the waveform's levels are kept in the temporary folder, not the
    // user's.
    qputenv("XDG_DATA_HOME", QFile::encodeName(QString::fromStdString((temp / "data").string())));
    qputenv("XDG_CACHE_HOME", QFile::encodeName(QString::fromStdString((temp / "cache").string())));
    const auto source = temp / "Summer Song.mp3";
    std::string error;
    if (!EncodeMp3(source, songSamples(), Rate, 1, { "-b", "128" }, &error)) {
        std::fprintf(stderr, "cannot make the MP3: %s\n", error.c_str());
        return 1;
    }
    // Silent and paced like a sound card, so the poll sees the position move.
    const DialogServices services { .prompter = prompter,
        .files = files,
        .settings = settings,
        .desktop = desktop,
        .createGraph = GstMediaGraphFactory(QStringLiteral("fakesink sync=true")),
        .createPreviewWindow = PreviewWindow::factory() };

    CSplitDialog dialog(services);
    files.answerNext(QString::fromStdString(source.string()));
    click(dialog, ControlId::OpenMp3);
    if (!dialog.currentPlayer()) {
        std::fprintf(
            stderr, "the file did not open: %s\n", qPrintable(prompter.texts().join(u' ')));
        return 1;
    }
    qobject_cast<QLineEdit*>(dialog.control(ControlId::SplitCount))->setText(QStringLiteral("3"));
    qobject_cast<UpDownControl*>(dialog.control(ControlId::SplitCountSpin))->step(1);
    // The list takes marks once a worker has measured the file.
    const QWidget& addMark = *dialog.control(ControlId::AddMark);
    if (!waitFor([&] { return addMark.isEnabled(); }, 10000)) {
        std::fprintf(stderr, "the file was not measured for its marks\n");
        return 1;
    }
    auto& marks = *qobject_cast<MarksModel*>(
        qobject_cast<QListView*>(dialog.control(ControlId::MarksList))->model());
    marks.addMark(0, QStringLiteral("Intro"));
    marks.addMark(std::int64_t { 83 } * Rate + Rate / 2, QStringLiteral("Verse"));
    marks.addMark(std::int64_t { 151 } * Rate + Rate / 10, QStringLiteral("Chorus"));
    dialog.show();
    // The levels are written to the cache before the window is told.
    const QDir levels(QString::fromStdString((temp / "cache" / "parvex").string()));
    if (!waitFor([&] { return !levels.entryList(QDir::Files).isEmpty(); }, 30000)) {
        std::fprintf(stderr, "the waveform's levels did not come\n");
        return 1;
    }

    auto& waveform = *qobject_cast<WaveformView*>(dialog.control(ControlId::Waveform));
    if (!waitFor([&] { return !decoding(waveform); }, 10000)) {
        std::fprintf(stderr, "the waveform's progress line stays\n");
        return 1;
    }
    waveform.selectMark(1);
    qobject_cast<QListView*>(dialog.control(ControlId::MarksList))->setCurrentIndex(marks.index(1));
    const struct
    {
        int radio;
        const char* file;
    } modes[] = { { ControlId::ByFrame, "by-frame.png" }, { ControlId::BySize, "by-size.png" },
        { ControlId::ByTime, "by-time.png" }, { ControlId::ByMarks, "by-marks.png" } };
    for (const auto& mode : modes) {
        click(dialog, mode.radio);
        if (!save(dialog, folder, mode.file))
            return 1;
    }
    if (!saveWaveform(waveform, folder))
        return 1;

    // Listening: play a moment, pause, then mark 1:23 and 2:31 from the slider; paused, the
    // display stays where the picture is taken.
    click(dialog, ControlId::ByFrame);
    click(dialog, ControlId::Play);
    if (!waitFor([&] { return dialog.currentPlayer()->m_llPosition > 0; }, 5000)) {
        std::fprintf(stderr, "the position does not move\n");
        return 1;
    }
    click(dialog, ControlId::Pause);
    if (!seekAndWait(dialog, 243, QStringLiteral("00:01:23")))
        return 1;
    click(dialog, ControlId::StartTime);
    if (!seekAndWait(dialog, 442, QStringLiteral("00:02:31")))
        return 1;
    click(dialog, ControlId::EndTime);
    if (!seekAndWait(dialog, 300, QStringLiteral("00:01:42")))
        return 1;
    if (!save(dialog, folder, "with-file.png"))
        return 1;
    if (!saveProgress(dialog, prompter, temp, folder))
        return 1;
    dialog.close();
    return prompter.shown.isEmpty() ? 0 : 1;
}
