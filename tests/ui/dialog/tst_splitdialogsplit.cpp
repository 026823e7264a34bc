// SPDX-License-Identifier: GPL-3.0-or-later
// The three Start buttons: the request each builds from the boxes, that a refused box stops
// them, and the folder a split remembers. One range cut runs the real engine end to end.
#include "controlids.h"
#include "dialogtestcase.h"

#include <QGuiApplication>

namespace parvex {

namespace Id = ControlId;

namespace {
using Kind = ScriptedPrompter::Kind;
using Shown = ScriptedPrompter::Shown;

const Shown PleaseEnterInteger { Kind::Framework, {}, QStringLiteral("Please enter an integer.") };
} // namespace

class SplitDialogSplitTest : public DialogTestCase
{
    Q_OBJECT

    QString m_source; // 1,000,000 pattern bytes, 100 s by the probe

    void setMarks(const QString& start, const QString& end) const
    {
        const QStringList a = start.split(u':');
        const QStringList b = end.split(u':');
        const int boxes[] = { Id::StartHours, Id::StartMinutes, Id::StartSeconds, Id::EndHours,
            Id::EndMinutes, Id::EndSeconds };
        for (int i = 0; i < 3; ++i) {
            h->setText(boxes[i], a.at(i));
            h->setText(boxes[i + 3], b.at(i));
        }
    }
    void startWithSource()
    {
        h->start();
        m_source = h->openPatternSource(QStringLiteral("song.mp3"), 100);
    }
    std::string local(const QString& name) const { return h->path(name).toStdString(); }
    // What every request of the open source carries besides its shape.
    void verifySource(const RecordedCut& cut) const
    {
        QCOMPARE(cut.request.sourcePath, m_source.toStdString());
        QVERIFY(cut.request.sourceOpen);
        QVERIFY(!cut.request.exact);
        QCOMPARE(cut.request.outputFolder, local(QStringLiteral("out/")));
        QCOMPARE(cut.measured, std::optional<std::int64_t>(100));
    }

protected:
    void tearDownHarness() override { QCOMPARE(QGuiApplication::overrideCursor(), nullptr); }

private Q_SLOTS:
    // The one cut through the real dispatcher: the window's request reaches the engine.
    void startRange_writesTheRangeAndSaysDone()
    {
        h->realCuts = true;
        startWithSource();
        setMarks(QStringLiteral("0:0:10"), QStringLiteral("0:0:20"));
        h->click(Id::StartRange);
        QCOMPARE(h->prompter.shown,
            QList<Shown>({ { Kind::Message, QStringLiteral("Message"),
                QStringLiteral("Splitting is done!") } }));
        // 10..20 s of 100 s: bytes 100,000 to 200,000, copied in whole 512-byte blocks.
        const std::vector<char> all = ReadAll(m_source.toStdString());
        QCOMPARE(ReadAll(local(QStringLiteral("cut.mp3"))),
            std::vector<char>(all.begin() + 100'000, all.begin() + 200'352));
    }

    void startRange_asksForTheMarkedRange()
    {
        startWithSource();
        setMarks(QStringLiteral("0:0:10"), QStringLiteral("1:2:100"));
        h->click(Id::StartRange);
        const RecordedCut& cut = h->onlyCut();
        verifySource(cut);
        const auto* range = std::get_if<CutBetween>(&cut.request.shape);
        QVERIFY(range);
        QCOMPARE(range->start, (TimeMark { 0, 0, 10 }));
        QCOMPARE(range->end, (TimeMark { 1, 2, 100 }));
        QCOMPARE(range->outputPath, local(QStringLiteral("cut.mp3")));
        QVERIFY(h->prompter.shown.isEmpty()); // what the engine says is its own
    }

    // Without a source the boxes are not read: the engine says to open one first.
    void startRange_withoutSource_asksWithoutReadingBoxes()
    {
        h->start();
        h->setText(Id::StartHours, QStringLiteral("abc"));
        h->click(Id::StartRange);
        QVERIFY(h->prompter.shown.isEmpty());
        QCOMPARE(h->onlyCut().request.sourcePath, std::string());
        QVERIFY(!h->onlyCut().request.sourceOpen);
    }

