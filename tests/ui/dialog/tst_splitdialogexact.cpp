// The "Exact cut (gapless)" check box: its place on the keyboard, its setting, and the three
// Start buttons cutting exactly while it is checked.
#include "controlids.h"
#include "dialogharness.h"
#include "exactfixtures.h"
#include "infoframe.h"

#include <QAccessible>
#include <QCheckBox>
#include <QDir>

#include <cstdint>

namespace Id = ControlId;

namespace {
using Kind = ScriptedPrompter::Kind;
using Shown = ScriptedPrompter::Shown;

const Shown Done { Kind::Message, QStringLiteral("Message"), QStringLiteral("Splitting is done!") };
constexpr int Rate = 44100;
constexpr int SourceSeconds = 6;

// The piece begins with a Xing/Info frame of its own (lame writes no tags here, so neither
// does the cut).
bool startsWithInfoFrame(const QString& piece)
{
    const std::vector<char> bytes = ReadAll(piece.toStdString());
    return ParseInfoFrame(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size())
        .has_value();
}

std::int64_t gaplessSamples(const QString& piece)
{
    return ScanWithMpg123(piece.toStdString()).samples;
}
} // namespace

class SplitDialogExactTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<DialogHarness> h;

    // The control with the given id; the test ends at once when the window has none.
    template<class T = QWidget>
    T& the(int id) const
    {
        T* widget = h->control<T>(id);
        if (!widget)
            qFatal("no control %d of the expected class", id);
        return *widget;
    }
    QCheckBox& exactBox() const { return the<QCheckBox>(Id::ExactCut); }
    // Opens a 6-second VBR source and sends the outputs into the temporary folder.
    QString startWithMp3(bool exact)
    {
        h->start();
        const QString source = h->path(QStringLiteral("song.mp3"));
        std::string error;
        if (!MakeMp3(source.toStdString(), { SourceSeconds, Rate, 2, { "-V", "2" } }, &error))
            qFatal("lame: %s", error.c_str());
        h->openSource(source, SourceSeconds);
        h->setText(Id::OutputFile, h->path(QStringLiteral("cut.mp3")));
        QDir().mkpath(h->path(QStringLiteral("out")));
        h->setText(Id::OutputFolder, h->path(QStringLiteral("out/")));
        exactBox().setChecked(exact);
        return source;
    }
    QString piece(int i) const { return h->path(QStringLiteral("out/song_%1.mp3").arg(i)); }

