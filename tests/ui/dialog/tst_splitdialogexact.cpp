// SPDX-License-Identifier: GPL-3.0-or-later
// The "Exact cut (gapless)" check box: its place on the keyboard, its setting, and the three
// Start buttons asking for the exact engine while it is checked.
#include "controlids.h"
#include "dialogtestcase.h"

#include <QAccessible>
#include <QCheckBox>

namespace parvex {

namespace Id = ControlId;

class SplitDialogExactTest : public DialogTestCase
{
    Q_OBJECT

    QCheckBox& exactBox() const { return the<QCheckBox>(Id::ExactCut); }

private Q_SLOTS:
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

    void everyStart_asksForTheEngineTheBoxShows_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("start");
        QTest::addColumn<bool>("exact");
        for (const bool exact : { true, false }) {
            const char* engine = exact ? "exact" : "proportional";
            QTest::addRow("range, %s", engine) << int(Id::ByFrame) << int(Id::StartRange) << exact;
            QTest::addRow("parts, %s", engine) << int(Id::BySize) << int(Id::StartBySize) << exact;
            QTest::addRow("every, %s", engine) << int(Id::ByTime) << int(Id::StartByTime) << exact;
        }
    }
    void everyStart_asksForTheEngineTheBoxShows()
    {
        QFETCH(int, mode);
        QFETCH(int, start);
        QFETCH(bool, exact);
        h->start();
        h->openPatternSource(QStringLiteral("song.mp3"), 6);
        exactBox().setChecked(exact);
        h->click(mode);
        h->click(start);
        QCOMPARE(h->onlyCut().request.exact, exact);
    }
};

PARVEX_DIALOG_TEST_MAIN(SplitDialogExactTest)

} // namespace parvex

#include "tst_splitdialogexact.moc"
