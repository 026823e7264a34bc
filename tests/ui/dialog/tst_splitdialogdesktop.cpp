// SPDX-License-Identifier: GPL-3.0-or-later
// The window on the desktop: files from the command line and from drops, the keyboard, screen
// readers, box captions and widths, display widths, the music folder and the help's place.
#include "controlids.h"
#include "dialogtestcase.h"
#include "dialogtexts.h"
#include "displayfit.h"
#include "elidinglabel.h"
#include "helppages.h"
#include "qtdesktopservices.h"
#include "qtprompter.h"
#include "resources.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QContextMenuEvent>
#include <QDir>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QTimer>

#include <functional>

namespace parvex {

namespace Id = ControlId;

namespace {
// Runs `action`; meanwhile, the first popup menu or modal box that opens is read and closed.
// Returns the menu's action texts, or the box's window title; empty when nothing opened.
// `inspect` sees the box before it closes.
QStringList whatOpens(
    const std::function<void()>& action, const std::function<void(QWidget&)>& inspect = {})
{
    QStringList seen;
    QTimer probe;
    QObject::connect(&probe, &QTimer::timeout, [&seen, &probe, &inspect] {
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            for (const QAction* item : menu->actions())
                seen.append(item->text());
            menu->close();
        } else if (QWidget* box = QApplication::activeModalWidget()) {
            seen.append(box->windowTitle());
            if (inspect)
                inspect(*box);
            box->close();
        } else {
            return;
        }
        probe.stop();
    });
    probe.start(20);
    action();
    QTest::qWait(100);
    return seen;
}

QAccessibleInterface& accessible(QWidget* widget)
{
    QAccessibleInterface* interface = QAccessible::queryAccessibleInterface(widget);
    if (!interface)
        qFatal("no accessible interface");
    return *interface;
}

// Does what a screen reader's "press" or "toggle" does to `widget`.
void doAccessibleAction(QWidget* widget, const QString& action)
{
    QAccessibleActionInterface* actions = accessible(widget).actionInterface();
    if (!actions)
        qFatal("no accessible actions");
    actions->doAction(action);
}
} // namespace

class SplitDialogDesktopTest : public DialogTestCase
{
    Q_OBJECT

    CSplitDialog& startShown()
    {
        CSplitDialog& dialog = h->start();
        dialog.show();
        dialog.activateWindow();
        [&] {
            QVERIFY(QTest::qWaitForWindowActive(&dialog));
        }();
        return dialog;
    }
    bool panelShown(int startButton) const { return !the(startButton).isHidden(); }

private Q_SLOTS:
    void fileAtStart_opensAsOpenMp3Would()
    {
        const QString file = h->path(QStringLiteral("song.mp3"));
        MakePatternFile(file.toStdString(), 4000);
        h->duration = 200;
        CSplitDialog& dialog = h->start();
        dialog.openSourceAtStart(file);
        QCOMPARE(h->text(Id::SourceTitle), QString()); // not before the event loop runs
        QTRY_COMPARE(h->text(Id::SourceTitle), QStringLiteral("song.mp3  (00:03:20)"));
        QVERIFY(dialog.currentPlayer());
        QVERIFY(h->files.requests.isEmpty());
        QVERIFY(h->prompter.shown.isEmpty());

        h->duration.reset();
        dialog.openSourceAtStart(h->path(QStringLiteral("other.mp3")));
        QTRY_COMPARE(h->prompter.texts(),
            QStringList { QStringLiteral("Can not open the mp3 total time!") });
        QCOMPARE(h->text(Id::SourceTitle), QStringLiteral("song.mp3  (00:03:20)"));
    }

    void fileArgument_isMadeAbsolute()
    {
        QCOMPARE(CSplitApp::sourceArgument({}), QString());
        QCOMPARE(CSplitApp::sourceArgument({ QStringLiteral("a.mp3") }),
            QDir::current().absoluteFilePath(QStringLiteral("a.mp3")));
        QCOMPARE(
            CSplitApp::sourceArgument({ QStringLiteral("/m/b.mp3") }), QStringLiteral("/m/b.mp3"));
    }

