// SPDX-License-Identifier: GPL-3.0-or-later
// The waveform widget: its keys and mark dragging with a faked player position, zoom, the
// accessible position, and a silence painted flat in columns that do not change with the scroll.
#include "marksmodel.h"
#include "mp3fixture.h"
#include "streamscan.h"
#include "stretchdecode.h"
#include "stretchloader.h"
#include "waveformview.h"

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QApplication>
#include <QListView>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>

#include <set>

using namespace parvex;

namespace {
constexpr int kRate = 44100;
constexpr std::int64_t kTotal = 60 * kRate;

// 60 s of a loud tone summarised, silent from 20 s to 22 s.
std::shared_ptr<const LevelSummary> levelsWithSilence()
{
    auto levels = std::make_shared<LevelSummary>();
    levels->sampleRate = kRate;
    levels->channels = 1;
    levels->blockSamples = kRate / 100;
    levels->totalSamples = kTotal;
    for (int block = 0; block < 6000; ++block) {
        const bool silent = block >= 2000 && block < 2200;
        levels->blocks.push_back(silent ? LevelBlock {} : LevelBlock { -20000, 20000, 12000 });
    }
    BuildCoarseLevels(*levels);
    return levels;
}

// Rows of column `x` painted other than the background.
int paintedRows(const QImage& image, int x, QRgb background)
{
    int rows = 0;
    for (int y = 0; y < image.height(); ++y)
        rows += image.pixel(x, y) != background;
    return rows;
}
} // namespace

class TestWaveformView : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void keysActAtThePlayersPosition();
    void nudgeKeysMoveTheSelectedMark();
    void draggingAMarkStopsAtItsNeighbour();
    void ctrlWheelZoomsAroundThePointer();
    void accessiblePositionIsTheValue();
    void silenceIsFlatAndColumnsDoNotShimmer();
    void blocksShowAsTheyArriveAndTheSummaryKeepsTheZoom();
    void rangeMarksShowInTheirColoursAndMarksHide();
    void deepZoomDrawsTheVisibleStretchsSamples();

private:
    MarksModel* m_model = nullptr;
    WaveformView* m_view = nullptr;
    std::int64_t m_playing = 0; // the faked player's position
};

void TestWaveformView::init()
{
    m_model = new MarksModel;
    m_model->setSource(kRate, kTotal);
    m_view = new WaveformView;
    m_view->setMarks(m_model);
    m_view->setPositionSource([this] { return m_playing; });
    m_view->resize(600, 80);
    m_view->setLevels(levelsWithSilence());
    m_view->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_view));
}

void TestWaveformView::cleanup()
{
    delete m_view;
    delete m_model;
}

void TestWaveformView::keysActAtThePlayersPosition()
{
    QSignalSpy seek(m_view, &WaveformView::seekRequested);
    QSignalSpy start(m_view, &WaveformView::startMarkRequested);
    QSignalSpy end(m_view, &WaveformView::endMarkRequested);
    QSignalSpy play(m_view, &WaveformView::playPauseRequested);
    m_view->setPosition(kRate); // reported earlier; the keys take the player's position now
    m_playing = 12345;
    QTest::keyClick(m_view, Qt::Key_Space);
    QTest::keyClick(m_view, Qt::Key_I);
    QTest::keyClick(m_view, Qt::Key_O);
    QTest::keyClick(m_view, Qt::Key_M);
    QTest::keyClick(m_view, Qt::Key_Right);
    QTest::keyClick(m_view, Qt::Key_Left);
    QTest::keyClick(m_view, Qt::Key_End);
    QTest::keyClick(m_view, Qt::Key_Home);
    QCOMPARE(play.size(), 1);
    QCOMPARE(start.takeFirst().at(0).toLongLong(), 12345);
    QCOMPARE(end.takeFirst().at(0).toLongLong(), 12345);
    QCOMPARE(m_model->marks().at(0).sample, std::int64_t { 12345 });
    QCOMPARE(m_view->selectedMark(), 0);
    QCOMPARE(seek.size(), 4);
    QCOMPARE(seek[0].at(0).toLongLong(), 12345 + kRate);
    QCOMPARE(seek[1].at(0).toLongLong(), 0); // not before the start
    QCOMPARE(seek[2].at(0).toLongLong(), kTotal);
    QCOMPARE(seek[3].at(0).toLongLong(), 0);
    QTest::keyClick(m_view, Qt::Key_Delete);
    QCOMPARE(m_model->rowCount(), 0);
    QCOMPARE(m_view->selectedMark(), -1);

    // The marks list shares the keys, and keeps its own.
    QListView list;
    list.setModel(m_model);
    m_view->shareKeysWith(&list);
    QTest::keyClick(&list, Qt::Key_M);
    QCOMPARE(m_model->rowCount(), 1);
    QSignalSpy rowChanges(list.selectionModel(), &QItemSelectionModel::currentChanged);
    QTest::keyClick(&list, Qt::Key_Down);
    QCOMPARE(rowChanges.size(), 1);
}

