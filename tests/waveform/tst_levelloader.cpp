// SPDX-License-Identifier: GPL-3.0-or-later
// The level loader: a summary decoded off the GUI thread, and a cancel that ends the work at once.
#include "levelloader.h"
#include "mp3fixture.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

#include <chrono>
#include <thread>
#include <vector>

using namespace parvex;

class TestLevelLoader : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void deliversTheSummary();
    void handsOverNewBlocksAtMostTenTimesASecond();
    void closingStopsTheWorkAtOnce();
};

void TestLevelLoader::deliversTheSummary()
{
    TempDir dir;
    qputenv("XDG_CACHE_HOME", QByteArray::fromStdString((dir / "cache").string()));
    std::string error;
    QVERIFY2(MakeMp3(dir / "tone.mp3", { 3.0, 44100, 2, { "-b", "128" } }, &error), error.c_str());
    LevelLoader loader;
    QSignalSpy progress(&loader, &LevelLoader::progress);
    QSignalSpy loaded(&loader, &LevelLoader::loaded);
    loader.start(QString::fromStdString((dir / "tone.mp3").string()));
    QVERIFY(loaded.wait(10000));
    const auto levels = loaded[0][0].value<std::shared_ptr<const LevelSummary>>();
    QVERIFY(levels);
    QCOMPARE(levels->totalSamples, std::int64_t { 3 * 44100 });
    QVERIFY(!progress.isEmpty());
    QVERIFY(!loader.isRunning());

    QSignalSpy failed(&loader, &LevelLoader::failed);
    loader.start(QString::fromStdString((dir / "missing.mp3").string()));
    QVERIFY(failed.wait(10000));
    QVERIFY(!failed[0][0].toString().isEmpty());
}

// A stand-in decoder that finishes a coarse block every 2 ms and offers the blocks each time: they
// arrive in order, each once, in a few chunks, all before the summary.
void TestLevelLoader::handsOverNewBlocksAtMostTenTimesASecond()
{
    constexpr std::size_t kSteps = 150, kCoarse = LevelSummary::kCoarseBlocks;
    const LevelDecoder decode = [](const std::string&, const LevelProgress& progress,
                                    std::string*) {
        LevelSummary levels { 44100, 2, 441, std::int64_t { 441 * kCoarse * kSteps }, {}, {} };
        for (std::size_t b = 0; b < kCoarse * kSteps; ++b)
            levels.blocks.push_back({ std::int16_t(-int(b % 1000)), std::int16_t(b % 1000), 7 });
        LevelBlocksSoFar soFar { 44100, 2, 441, levels.totalSamples, levels.blocks.data(),
            levels.blocks.size(), {} };
        for (std::size_t step = 1; step <= kSteps; ++step) {
            soFar.runs[0].end = step * kCoarse;
            progress.partial(soFar);
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return std::optional<LevelSummary>(std::move(levels));
    };
    LevelLoader loader;
    std::vector<std::shared_ptr<const LevelBlocksChunk>> chunks;
    std::size_t chunksBeforeLoaded = 0;
    connect(&loader, &LevelLoader::blocksDecoded, this,
        [&](std::shared_ptr<const LevelBlocksChunk> chunk) { chunks.push_back(std::move(chunk)); });
    connect(&loader, &LevelLoader::loaded, this, [&] { chunksBeforeLoaded = chunks.size(); });
    QSignalSpy loaded(&loader, &LevelLoader::loaded);
    QElapsedTimer decoding;
    decoding.start();
    loader.start(QStringLiteral("x.mp3"), decode);
    QVERIFY(loaded.wait(10000));
    const qint64 elapsed = decoding.elapsed();
    QVERIFY(!chunks.empty());
    QCOMPARE(chunksBeforeLoaded, chunks.size());
    QVERIFY2(qint64(chunks.size()) <= elapsed / 100 + 1,
        qPrintable(QStringLiteral("%1 chunks in %2 ms").arg(chunks.size()).arg(elapsed)));
    std::size_t next = 0;
    for (const auto& chunk : chunks) {
        QCOMPARE(chunk->firstBlock, next);
        QCOMPARE(chunk->blockCount, kCoarse * kSteps);
        for (std::size_t i = 0; i < chunk->blocks.size(); ++i)
            QCOMPARE(chunk->blocks[i].max, std::int16_t((next + i) % 1000));
        next += chunk->blocks.size();
    }
}

// A stand-in decoder that would run for a minute, reading the cancel flag between "frames".
void TestLevelLoader::closingStopsTheWorkAtOnce()
{
    const LevelDecoder endless
        = [](const std::string&, const LevelProgress& progress, std::string* error) {
              for (int frame = 0; frame < 60'000; ++frame) {
                  if (progress.cancel && progress.cancel->load()) {
                      *error = "cancelled";
                      return std::optional<LevelSummary>();
                  }
                  std::this_thread::sleep_for(std::chrono::milliseconds(1));
                  progress.report(frame / 60'000.0);
              }
              return std::optional<LevelSummary>(LevelSummary {});
          };
    auto loader = std::make_unique<LevelLoader>();
    QSignalSpy progress(loader.get(), &LevelLoader::progress);
    QSignalSpy failed(loader.get(), &LevelLoader::failed);
    loader->start(QStringLiteral("x.mp3"), endless);
    QVERIFY(progress.wait(5000));
    loader->cancel();
    QTest::qWait(50);
    QVERIFY(failed.isEmpty()); // a cancel is not a failure

    loader->start(QStringLiteral("x.mp3"), endless);
    QTest::qWait(20);
    // Closing must not wait for the decode to end (a minute here). The 200 ms a close may take
    // is a measured figure, not a test's: a loaded machine can hold the worker back for longer.
    QElapsedTimer closing;
    closing.start();
    loader.reset();
    QVERIFY2(closing.elapsed() < 5000, qPrintable(QString::number(closing.elapsed())));
}

QTEST_GUILESS_MAIN(TestLevelLoader)
#include "tst_levelloader.moc"