    void drop_opensTheFirstLocalFile()
    {
        const QString file = h->path(QStringLiteral("dropped.mp3"));
        MakePatternFile(file.toStdString(), 4000);
        h->duration = 61;
        CSplitDialog& dialog = h->start();
        QMimeData web;
        web.setUrls({ QUrl(QStringLiteral("https://example.org/a.mp3")) });
        QDragEnterEvent refused(QPoint(5, 5), Qt::CopyAction, &web, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&dialog, &refused);
        QVERIFY(!refused.isAccepted());

        QMimeData local;
        local.setUrls(
            { QUrl(QStringLiteral("https://example.org/a.mp3")), QUrl::fromLocalFile(file) });
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &local, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&dialog, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &local, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&dialog, &drop);
        QCOMPARE(h->text(Id::SourceTitle), QStringLiteral("dropped.mp3  (00:01:01)"));
        QVERIFY(dialog.currentPlayer());
    }

    void modeRadios_panelFollowsTheCheckedRadioHoweverChecked()
    {
        CSplitDialog& dialog = startShown();
        doAccessibleAction(&the(Id::BySize), QAccessibleActionInterface::pressAction());
        QTRY_VERIFY(panelShown(Id::StartBySize));
        doAccessibleAction(&the(Id::ByTime), QAccessibleActionInterface::toggleAction());
        QVERIFY(the<QRadioButton>(Id::ByTime).isChecked());
        QVERIFY(panelShown(Id::StartByTime) && !panelShown(Id::StartBySize));

        the(Id::ByTime).setFocus();
        QTest::keyClick(dialog.focusWidget(), Qt::Key_Left);
        QVERIFY(the<QRadioButton>(Id::BySize).isChecked());
        QVERIFY(panelShown(Id::StartBySize) && !panelShown(Id::StartByTime));

        QTest::mouseClick(&the(Id::ByFrame), Qt::LeftButton);
        QVERIFY(panelShown(Id::StartRange) && !panelShown(Id::StartBySize));
    }

    void tab_entersTheModeGroupAtItsCheckedRadioOnly()
    {
        CSplitDialog& dialog = startShown();
        h->click(Id::BySize);
        the(Id::OpenMp3).setFocus();
        QTest::keyClick(dialog.focusWidget(), Qt::Key_Tab);
        QCOMPARE(dialog.focusWidget(), h->control(Id::BySize));
        QTest::keyClick(dialog.focusWidget(), Qt::Key_Tab);
        QVERIFY(!qobject_cast<QRadioButton*>(dialog.focusWidget()));
    }

    void mnemonics_pressButtonsAndFocusTheBoxesOfLabels()
    {
        CSplitDialog& dialog = startShown();
        QCOMPARE(the<QPushButton>(Id::OpenMp3).text(), QStringLiteral("&Open MP3"));
        QTest::keyClick(&dialog, Qt::Key_U, Qt::AltModifier); // "O&utput File"
        QCOMPARE(dialog.focusWidget(), h->control(Id::OutputFile));
        QTest::keyClick(&dialog, Qt::Key_O, Qt::AltModifier);
        QTRY_COMPARE(h->files.requests.size(), 1);
        QTest::keyClick(&dialog, Qt::Key_Z, Qt::AltModifier); // "By si&ze"
        QTRY_VERIFY(panelShown(Id::StartBySize));
        QTest::keyClick(&dialog, Qt::Key_N, Qt::AltModifier); // "Split file &number"
        QCOMPARE(dialog.focusWidget(), h->control(Id::SplitCount));
    }

    void accessibleNames_everyBoxAndDisplayHasItsOwn()
    {
        h->start();
        QSet<QString> names;
        int named = 0;
        for (const ControlTemplate& item : Resources::mainDialog().controls) {
            const bool display = item.kind == ControlKind::Static && item.caption.empty();
            if (item.id < 0 || (item.kind != ControlKind::Edit && !display))
                continue;
            const QString name = accessible(&the(item.id)).text(QAccessible::Name);
            QVERIFY2(!name.isEmpty(), qPrintable(QString::number(item.id)));
            names.insert(name);
            ++named;
        }
        QCOMPARE(names.size(), named);
        QVERIFY(names.contains(QStringLiteral("Start Time hours")));
        QVERIFY(names.contains(QStringLiteral("End Time seconds")));
        QVERIFY(names.contains(QStringLiteral("Output File")));
        QVERIFY(names.contains(QStringLiteral("Split file number")));
        QVERIFY(
            names.contains(QStringLiteral("Source file"))); // its text: tst_splitdialogscreenreader
    }

    void windowMenu_opensFromTheKeyboardToo()
    {
        CSplitDialog& dialog = startShown();
        const QString about = QStringLiteral("&About Parvex");
        the(Id::Help).setFocus();
        QCOMPARE(
            whatOpens([&] { QTest::keyClick(&dialog, Qt::Key_F10, Qt::ShiftModifier); }).value(3),
            about);
        // The Menu key: what the window system delivers to the focused control.
        const QStringList fromMenuKey = whatOpens([&] {
            QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, QPoint(2, 2), QPoint(2, 2));
            QCoreApplication::sendEvent(&the(Id::Help), &menuKey);
        });
        QCOMPARE(fromMenuKey.value(3), about);
        // A right-click on a control is still the control's business.
        QVERIFY(whatOpens([&] {
            QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(2, 2), QPoint(2, 2));
            QCoreApplication::sendEvent(&the(Id::Help), &click);
        }).isEmpty());
    }

    // Title bars show " — Parvex" after a caption that does not end with the display name.
    void boxes_nameTheProgramOnceAndFitTheirWholeTitle_data()
    {
        QTest::addColumn<std::function<void(QtPrompter&)>>("show");
        QTest::addColumn<QString>("titleBar");
        const QString text = QStringLiteral("Splitting is done!");
        QTest::addRow("error") << std::function([=](QtPrompter& p) { p.error(text); })
                               << QStringLiteral("Error \u2014 Parvex");
        QTest::addRow("framework")
            << std::function([=](QtPrompter& p) { p.frameworkMessage(text); })
            << QStringLiteral("Parvex");
        QTest::addRow("message") << std::function([=](QtPrompter& p) {
            p.message(QStringLiteral("Message"), text);
        }) << QStringLiteral("Message \u2014 Parvex");
        QTest::addRow("player failure")
            << std::function([=](QtPrompter& p) { p.message(QStringLiteral("PARVEX"), text); })
            << QStringLiteral("Parvex");
        QTest::addRow("question") << std::function([=](QtPrompter& p) {
            p.askYesNo(QStringLiteral("Warning"), text);
        }) << QStringLiteral("Warning \u2014 Parvex");
    }
    void boxes_nameTheProgramOnceAndFitTheirWholeTitle()
    {
        QFETCH(std::function<void(QtPrompter&)>, show);
        QFETCH(QString, titleBar);
        QWidget owner;
        owner.show();
        QtPrompter prompter(&owner);
        int width = 0;
        const QStringList title
            = whatOpens([&] { show(prompter); }, [&](QWidget& box) { width = box.width(); });
        QCOMPARE(title, QStringList { titleBar.section(QStringLiteral(" \u2014 "), 0, 0) });
        // Room for the whole title in bold and four title-bar buttons a line high.
        QFont bold = QApplication::font("QMdiSubWindowTitleBar");
        bold.setBold(true);
        const QFontMetrics metrics(bold);
        QCOMPARE_GE(width, metrics.horizontalAdvance(titleBar) + 4 * metrics.height());
    }

    void applicationName_isTheExecutables()
    {
        // The settings file keeps the executable's name.
        QCOMPARE(QCoreApplication::applicationName(),
            QFileInfo(QCoreApplication::applicationFilePath()).fileName());
    }

    void displays_fitTheirLongestTexts_data()
    {
        QTest::addColumn<int>("points");
        for (int points = 9; points <= 14; ++points)
            QTest::addRow("%d pt", points) << points;
    }
    void displays_fitTheirLongestTexts()
    {
        QFETCH(int, points);
        CSplitDialog& dialog = h->startAtPointSize(points);

        const QFontMetrics metrics(dialog.font());
        const auto fits = [&](int id, const QString& text) {
            const QWidget& label = the(id);
            return label.width() >= metrics.horizontalAdvance(text)
                && label.geometry().right() < dialog.width() && !label.isHidden();
        };
        const QString longestTitle = SourceTitleText(QStringLiteral("song.mp3"), 999 * 3600 + 3599);
        QVERIFY(fits(Id::PositionDisplay, QString::fromLatin1(DisplayTexts::LongestPosition)));
        QVERIFY(fits(Id::SourceTitle, longestTitle));
        QVERIFY(the(Id::PositionSlider).geometry().right() < the(Id::PositionDisplay).x());
        h->click(Id::BySize);
        QVERIFY(fits(Id::EachSize, QString::fromLatin1(DisplayTexts::LongestEachSize)));

        // A name too long for the line is shortened in its middle; the duration stays.
        auto& title = the<ElidingLabel>(Id::SourceTitle);
        title.setText(SourceTitleText(QString(300, u'n') + QStringLiteral(".mp3"), 3600));
        QVERIFY(title.shownText().endsWith(QStringLiteral(".mp3  (01:00:00)")));
        QVERIFY(metrics.horizontalAdvance(title.shownText()) <= title.width());
    }

    void musicFolderThatIsNotThere_homeDefaultsWithoutABox()
    {
        const QByteArray home = qgetenv("HOME");
        qputenv("HOME", QFile::encodeName(h->path(QStringLiteral("home"))));
        QDir().mkpath(h->path(QStringLiteral("home")));
        const QtDesktopServices real;
        h->desktop.music = real.musicFolder();
        h->desktop.home = real.homeFolder();
        qputenv("HOME", home);

        h->start();
        QCOMPARE(h->text(Id::OutputFolder), h->path(QStringLiteral("home/")));
        QCOMPARE(h->text(Id::OutputFile), h->path(QStringLiteral("home/cut1.mp3")));
        QVERIFY(h->prompter.shown.isEmpty());
    }

    void help_besideTheProgramInABuildTree()
    {
        QDir().mkpath(h->path(QStringLiteral("bin/help")));
        QFile page(h->path(QStringLiteral("bin/help/Introduction.htm")));
        QVERIFY(page.open(QIODevice::WriteOnly));
        page.close();
        QCOMPARE(HelpPage(h->path(QStringLiteral("bin")), QStringLiteral("Output.htm")),
            QUrl::fromLocalFile(h->path(QStringLiteral("bin/help/Output.htm"))));
        QCOMPARE(HelpFolder(h->path(QStringLiteral("usr/bin"))),
            h->path(QStringLiteral("usr/share/parvex/help")));
    }
};

PARVEX_DIALOG_TEST_MAIN(SplitDialogDesktopTest)

} // namespace parvex

#include "tst_splitdialogdesktop.moc"
