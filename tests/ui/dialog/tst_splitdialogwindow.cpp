// SPDX-License-Identifier: GPL-3.0-or-later
// The main window itself: start-up, mode panels, data exchange, ending, settings, outputs, help.
#include "controlids.h"
#include "dialogtestcase.h"
#include "resources.h"
#include "updowncontrol.h"

#include <QAction>
#include <QDir>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QSettings>
#include <QSlider>
#include <QTimer>

namespace parvex {

namespace Id = ControlId;

namespace {
// The ids of the controls that belong to the given panels or are common to all.
QSet<int> idsOf(std::initializer_list<Panel> panels)
{
    QSet<int> ids;
    for (const ControlTemplate& item : Resources::mainDialog().controls) {
        if (item.id >= 0
            && (item.panel == Panel::Common
                || std::find(panels.begin(), panels.end(), item.panel) != panels.end()))
            ids.insert(item.id);
    }
    return ids;
}

QSet<int> shownIds(const DialogHarness& h)
{
    QSet<int> ids;
    for (const ControlTemplate& item : Resources::mainDialog().controls) {
        const QWidget* widget = item.id >= 0 ? h.control(item.id) : nullptr;
        if (widget && !widget->isHidden())
            ids.insert(item.id);
    }
    return ids;
}

const QString PleaseEnterInteger = QStringLiteral("Please enter an integer.");
} // namespace

class SplitDialogWindowTest : public DialogTestCase
{
    Q_OBJECT

private Q_SLOTS:
    void freshStart_showsByFramePanelWithStartValues()
    {
        h->start();
        QVERIFY(h->control<QRadioButton>(Id::ByFrame)->isChecked());
        QCOMPARE(shownIds(*h), idsOf({ Panel::ByRange }));
        for (int id : { Id::StartHours, Id::StartMinutes, Id::StartSeconds, Id::EndHours,
                 Id::EndMinutes, Id::EndSeconds })
            QCOMPARE(h->text(id), QStringLiteral("0"));
        QCOMPARE(h->text(Id::SplitCount), QStringLiteral("1"));
        QCOMPARE(h->text(Id::SplitSeconds), QStringLiteral("60"));
        QCOMPARE(h->text(Id::SourceTitle), QString());
        QCOMPARE(h->text(Id::EachSize), QString());
        const auto* slider = h->control<QSlider>(Id::PositionSlider);
        QCOMPARE(slider->minimum(), 0);
        QCOMPARE(slider->maximum(), 600);
        QCOMPARE(slider->value(), 0);
        QVERIFY(h->prompter.shown.isEmpty());
    }

    void modeSwitches_showTheirPanelsOnly()
    {
        h->start();
        h->setText(Id::OutputFile, QStringLiteral("/typed/out.mp3"));
        h->setText(Id::EndSeconds, QStringLiteral("7"));
        const QSet<int> startUp = shownIds(*h);

        h->click(Id::BySize);
        QCOMPARE(shownIds(*h), idsOf({ Panel::BySize, Panel::OutputFolder }));
        QVERIFY(!h->control<QRadioButton>(Id::ByFrame)->isChecked());
        h->click(Id::ByTime);
        QCOMPARE(shownIds(*h), idsOf({ Panel::ByTime, Panel::OutputFolder }));
        h->click(Id::BySize);
        h->click(Id::ByFrame);
        QCOMPARE(shownIds(*h), startUp);
        QCOMPARE(h->text(Id::OutputFile), QStringLiteral("/typed/out.mp3"));
        QCOMPARE(h->text(Id::EndSeconds), QStringLiteral("7"));
    }