    void startRange_stopsWhenABoxIsRefused()
    {
        startWithSource();
        // The fields once held a valid range; the box now refused must not let it run.
        setMarks(QStringLiteral("0:0:10"), QStringLiteral("0:0:20"));
        QVERIFY(h->dialog().DoDataExchange(true));
        h->setText(Id::EndSeconds, QStringLiteral("twenty"));
        h->click(Id::StartRange);
        QCOMPARE(h->prompter.shown, QList<Shown>({ PleaseEnterInteger }));
        QVERIFY(h->cuts.empty());
    }

    void startBySize_asksForTheCountedParts()
    {
        startWithSource();
        h->click(Id::BySize);
        h->setText(Id::SplitCount, QStringLiteral("3"));
        h->click(Id::StartBySize);
        const RecordedCut& cut = h->onlyCut();
        verifySource(cut);
        QCOMPARE(std::get<CutIntoParts>(cut.request.shape).count, std::int64_t { 3 });
    }

    void startBySize_withoutSource_doesNothing()
    {
        h->start();
        h->setText(Id::SplitCount, QStringLiteral("x"));
        h->click(Id::StartBySize);
        QVERIFY(h->prompter.shown.isEmpty());
        QVERIFY(h->cuts.empty());
    }

    void startBySize_stopsWhenABoxIsRefused_data()
    {
        QTest::addColumn<int>("box");
        QTest::newRow("split count") << int(Id::SplitCount);
        QTest::newRow("a time box of the hidden panel") << int(Id::StartMinutes);
    }
    void startBySize_stopsWhenABoxIsRefused()
    {
        QFETCH(int, box);
        startWithSource();
        h->click(Id::BySize);
        h->setText(Id::SplitCount, QStringLiteral("2"));
        QVERIFY(h->dialog().DoDataExchange(true));
        h->setText(box, QString());
        h->click(Id::StartBySize);
        QCOMPARE(h->prompter.shown, QList<Shown>({ PleaseEnterInteger }));
        QVERIFY(h->cuts.empty());
    }

    // The box goes as typed (the proportional engine reads its leading integer); the exact
    // engine gets that integer as a length.
    void startByTime_asksForPiecesOfTheTypedLength()
    {
        startWithSource();
        h->click(Id::ByTime);
        h->setText(Id::SplitSeconds, QStringLiteral("90s"));
        h->click(Id::StartByTime);
        const RecordedCut& cut = h->onlyCut();
        verifySource(cut);
        const auto& every = std::get<CutEvery>(cut.request.shape);
        QCOMPARE(every.secondsText, std::string("90s"));
        QCOMPARE(every.length, (TimeMark { 0, 1, 30 }));
    }

    // Without a source the request names none, and the dispatcher does nothing with it.
    void startByTime_withoutSource_asksForNoSource()
    {
        h->start();
        h->click(Id::StartByTime);
        QCOMPARE(h->onlyCut().request.sourcePath, std::string());
        QVERIFY(!h->onlyCut().request.sourceOpen);
    }

    void splits_keepTheFolderOnceTheyGotAsFarAsTheirFiles_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("status");
        QTest::addColumn<bool>("kept");
        const std::pair<int, int> buttons[]
            = { { Id::BySize, Id::StartBySize }, { Id::ByTime, Id::StartByTime } };
        for (const auto& [mode, start] : buttons) {
            const char* name = start == Id::StartBySize ? "parts" : "every";
            QTest::addRow("%s, done", name) << mode << start << int(SplitStatus::Done) << true;
            QTest::addRow("%s, failed", name) << mode << start << int(SplitStatus::Failed) << true;
            QTest::addRow("%s, cancelled", name)
                << mode << start << int(SplitStatus::Cancelled) << true;
            QTest::addRow("%s, stopped", name)
                << mode << start << int(SplitStatus::Stopped) << false;
        }
    }
    void splits_keepTheFolderOnceTheyGotAsFarAsTheirFiles()
    {
        QFETCH(int, mode);
        QFETCH(int, start);
        QFETCH(int, status);
        QFETCH(bool, kept);
        startWithSource();
        h->dialog().show();
        h->cutResult.status = SplitStatus(status);
        h->click(mode);
        h->click(start);
        QCOMPARE(h->cuts.size(), std::size_t(1));
        h->dialog().close();
        QCOMPARE(DialogHarness::stored(QStringLiteral("output_folder")).toString(),
            kept ? h->path(QStringLiteral("out/")) : h->path(QStringLiteral("Music/")));
    }
};

PARVEX_DIALOG_TEST_MAIN(SplitDialogSplitTest)

} // namespace parvex

#include "tst_splitdialogsplit.moc"
