// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the about box's content and the ways it ends.
#include "caboutdlg.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

using namespace parvex;

class TestAboutDlg : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void showsIconVersionAndOk()
    {
        CAboutDlg about;
        QCOMPARE(about.windowTitle(), QStringLiteral("About Parvex"));
        QCOMPARE(about.minimumSize(), about.maximumSize());
        QStringList texts;
        int icons = 0;
        for (const QLabel* label : about.findChildren<QLabel*>()) {
            texts.append(label->text());
            icons += label->pixmap().isNull() ? 0 : 1;
        }
        QVERIFY(texts.contains(QStringLiteral("Parvex Version 3.1")));
        QCOMPARE(icons, 1);
        auto* ok = about.findChild<QPushButton*>(QStringLiteral("1"));
        QVERIFY(ok);
        QCOMPARE(ok->text(), QStringLiteral("OK"));
    }

    void ends_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("result");
        QTest::newRow("OK") << "ok" << int(QDialog::Accepted);
        QTest::newRow("Enter") << "enter" << int(QDialog::Accepted);
        QTest::newRow("Esc") << "esc" << int(QDialog::Rejected);
        QTest::newRow("close box") << "close" << int(QDialog::Rejected);
    }

    void ends()
    {
        QFETCH(QString, how);
        QFETCH(int, result);
        CAboutDlg about;
        about.setResult(-1);
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        if (how == QLatin1String("ok"))
            QTest::mouseClick(about.findChild<QPushButton*>(QStringLiteral("1")), Qt::LeftButton);
        else if (how == QLatin1String("enter"))
            QTest::keyClick(&about, Qt::Key_Return);
        else if (how == QLatin1String("esc"))
            QTest::keyClick(&about, Qt::Key_Escape);
        else
            about.close();
        QVERIFY(!about.isVisible());
        QCOMPARE(about.result(), result);
    }
};

QTEST_MAIN(TestAboutDlg)
#include "tst_aboutdlg.moc"