    void exchange_readsTheLeadingInteger()
    {
        CSplitDialog& dialog = h->start();
        h->setText(Id::StartHours, QStringLiteral("12abc"));
        h->setText(Id::StartMinutes, QStringLiteral("  7"));
        h->setText(Id::EndHours, QStringLiteral("1,000"));
        h->setText(Id::SplitCount, QStringLiteral("-3 parts"));
        QVERIFY(dialog.DoDataExchange(true));
        QVERIFY(dialog.DoDataExchange(false));
        QCOMPARE(h->text(Id::StartHours), QStringLiteral("12"));
        QCOMPARE(h->text(Id::StartMinutes), QStringLiteral("7"));
        QCOMPARE(h->text(Id::EndHours), QStringLiteral("1"));
        QCOMPARE(h->text(Id::SplitCount), QStringLiteral("-3"));
        QVERIFY(h->prompter.shown.isEmpty());

        // Four-digit counts are written without a thousands separator, so they read back.
        h->setText(Id::SplitCount, QStringLiteral("999"));
        h->control<UpDownControl>(Id::SplitCountSpin)->step(1);
        QVERIFY(dialog.DoDataExchange(true));
        QVERIFY(dialog.DoDataExchange(false));
        QCOMPARE(h->text(Id::SplitCount), QStringLiteral("1000"));
    }

    void exchange_refusesBoxWithoutNumber()
    {
        CSplitDialog& dialog = h->start();
        h->setText(Id::StartHours, QStringLiteral("2"));
        h->setText(Id::StartSeconds, QStringLiteral("abc"));
        h->setText(Id::EndHours, QStringLiteral("5"));
        h->setText(Id::OutputFile, QStringLiteral("/typed.mp3"));
        h->setText(Id::SplitCount, QStringLiteral("4"));

        QVERIFY(!dialog.DoDataExchange(true));
        QCOMPARE(h->prompter.shown,
            QList<ScriptedPrompter::Shown>(
                { { ScriptedPrompter::Kind::Framework, {}, PleaseEnterInteger } }));
        QCOMPARE(dialog.focusWidget(), h->edit(Id::StartSeconds));
        QCOMPARE(h->edit(Id::StartSeconds)->selectedText(), QStringLiteral("abc"));

        // Fields before the refused box took their new values, it and those after it did not.
        QVERIFY(dialog.DoDataExchange(false));
        QCOMPARE(h->text(Id::StartHours), QStringLiteral("2"));
        QCOMPARE(h->text(Id::StartSeconds), QStringLiteral("0"));
        QCOMPARE(h->text(Id::EndHours), QStringLiteral("0"));
        QCOMPARE(h->text(Id::OutputFile), h->path(QStringLiteral("Music/cut1.mp3")));
        QCOMPARE(h->text(Id::SplitCount), QStringLiteral("1"));
    }

    void enter_endsOnlyAfterAGoodExchange_andStoresNothing()
    {
        CSplitDialog& dialog = h->start();
        dialog.show();
        h->setText(Id::EndMinutes, QStringLiteral("x"));
        QTest::keyClick(h->edit(Id::EndMinutes), Qt::Key_Return);
        QVERIFY(dialog.isVisible());
        QCOMPARE(h->prompter.texts(), QStringList { PleaseEnterInteger });

        h->setText(Id::EndMinutes, QStringLiteral("5"));
        QTest::keyClick(h->edit(Id::EndMinutes), Qt::Key_Return);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(!DialogHarness::stored(QStringLiteral("output_folder")).isValid());
    }

    void enter_onAFocusedButtonPressesIt()
    {
        CSplitDialog& dialog = h->start();
        dialog.show();
        auto* startRange = h->control<QPushButton>(Id::StartRange);
        startRange->setFocus();
        QTest::keyClick(startRange, Qt::Key_Return);
        QVERIFY(dialog.isVisible());
        QCOMPARE(h->cuts.size(), std::size_t(1));
    }

    void escape_endsAtOnceAndStoresNothing()
    {
        CSplitDialog& dialog = h->start();
        dialog.show();
        h->setText(Id::EndMinutes, QStringLiteral("x"));
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QVERIFY(h->prompter.shown.isEmpty());
        QVERIFY(!DialogHarness::stored(QStringLiteral("output_folder")).isValid());
    }

    void closeBox_storesTheOutputFolderField()
    {
        CSplitDialog& dialog = h->start();
        dialog.show();
        // Typed into the box but never taken into the field: not what is remembered.
        h->setText(Id::OutputFolder, QStringLiteral("/typed/"));
        QVERIFY(dialog.close());
        QVERIFY(!dialog.isVisible());
        QCOMPARE(DialogHarness::stored(QStringLiteral("output_folder")).toString(),
            h->path(QStringLiteral("Music/")));
        // Kept per user, under the maker's name and the program's own file name.
        const QString file = qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/Brennick/")
            + QFileInfo(QCoreApplication::applicationFilePath()).fileName()
            + QStringLiteral(".conf");
        QSettings onDisk(file, QSettings::IniFormat);
        QCOMPARE(onDisk.value(QStringLiteral("Option/output_folder")).toString(),
            h->path(QStringLiteral("Music/")));
    }