private Q_SLOTS:
    void init()
    {
        DialogHarness::clearSettings();
        h = std::make_unique<DialogHarness>();
    }
    void cleanup() { h.reset(); }

    void box_isReachedByTabAndMnemonic_andNamed()
    {
        CSplitDialog& dialog = h->start();
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        exactBox().setFocus();
        QTest::keyClick(&exactBox(), Qt::Key_Tab);
        QCOMPARE(dialog.focusWidget(), h->control(Id::Homepage));
        QTest::keyClick(dialog.focusWidget(), Qt::Key_Backtab);
        QCOMPARE(dialog.focusWidget(), h->control(Id::ExactCut));
        the(Id::OpenMp3).setFocus();
        QTest::keyClick(&dialog, Qt::Key_X, Qt::AltModifier); // "E&xact cut (gapless)"
        QTRY_VERIFY(exactBox().isChecked());
        QCOMPARE(QAccessible::queryAccessibleInterface(&exactBox())->text(QAccessible::Name),
            QStringLiteral("Exact cut (gapless)"));
    }

    void box_fitsBetweenStartAndHomepage_data()
    {
        QTest::addColumn<int>("points");
        for (int points = 9; points <= 14; ++points)
            QTest::addRow("%d pt", points) << points;
    }
    void box_fitsBetweenStartAndHomepage()
    {
        QFETCH(int, points);
        h->startAtPointSize(points);
        const QRect box = exactBox().geometry();
        QVERIFY(exactBox().sizeHint().width() <= box.width());
        for (const int id : { Id::StartRange, Id::StartBySize, Id::StartByTime, Id::Homepage })
            QVERIFY2(!box.intersects(the(id).geometry()), qPrintable(QString::number(id)));
    }

    void setting_isReadAtStartAndWrittenOnEveryChange()
    {
        h->start();
        QVERIFY(!exactBox().isChecked());
        exactBox().click();
        QCOMPARE(
            DialogHarness::stored(QStringLiteral("exact_cut")).toString(), QStringLiteral("1"));

        h = std::make_unique<DialogHarness>();
        h->start();
        QVERIFY(exactBox().isChecked());
        exactBox().click();
        QCOMPARE(
            DialogHarness::stored(QStringLiteral("exact_cut")).toString(), QStringLiteral("0"));
    }

    void checked_startRange_writesTheMarkedSamples()
    {
        startWithMp3(true);
        h->setText(Id::StartSeconds, QStringLiteral("1"));
        h->setText(Id::EndSeconds, QStringLiteral("4"));
        h->click(Id::StartRange);
        QCOMPARE(h->prompter.shown, QList<Shown>({ Done }));
        const QString cut = h->path(QStringLiteral("cut.mp3"));
        QVERIFY(startsWithInfoFrame(cut));
        QCOMPARE(gaplessSamples(cut), 3 * Rate);
    }

    void checked_startBySize_writesPiecesThatJoinToTheSource()
    {
        const QString source = startWithMp3(true);
        h->click(Id::BySize);
        h->setText(Id::SplitCount, QStringLiteral("3"));
        h->click(Id::StartBySize);
        QCOMPARE(h->prompter.shown, QList<Shown>({ Done }));
        std::int64_t joined = 0;
        for (int i = 0; i < 3; ++i) {
            QVERIFY(startsWithInfoFrame(piece(i)));
            joined += gaplessSamples(piece(i));
        }
        QCOMPARE(joined, gaplessSamples(source));
        QVERIFY(!QFile::exists(piece(3)));
    }

    void checked_startByTime_writesPiecesOfTheExactLength()
    {
        startWithMp3(true);
        h->click(Id::ByTime);
        h->setText(Id::SplitSeconds, QStringLiteral("2"));
        h->click(Id::StartByTime);
        QCOMPARE(h->prompter.shown, QList<Shown>({ Done }));
        for (int i = 0; i < 3; ++i) {
            QVERIFY(startsWithInfoFrame(piece(i)));
            QCOMPARE(gaplessSamples(piece(i)), 2 * Rate);
        }
        QVERIFY(!QFile::exists(piece(3)));
    }

    void unchecked_startRange_cutsByProportionAsBefore()
    {
        const QString source = startWithMp3(false);
        h->setText(Id::EndSeconds, QStringLiteral("3"));
        h->click(Id::StartRange);
        QCOMPARE(h->prompter.shown, QList<Shown>({ Done }));
        // 0..3 s of 6: the first half of the bytes, in whole 512-byte blocks.
        const std::vector<char> all = ReadAll(source.toStdString());
        const std::vector<char> cut = ReadAll(h->path(QStringLiteral("cut.mp3")).toStdString());
        QCOMPARE(cut.size(), (all.size() / 2 + 511) / 512 * 512);
        QVERIFY(std::equal(cut.begin(), cut.end(), all.begin()));
    }

    void checked_refusalOfASourceShowsInTheBox()
    {
        h->start();
        const QString source = h->path(QStringLiteral("noise.mp3"));
        MakePatternFile(source.toStdString(), 100'000);
        h->openSource(source, 10);
        h->setText(Id::OutputFile, h->path(QStringLiteral("cut.mp3")));
        exactBox().setChecked(true);
        h->setText(Id::EndSeconds, QStringLiteral("5"));
        h->click(Id::StartRange);
        QCOMPARE(h->prompter.shown.size(), 1);
        QVERIFY(h->prompter.shown.first().text.startsWith(
            QStringLiteral("This file cannot be cut exactly: ")));
        QVERIFY(!QFile::exists(h->path(QStringLiteral("cut.mp3"))));
    }
};

PARVEX_DIALOG_TEST_MAIN(SplitDialogExactTest)
#include "tst_splitdialogexact.moc"
