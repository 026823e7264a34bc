// SPDX-License-Identifier: GPL-3.0-or-later
// The level loader: a summary decoded off the GUI thread, and a cancel that ends the work at once.
#include "levelloader.h"
#include "mp3fixture.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

#include <chrono>
#include <thread>

using namespace parvex;

class TestLevelLoader : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void deliversTheSummary();
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