    void firstRun_defaultsLieInTheMusicFolder()
    {
        h->start();
        QCOMPARE(h->text(Id::OutputFolder), h->path(QStringLiteral("Music/")));
        QCOMPARE(h->text(Id::OutputFile), h->path(QStringLiteral("Music/cut1.mp3")));
        QVERIFY(h->prompter.shown.isEmpty());
    }

    void noMusicFolder_plainDefaultsAndAMessageForEach()
    {
        h->desktop.music.clear();
        h->start();
        QCOMPARE(h->text(Id::OutputFolder), QStringLiteral("/home/tester/"));
        QCOMPARE(h->text(Id::OutputFile), QStringLiteral("/home/tester/cut1.mp3"));
        const ScriptedPrompter::Shown noMusic { ScriptedPrompter::Kind::Error, {},
            QStringLiteral("Can not get My Music directory!") };
        QCOMPARE(h->prompter.shown, QList<ScriptedPrompter::Shown>({ noMusic, noMusic }));
    }

    void storedValues_winOverDefaults_emptyIncluded()
    {
        DialogHarness::store(QStringLiteral("output_folder"), QString());
        DialogHarness::store(QStringLiteral("output_cut_file"), QStringLiteral("/out/x.mp3"));
        h->start();
        QCOMPARE(h->text(Id::OutputFolder), QString());
        QCOMPARE(h->text(Id::OutputFile), QStringLiteral("/out/x.mp3"));
    }

    void browseFile_appliesTheMp3Rule_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("result");
        QTest::newRow("no extension") << "/d/Music/cut1.mp3"
                                      << "/d/Music/song"
                                      << "/d/Music"
                                      << "/d/Music/song.mp3";
        QTest::newRow("other extension") << "/d/Music/cut1.mp3"
                                         << "/d/Music/song.wav"
                                         << "/d/Music"
                                         << "/d/Music/song.mp3";
        QTest::newRow("mp3 stays") << "/d/Music/cut1.mp3"
                                   << "/d/Music/song.mp3"
                                   << "/d/Music"
                                   << "/d/Music/song.mp3";
        QTest::newRow("dot in the folder only") << "/d/My.Music/cut1.mp3"
                                                << "/d/My.Music/song"
                                                << "/d/My.Music"
                                                << "/d/My.Music/song.mp3";
        QTest::newRow("field without folder") << "cut1.mp3"
                                              << "/d/a.b.c"
                                              << "."
                                              << "/d/a.b.mp3";
    }
    void browseFile_appliesTheMp3Rule()
    {
        QFETCH(QString, field);
        QFETCH(QString, answer);
        QFETCH(QString, folder);
        QFETCH(QString, result);
        DialogHarness::store(QStringLiteral("output_cut_file"), field);
        h->start();
        h->files.answerNext(answer);
        h->click(Id::BrowseFile);
        QCOMPARE(h->files.requests,
            QList<ScriptedFileChooser::Request>({ { QStringLiteral("Select Output"),
                QStringLiteral("MP3 file (*.mp3)"), folder, QStringLiteral("cut1.mp3") } }));
        QCOMPARE(h->text(Id::OutputFile), result);
        QCOMPARE(DialogHarness::stored(QStringLiteral("output_cut_file")).toString(), result);
    }

    void browseFile_cancelOrAPatternChangesNothing()
    {
        h->start();
        h->setText(Id::OutputFile, QStringLiteral("/typed.mp3"));
        h->click(Id::BrowseFile);
        h->files.answerNext(QStringLiteral("/d/Music/*.*"));
        h->click(Id::BrowseFile);
        h->files.answerNext(QStringLiteral("/d/Music/song?.mp3"));
        h->click(Id::BrowseFile);
        QCOMPARE(h->files.requests.size(), 3);
        QCOMPARE(h->text(Id::OutputFile), QStringLiteral("/typed.mp3"));
        QVERIFY(!DialogHarness::stored(QStringLiteral("output_cut_file")).isValid());
    }

