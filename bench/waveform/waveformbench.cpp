// SPDX-License-Identifier: GPL-3.0-or-later
// Times the waveform strip over one MP3 with no level cache: the first blocks drawn, the finished
// summary, the longest gap between a 1 ms timer's events meanwhile, and the first and a scrolled
// deep-zoom stretch.
#include "levelloader.h"
#include "levelsummary.h"
#include "stretchloader.h"
#include "waveformview.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <cstdio>

using namespace parvex;

int main(int argc, char** argv)
{
    // QT_QPA_PLATFORM=offscreen parvex-bench-waveform FILE
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FILE\n", argv[0]);
        return 2;
    }
    const QString path = QString::fromLocal8Bit(argv[1]);
    WaveformView view;
    view.resize(900, 80);
    view.show();
    LevelLoader loader;
    QObject::connect(&loader, &LevelLoader::blocksDecoded, &view, &WaveformView::addBlocks);
    QObject::connect(&loader, &LevelLoader::progress, &view, &WaveformView::setProgress);
    QObject::connect(&loader, &LevelLoader::loaded, &view, &WaveformView::setLevels);

    QElapsedTimer clock;
    qint64 firstBlocks = -1, loaded = -1, lastTick = 0, longestGap = 0;
    int chunks = 0;
    QTimer probe;
    probe.setInterval(1);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        longestGap = std::max(longestGap, now - lastTick);
        lastTick = now;
    });
    QObject::connect(&loader, &LevelLoader::blocksDecoded, [&] {
        ++chunks;
        if (firstBlocks < 0) {
            view.grab(); // the first picture, painted before it is timed
            firstBlocks = clock.elapsed();
        }
    });
    QObject::connect(&loader, &LevelLoader::loaded, [&] {
        view.grab();
        loaded = clock.elapsed();
        probe.stop();
        app.quit();
    });
    QObject::connect(&loader, &LevelLoader::failed, [&](const QString& reason) {
        std::fprintf(stderr, "%s\n", qPrintable(reason));
        app.exit(1);
    });
    clock.start();
    probe.start();
    loader.start(
        path, [](const std::string& source, const LevelProgress& progress, std::string* error) {
            return SummariseLevels(source, progress, error);
        });
    if (app.exec() != 0)
        return 1;
    std::printf("first blocks drawn %lld ms, whole summary %lld ms, %d chunks, longest event gap "
                "%lld ms\n",
        firstBlocks, loaded, chunks, longestGap);
    std::fflush(stdout);

    // Deep zoom in the middle: 4 samples a column.
    view.setSource(path);
    while (view.samplesPerPixel() > 4)
        view.zoom(0.5, 0);
    view.scrollColumns(view.totalSamples() / 2 / view.samplesPerPixel());
    auto* stretch = view.findChild<StretchLoader*>();
    const auto timeStretch = [&] {
        QElapsedTimer timer;
        timer.start();
        QEventLoop wait;
        const auto ready
            = QObject::connect(stretch, &StretchLoader::columnsReady, &wait, &QEventLoop::quit);
        view.grab(); // paints, which asks for the stretch
        wait.exec();
        QObject::disconnect(ready);
        return timer.elapsed();
    };
    const qint64 first = timeStretch();
    view.scrollColumns(2 * view.width());
    const qint64 scrolled = timeStretch();
    std::printf("deep zoom (4 samples a column, %d columns): first stretch %lld ms (with the frame "
                "index), scrolled %lld ms\n",
        view.width(), first, scrolled);
    // The widest stretch: the deepest zoom out that still decodes samples.
    while (view.samplesPerPixel() * 2 < 441)
        view.zoom(2, 0);
    std::printf("deep zoom (%lld samples a column): stretch %lld ms\n",
        static_cast<long long>(view.samplesPerPixel()), timeStretch());
    return 0;
}