void TestWaveformView::nudgeKeysMoveTheSelectedMark()
{
    m_playing = 10 * kRate;
    QTest::keyClick(m_view, Qt::Key_M);
    QTest::keyClick(m_view, Qt::Key_Comma);
    QCOMPARE(m_model->marks().at(0).sample, 10 * kRate - 1152);
    QTest::keyClick(m_view, Qt::Key_Period);
    QTest::keyClick(m_view, Qt::Key_Period);
    QCOMPARE(m_model->marks().at(0).sample, 10 * kRate + 1152);
    QTest::keyClick(m_view, Qt::Key_Greater, Qt::ShiftModifier);
    QCOMPARE(m_model->marks().at(0).sample, 11 * kRate + 1152);
    QTest::keyClick(m_view, Qt::Key_Comma, Qt::ShiftModifier);
    QCOMPARE(m_model->marks().at(0).sample, 10 * kRate + 1152);
}

void TestWaveformView::draggingAMarkStopsAtItsNeighbour()
{
    m_model->addMark(m_view->sampleAt(100));
    m_model->addMark(m_view->sampleAt(200));
    QSignalSpy seek(m_view, &WaveformView::seekRequested);
    QTest::mousePress(m_view, Qt::LeftButton, {}, QPoint(102, 40)); // within reach of the mark
    QCOMPARE(m_view->selectedMark(), 0);
    QTest::mouseMove(m_view, QPoint(150, 40));
    QCOMPARE(m_model->marks().at(0).sample, m_view->sampleAt(150));
    QTest::mouseMove(m_view, QPoint(300, 40));
    QCOMPARE(m_model->marks().at(0).sample, m_model->marks().at(1).sample - 1);
    QTest::mouseRelease(m_view, Qt::LeftButton, {}, QPoint(300, 40));
    QTest::mouseClick(m_view, Qt::LeftButton, {}, QPoint(400, 40));
    QCOMPARE(seek.size(), 1);
    QCOMPARE(seek[0].at(0).toLongLong(), m_view->sampleAt(400));
}