    void browseFolder_endsInSeparatorAndIsStoredEvenOnCancel()
    {
        h->start();
        h->files.answerNext(QStringLiteral("/d/Out"));
        h->click(Id::BrowseFolder);
        QCOMPARE(h->files.requests.constFirst().title, QStringLiteral("Choose a folder"));
        QCOMPARE(h->files.requests.constFirst().folder, h->path(QStringLiteral("Music/")));
        QCOMPARE(h->text(Id::OutputFolder), QStringLiteral("/d/Out/"));
        QCOMPARE(DialogHarness::stored(QStringLiteral("output_folder")).toString(),
            QStringLiteral("/d/Out/"));

        DialogHarness::clearSettings();
        h->setText(Id::OutputFolder, QStringLiteral("/typed/"));
        h->click(Id::BrowseFolder);
        h->click(Id::BrowseFolder);
        QCOMPARE(h->text(Id::OutputFolder), QStringLiteral("/d/Out/"));
        QCOMPARE(DialogHarness::stored(QStringLiteral("output_folder")).toString(),
            QStringLiteral("/d/Out/"));

        h->files.answerNext(QStringLiteral("/"));
        h->click(Id::BrowseFolder);
        QCOMPARE(h->text(Id::OutputFolder), QStringLiteral("/"));
    }

    void helpAndHomepage_openTheirPages()
    {
        h->start();
        h->click(Id::Help);
        h->click(Id::Homepage);
        // The test has no help/ beside it, so the pages are looked for under its prefix.
        const QUrl introduction
            = QUrl::fromLocalFile(QDir::cleanPath(QCoreApplication::applicationDirPath()
                + QStringLiteral("/../share/parvex/help/Introduction.htm")));
        // Without a product page of its own, the build's Homepage is the introduction.
        const QString homepage = QStringLiteral(PARVEX_HOMEPAGE);
        QCOMPARE(h->desktop.opened,
            QList<QUrl>({ introduction, homepage.isEmpty() ? introduction : QUrl(homepage) }));
        QVERIFY(h->prompter.shown.isEmpty());

        // Where nothing can open pages, the window says which page and what to install.
        h->desktop.opens = false;
        h->click(Id::Help);
        QCOMPARE(h->prompter.shown.size(), 1);
        QCOMPARE(h->prompter.shown[0].kind, ScriptedPrompter::Kind::Framework);
        QVERIFY(h->prompter.shown[0].text.contains(introduction.toLocalFile()));
        QVERIFY(h->prompter.shown[0].text.contains(QStringLiteral("Install xdg-utils")));
    }

    void windowMenu_endsWithAboutWhichRunsTheAboutBox()
    {
        CSplitDialog& dialog = h->start();
        const std::unique_ptr<QMenu> menu(dialog.createWindowMenu());
        const QList<QAction*> actions = menu->actions();
        QCOMPARE(actions.size(), 4);
        QCOMPARE(actions.at(0)->text(), QStringLiteral("Minimize"));
        QCOMPARE(actions.at(1)->text(), QStringLiteral("Close"));
        QVERIFY(actions.at(2)->isSeparator());
        QCOMPARE(actions.at(3)->text(), QStringLiteral("&About Parvex"));

        dialog.show();
        QString aboutTitle;
        QTimer::singleShot(0, [&aboutTitle] {
            if (QWidget* about = QApplication::activeModalWidget()) {
                aboutTitle = about->windowTitle();
                about->close();
            }
        });
        actions.at(3)->trigger();
        QCOMPARE(aboutTitle, QStringLiteral("About Parvex"));
        QVERIFY(dialog.isVisible());
    }

    void positionDisplay_readsZeroOnceShown()
    {
        CSplitDialog& dialog = h->start();
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QTRY_COMPARE(h->text(Id::PositionDisplay), QStringLiteral("00:00:00"));
    }
};

PARVEX_DIALOG_TEST_MAIN(SplitDialogWindowTest)

} // namespace parvex

#include "tst_splitdialogwindow.moc"
