// The three Start buttons: what they write, what they say, and that a refused box stops them.
#include "controlids.h"
#include "dialogharness.h"

#include <QDir>
#include <QGuiApplication>

#include <filesystem>

namespace Id = ControlId;
namespace fs = std::filesystem;

namespace {
using Kind = ScriptedPrompter::Kind;
using Shown = ScriptedPrompter::Shown;

const Shown Done { Kind::Message, QStringLiteral("Message"), QStringLiteral("Splitting is done!") };
const Shown PleaseEnterInteger { Kind::Framework, {}, QStringLiteral("Please enter an integer.") };

std::vector<char> bytes(const std::vector<char>& all, std::size_t from, std::size_t count)
{
    return { all.begin() + static_cast<std::ptrdiff_t>(from),
        all.begin() + static_cast<std::ptrdiff_t>(from + count) };
}
} // namespace

class SplitDialogSplitTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<DialogHarness> h;
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
    // Opens the 100-second source and sends the outputs into the temporary folder.
    void startWithSource()
    {
        h->start();
        m_source = h->path(QStringLiteral("song.mp3"));
        MakePatternFile(m_source.toStdString(), 1'000'000);
        h->openSource(m_source, 100);
        h->setText(Id::OutputFile, h->path(QStringLiteral("cut.mp3")));
        QDir().mkpath(h->path(QStringLiteral("out")));
        h->setText(Id::OutputFolder, h->path(QStringLiteral("out/")));
    }
    std::vector<char> read(const QString& name) const
    {
        return ReadAll(h->path(name).toStdString());
    }

private Q_SLOTS:
    void init()
    {
        DialogHarness::clearSettings();
        h = std::make_unique<DialogHarness>();
    }
    void cleanup()
    {
        h.reset();
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    }

    void startRange_withoutSource_asksForOneBeforeReadingBoxes()
    {
        h->start();
        h->setText(Id::StartHours, QStringLiteral("abc"));
        h->click(Id::StartRange);
        QCOMPARE(h->prompter.shown,
            QList<Shown>(
                { { Kind::Error, {}, QStringLiteral("Please open an MP3 file first!") } }));
    }

    void startRange_writesTheRangeAndSaysDone()
    {
        startWithSource();
        setMarks(QStringLiteral("0:0:10"), QStringLiteral("0:0:20"));
        h->click(Id::StartRange);
        QCOMPARE(h->prompter.shown, QList<Shown>({ Done }));
        // 10..20 s of 100 s: bytes 100,000 to 200,000, copied in whole 512-byte blocks.
        QCOMPARE(read(QStringLiteral("cut.mp3")),
            bytes(ReadAll(m_source.toStdString()), 100'000, 100'352));
    }

    void startRange_refusesAMarkAtTheTotal()
    {
        startWithSource();
        setMarks(QStringLiteral("0:0:10"), QStringLiteral("0:1:40"));
        h->click(Id::StartRange);
        QCOMPARE(h->prompter.shown,
            QList<Shown>({ { Kind::Error, {},
                QStringLiteral("The End Time is bigger than the total time!") } }));
        QVERIFY(!QFile::exists(h->path(QStringLiteral("cut.mp3"))));
    }

    void startRange_asksBeforeReplacing_data()
    {
        QTest::addColumn<bool>("yes");
        QTest::newRow("Yes") << true;
        QTest::newRow("No") << false;
    }
    void startRange_asksBeforeReplacing()
    {
        QFETCH(bool, yes);
        startWithSource();
        const QString output = h->path(QStringLiteral("cut.mp3"));
        MakePatternFile(output.toStdString(), 7);
        setMarks(QStringLiteral("0:0:0"), QStringLiteral("0:0:1"));
        h->prompter.answerNext(yes);
        h->click(Id::StartRange);

        const Shown question { Kind::Question, QStringLiteral("Warning"),
            output + QStringLiteral(" exists. Do you want to replace it?") };
        QCOMPARE(
            h->prompter.shown, yes ? QList<Shown>({ question, Done }) : QList<Shown>({ question }));
        QCOMPARE(QFileInfo(output).size(), yes ? 10'240 : 7);
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
        QVERIFY(!QFile::exists(h->path(QStringLiteral("cut.mp3"))));
    }

    void startBySize_writesNumberedEqualParts_andRemembersTheFolder()
    {
        startWithSource();
        h->dialog().show();
        h->click(Id::BySize);
        h->setText(Id::SplitCount, QStringLiteral("3"));
        h->click(Id::StartBySize);
        QCOMPARE(h->prompter.shown, QList<Shown>({ Done }));
        const std::vector<char> all = ReadAll(m_source.toStdString());
        QCOMPARE(read(QStringLiteral("out/song_0.mp3")), bytes(all, 0, 333'824));
        QCOMPARE(read(QStringLiteral("out/song_1.mp3")), bytes(all, 333'333, 333'824));
        QCOMPARE(read(QStringLiteral("out/song_2.mp3")), bytes(all, 666'666, 333'334));
        QVERIFY(!QFile::exists(h->path(QStringLiteral("out/song_3.mp3"))));

        h->dialog().close();
        QCOMPARE(DialogHarness::stored(QStringLiteral("output_folder")).toString(),
            h->path(QStringLiteral("out/")));
    }

    void startBySize_withoutSource_doesNothing()
    {
        h->start();
        h->setText(Id::SplitCount, QStringLiteral("x"));
        h->click(Id::StartBySize);
        QVERIFY(h->prompter.shown.isEmpty());
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
        QVERIFY(QDir(h->path(QStringLiteral("out"))).isEmpty());
    }

    void startByTime_writesPartsOfTheTypedLength()
    {
        startWithSource();
        h->click(Id::ByTime);
        h->setText(Id::SplitSeconds, QStringLiteral("30s"));
        h->click(Id::StartByTime);
        QCOMPARE(h->prompter.shown, QList<Shown>({ Done }));
        const std::vector<char> all = ReadAll(m_source.toStdString());
        QCOMPARE(read(QStringLiteral("out/song_0.mp3")), bytes(all, 0, 300'032));
        QCOMPARE(read(QStringLiteral("out/song_1.mp3")), bytes(all, 300'000, 300'032));
        QCOMPARE(read(QStringLiteral("out/song_2.mp3")), bytes(all, 600'000, 300'032));
        QCOMPARE(read(QStringLiteral("out/song_3.mp3")), bytes(all, 900'000, 100'000));
    }

    void startByTime_withoutSource_doesNothing()
    {
        h->start();
        h->click(Id::StartByTime);
        QVERIFY(h->prompter.shown.isEmpty());
    }

    void split_outputThatCannotBeOpened_isAFileError()
    {
        startWithSource();
        // A file where the output folder should be.
        MakePatternFile(h->path(QStringLiteral("blocker")).toStdString(), 1);
        h->setText(Id::OutputFolder, h->path(QStringLiteral("blocker/")));
        h->click(Id::StartByTime);
        QCOMPARE(h->prompter.shown,
            QList<Shown>(
                { { Kind::Framework, {}, QStringLiteral("Can not open the output mp3 file!") } }));
    }
};

PARVEX_DIALOG_TEST_MAIN(SplitDialogSplitTest)
#include "tst_splitdialogsplit.moc"