void TestWaveformView::ctrlWheelZoomsAroundThePointer()
{
    const std::int64_t under = m_view->sampleAt(450);
    const std::int64_t whole = m_view->samplesPerPixel();
    QWheelEvent wheel(QPointF(450, 40), m_view->mapToGlobal(QPointF(450, 40)), {}, QPoint(0, 360),
        Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(m_view, &wheel);
    QCOMPARE(m_view->samplesPerPixel(), (whole + 4) / 8);
    QVERIFY(std::abs(m_view->sampleAt(450) - under) <= m_view->samplesPerPixel());
    for (int i = 0; i < 40; ++i)
        QTest::keyClick(m_view, Qt::Key_Plus);
    QCOMPARE(m_view->samplesPerPixel(), std::int64_t { 1 }); // down to single samples
    QTest::keyClick(m_view, Qt::Key_Minus);
    QCOMPARE(m_view->samplesPerPixel(), std::int64_t { 2 });
}

void TestWaveformView::accessiblePositionIsTheValue()
{
    m_view->setPosition(PointSample({ 205493, 1000 }, kRate));
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(m_view);
    QVERIFY(accessible);
    QCOMPARE(accessible->text(QAccessible::Name), QStringLiteral("Waveform"));
    QCOMPARE(accessible->text(QAccessible::Description), QStringLiteral("3:25.493 of 1:00.000"));
    QVERIFY(accessible->valueInterface());
    QVERIFY(std::abs(accessible->valueInterface()->currentValue().toDouble() - 205.493) < 1e-4);
    QCOMPARE(accessible->valueInterface()->maximumValue().toDouble(), 60.0);
}

void TestWaveformView::silenceIsFlatAndColumnsDoNotShimmer()
{
    m_view->setPosition(kTotal); // the position line out of the way
    for (int i = 0; i < 4; ++i)
        m_view->zoom(0.5, 0); // 16 x: about 276 samples a column, from the blocks
    const QRgb background = m_view->palette().color(QPalette::Base).rgb();
    m_view->scrollColumns(19 * kRate / m_view->samplesPerPixel());
    const auto columnOf = [&](std::int64_t sample) {
        return m_view->xOf(sample);
    };
    const QImage before = m_view->grab().toImage();
    QVERIFY(paintedRows(before, columnOf(21 * kRate), background) <= 1); // the middle line only
    QVERIFY(paintedRows(before, columnOf(19 * kRate + kRate / 2), background) > 40);
    // Scrolled by 5 columns, every column shows what it showed 5 pixels further right.
    m_view->scrollColumns(5);
    const QImage after = m_view->grab().toImage();
    for (int x = 1; x + 5 < before.width() - 1; ++x)
        for (int y = 1; y < before.height() - 1; ++y)
            QCOMPARE(after.pixel(x, y), before.pixel(x + 5, y));
}

// Two runs of blocks arrive (as from the two halves of a decode): their columns are painted, the
// columns between them stay blank, and the finished summary keeps the zoom the user chose.
void TestWaveformView::blocksShowAsTheyArriveAndTheSummaryKeepsTheZoom()
{
    const auto whole = levelsWithSilence();
    const auto chunkOf = [&](std::size_t first, std::size_t count) {
        auto chunk = std::make_shared<LevelBlocksChunk>();
        *chunk = { kRate, 1, kRate / 100, kTotal, whole->blocks.size(), first, {} };
        chunk->blocks.assign(whole->blocks.begin() + std::ptrdiff_t(first),
            whole->blocks.begin() + std::ptrdiff_t(first + count));
        return chunk;
    };
    m_view->setLevels({});
    m_view->setPosition(kTotal);
    m_view->addBlocks(chunkOf(0, 1024)); // 0 to 10.24 s
    m_view->addBlocks(chunkOf(3008, 1024)); // 30.08 to 40.32 s
    QCOMPARE(m_view->totalSamples(), kTotal);
    const QRgb background = m_view->palette().color(QPalette::Base).rgb();
    const QImage image = m_view->grab().toImage();
    QVERIFY(paintedRows(image, m_view->xOf(5 * kRate), background) > 40);
    QVERIFY(paintedRows(image, m_view->xOf(35 * kRate), background) > 40);
    QCOMPARE(paintedRows(image, m_view->xOf(20 * kRate), background), 0);
    QCOMPARE(paintedRows(image, m_view->xOf(50 * kRate), background), 0);

    m_view->zoom(0.25, 0);
    const std::int64_t spp = m_view->samplesPerPixel();
    m_view->setLevels(whole);
    QCOMPARE(m_view->samplesPerPixel(), spp);
    QVERIFY(paintedRows(m_view->grab().toImage(), m_view->xOf(12 * kRate), background) > 40);
}

void TestWaveformView::rangeMarksShowInTheirColoursAndMarksHide()
{
    m_view->setPosition(kTotal);
    m_model->addMark(m_view->sampleAt(100));
    m_view->setRangeMarks(m_view->sampleAt(200), m_view->sampleAt(300));
    const auto colourAt = [&](int x) {
        return QColor(m_view->grab().toImage().pixel(x, 2));
    };
    QCOMPARE(colourAt(100), m_view->palette().color(QPalette::Link));
    QCOMPARE(colourAt(200), QColor(Qt::darkGreen));
    QCOMPARE(colourAt(300), QColor(Qt::red));
    QVERIFY(colourAt(200) != colourAt(300));

    m_view->setMarksVisible(false);
    QCOMPARE(colourAt(100), m_view->palette().color(QPalette::Base));
    // A hidden mark, and Start and End, are not grabbed: a press there seeks.
    QSignalSpy seek(m_view, &WaveformView::seekRequested);
    QTest::mouseClick(m_view, Qt::LeftButton, {}, QPoint(100, 40));
    QTest::mouseClick(m_view, Qt::LeftButton, {}, QPoint(200, 40));
    QCOMPARE(seek.size(), 2);
    QCOMPARE(m_view->selectedMark(), -1);
    // Nor do the marks' keys act on marks that are not drawn.
    m_view->selectMark(0);
    m_playing = m_view->sampleAt(400);
    for (const Qt::Key key : { Qt::Key_Period, Qt::Key_Delete, Qt::Key_M })
        QTest::keyClick(m_view, key);
    QCOMPARE(m_model->rowCount(), 1);
    QCOMPARE(m_model->marks()[0].sample, m_view->sampleAt(100));
    m_view->setRangeMarks({}, {});
    QCOMPARE(colourAt(200), m_view->palette().color(QPalette::Base));
}

// The loader folds the decoded stretch into columns at the asked zoom (checked against the
// samples there), and the view, zoomed in past the blocks, draws them: the columns within one
// 10 ms block, flat before, follow the tone.
void TestWaveformView::deepZoomDrawsTheVisibleStretchsSamples()
{
    TempDir dir;
    const auto path = dir / "tone.mp3";
    std::string error;
    QVERIFY2(MakeMp3(path, { 2.0, kRate, 2, { "-b", "128" } }, &error), error.c_str());
    const QString source = QString::fromStdString(path.string());

    StretchLoader loader;
    QSignalSpy ready(&loader, &StretchLoader::columnsReady);
    loader.setSource(source);
    loader.request(3, 10000, 10100);
    QVERIFY(ready.wait(10000));
    const auto columns = loader.columns();
    QVERIFY(columns && columns->covers(3, 10000, 10100));
    loader.request(3, 10010, 10090); // covered: nothing more is decoded
    QVERIFY(!ready.wait(300));
    auto outcome = IndexMp3Stream(path.string());
    QVERIFY(outcome.index);
    const StretchSource stretchSource = StretchSourceOf(
        path.string(), std::make_shared<const StreamIndex>(std::move(*outcome.index)));
    const auto samples = DecodeStretch(stretchSource, 30000, 30300, nullptr, &error);
    QVERIFY2(samples && samples->frames() == 300, error.c_str());
    for (std::int64_t c = 10000; c < 10100; ++c) {
        const SampleColumn* column = columns->at(3, c);
        QVERIFY(column);
        for (std::size_t ch = 0; ch < 2; ++ch) {
            std::int16_t low = INT16_MAX, high = INT16_MIN;
            for (std::int64_t i = c * 3; i < c * 3 + 3; ++i) {
                const auto value = samples->samples[std::size_t((i - 30000) * 2) + ch];
                low = std::min(low, value);
                high = std::max(high, value);
            }
            QCOMPARE(column->min[ch], low);
            QCOMPARE(column->max[ch], high);
        }
    }

    std::string summaryError;
    m_view->setLevels(
        std::make_shared<const LevelSummary>(*SummariseLevels(path, {}, &summaryError)));
    m_view->setSource(source);
    m_view->setPosition(0);
    while (m_view->samplesPerPixel() > 4)
        m_view->zoom(0.5, 0);
    m_view->scrollColumns(kRate / 2 / m_view->samplesPerPixel());
    const QRgb background = m_view->palette().color(QPalette::Base).rgb();
    // Distinct top rows among the columns of the block that starts at the view's first column.
    const auto distinctTops = [&] {
        const QImage image = m_view->grab().toImage();
        const int first = m_view->xOf((m_view->sampleAt(0) / (kRate / 100) + 1) * (kRate / 100));
        std::set<int> tops;
        for (int x = first; x < first + (kRate / 100) / int(m_view->samplesPerPixel()) - 1; ++x) {
            int y = 0;
            while (y < image.height() && image.pixel(x, y) == background)
                ++y;
            tops.insert(y);
        }
        return tops.size();
    };
    QTRY_VERIFY_WITH_TIMEOUT(distinctTops() > 5, 10000);
}

QTEST_MAIN(TestWaveformView)
#include "tst_waveformview.moc"
