// SPDX-License-Identifier: GPL-3.0-or-later
// Opening a source: the title line, the probe and read failures, and the each-size display.
#include "controlids.h"
#include "dialogtestcase.h"
#include "probeduration.h"
#include "updowncontrol.h"

#include <fstream>

namespace parvex {

namespace Id = ControlId;

class SplitDialogSourceTest : public DialogTestCase
{
    Q_OBJECT

    QString patternFile(const QString& name, std::int64_t size) const
    {
        const QString file = h->path(name);
        MakePatternFile(file.toStdString(), size);
        return file;
    }

private Q_SLOTS:
    void open_showsNameAndDurationOfARealMp3()
    {
        const QString file = h->path(QStringLiteral("song.mp3"));
        std::string error;
        QVERIFY2(MakeMp3(file.toStdString(), { .seconds = 65.9 }, &error), error.c_str());
        h->start();
        h->setText(Id::StartHours, QStringLiteral("typed"));
        h->files.answerNext(file);
        h->duration = ProbeDuration(file.toStdString());
        h->click(Id::OpenMp3);

        QCOMPARE(h->files.requests.constFirst(),
            ScriptedFileChooser::Request({ QStringLiteral("Select a MP3 file"),
                QStringLiteral("MP3 Files(*.mp3)"), QString(), QString() }));
        QCOMPARE(h->text(Id::SourceTitle), QStringLiteral("song.mp3  (00:01:05)"));
        // The exchange toward the controls shows the held values again.
        QCOMPARE(h->text(Id::StartHours), QStringLiteral("0"));
        QVERIFY(h->prompter.shown.isEmpty());

        // The next open suggests the current source.
        h->click(Id::OpenMp3);
        QCOMPARE(h->files.requests.at(1).folder, file);
    }

    void open_titleShowsHoursBeyondTwoDigits_data()
    {
        QTest::addColumn<qint64>("seconds");
        QTest::addColumn<QString>("title");
        QTest::newRow("under a second") << qint64(0) << "a.mp3  (00:00:00)";
        QTest::newRow("99:59:59") << qint64(359999) << "a.mp3  (99:59:59)";
        QTest::newRow("100 hours") << qint64(360000) << "a.mp3  (100:00:00)";
        QTest::newRow("1000 hours") << qint64(3600000 + 61) << "a.mp3  (1000:01:01)";
    }
    void open_titleShowsHoursBeyondTwoDigits()
    {
        QFETCH(qint64, seconds);
        QFETCH(QString, title);
        const QString file = patternFile(QStringLiteral("a.mp3"), 1000);
        h->start();
        h->openSource(file, seconds);
        QCOMPARE(h->text(Id::SourceTitle), title);
    }

    void open_cancelChangesNothing()
    {
        h->start();
        h->click(Id::OpenMp3);
        QCOMPARE(h->text(Id::SourceTitle), QString());
        QVERIFY(h->prompter.shown.isEmpty());
    }

    void open_aFileThatCannotBeMeasuredLeavesThePreviousSourceWhole_data()
    {
        QTest::addColumn<bool>("probeFails");
        QTest::addColumn<QString>("message");
        QTest::newRow("probe") << true << QStringLiteral("Can not open the mp3 total time!");
        QTest::newRow("size") << false << QStringLiteral("Can not open the mp3 file!");
    }
    void open_aFileThatCannotBeMeasuredLeavesThePreviousSourceWhole()
    {
        QFETCH(bool, probeFails);
        QFETCH(QString, message);
        const QString first = patternFile(QStringLiteral("first.mp3"), 1000);
        h->start();
        h->openSource(first, 10);
        // Probed but not a file (a folder), or a file the probe cannot measure.
        const QString second
            = probeFails ? h->path(QStringLiteral("second.mp3")) : h->path(QString());
        std::ofstream(second.toStdString()) << std::string(3000, 'x');
        h->duration = probeFails ? std::nullopt : std::optional<std::int64_t>(1);
        h->files.answerNext(second);
        h->click(Id::OpenMp3);
        QCOMPARE(h->prompter.texts(), QStringList { message });
        QCOMPARE(h->prompter.shown.constFirst().kind, ScriptedPrompter::Kind::Framework);
        QCOMPARE(h->text(Id::SourceTitle), QStringLiteral("first.mp3  (00:00:10)"));

        // Start still cuts the first file, with its own length.
        h->click(Id::StartRange);
        QCOMPARE(h->onlyCut().request.sourcePath, first.toStdString());
        QCOMPARE(h->onlyCut().measured, std::optional<std::int64_t>(10));
        h->click(Id::OpenMp3);
        QCOMPARE(h->files.requests.last().folder, first);
    }

    void open_unreadableFirstFileLeavesNoSource()
    {
        h->start();
        h->openSource(h->path(QString()), 10); // a folder: measured by this probe, not a file
        QCOMPARE(h->prompter.shown,
            QList<ScriptedPrompter::Shown>({ { ScriptedPrompter::Kind::Framework, {},
                QStringLiteral("Can not open the mp3 file!") } }));
        QCOMPARE(h->text(Id::SourceTitle), QString());
    }

    void eachSize_showsOnePartsSizeWhenTheSpinMoves()
    {
        const QString file = patternFile(QStringLiteral("big.mp3"), 5'000'000);
        h->start();
        auto* spin = h->control<UpDownControl>(Id::SplitCountSpin);
        spin->step(1); // no source yet: the display stays empty
        QCOMPARE(h->text(Id::EachSize), QString());

        h->openSource(file, 100);
        QCOMPARE(h->text(Id::EachSize), QString()); // opening does not refresh it
        h->setText(Id::SplitCount, QStringLiteral("2"));
        spin->step(1);
        QCOMPARE(h->text(Id::EachSize), QStringLiteral("1627KB"));
        QCOMPARE(h->text(Id::SplitCount), QStringLiteral("3"));

        h->setText(Id::SplitCount, QStringLiteral("1"));
        Q_EMIT spin->deltaPos(1, -1); // a count of 0 leaves the display as it was
        QCOMPARE(h->text(Id::EachSize), QStringLiteral("1627KB"));
    }
};

PARVEX_DIALOG_TEST_MAIN(SplitDialogSourceTest)

} // namespace parvex

#include "tst_splitdialogsource.moc"
