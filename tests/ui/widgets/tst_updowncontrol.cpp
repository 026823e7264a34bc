// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the up-down control stepping its buddy's integer.
#include "updowncontrol.h"

#include <QLineEdit>
#include <QLocale>
#include <QSignalSpy>
#include <QTest>

#include <memory>

using namespace parvex;

class TestUpDownControl : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_window = std::make_unique<QWidget>();
        m_buddy = new QLineEdit(m_window.get());
        m_upDown = new UpDownControl(m_window.get());
        m_upDown->setGeometry(100, 0, 16, 24);
        m_upDown->setBuddy(m_buddy);
        m_upDown->setRange(1, 10000);
    }

    void step_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("delta");
        QTest::addColumn<int>("position"); // announced by deltaPos
        QTest::addColumn<QString>("after");
        QTest::newRow("up") << "5" << 1 << 5 << "6";
        QTest::newRow("down") << "5" << -1 << 5 << "4";
        QTest::newRow("at maximum") << "10000" << 1 << 10000 << "10000";
        QTest::newRow("at minimum") << "1" << -1 << 1 << "1";
        QTest::newRow("above range") << "20000" << -1 << 10000 << "9999";
        QTest::newRow("below range") << "0" << 1 << 1 << "2";
        QTest::newRow("trailing letters") << "12abc" << 1 << 12 << "13";
        QTest::newRow("leading blanks") << "  7" << -1 << 7 << "6";
        QTest::newRow("thousands separator") << "1,500" << 1 << 1 << "2";
        QTest::newRow("no number") << "abc" << 1 << 1 << "2";
        QTest::newRow("empty") << "" << 1 << 1 << "2";
        QTest::newRow("overflow") << "99999999999" << 1 << 10000 << "10000";
        QTest::newRow("into thousands") << "999" << 1 << 999 << "1000";
    }

    void step()
    {
        QFETCH(QString, text);
        QFETCH(int, delta);
        QFETCH(int, position);
        QFETCH(QString, after);
        m_buddy->setText(text);
        QCOMPARE(m_upDown->position(), position);
        QString textAtSignal;
        connect(m_upDown, &UpDownControl::deltaPos, this,
            [&](int, int) { textAtSignal = m_buddy->text(); });
        QSignalSpy spy(m_upDown, &UpDownControl::deltaPos);
        m_upDown->step(delta);
        QCOMPARE(spy.size(), 1);
        QCOMPARE(spy[0][0].toInt(), position);
        QCOMPARE(spy[0][1].toInt(), delta);
        QCOMPARE(textAtSignal, text); // announced before the buddy changes
        QCOMPARE(m_buddy->text(), after);
    }

    void step_neverWritesThousandsSeparators()
    {
        const QLocale saved;
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        m_buddy->setText(QStringLiteral("9999"));
        m_upDown->step(1);
        QLocale::setDefault(saved);
        QCOMPARE(m_buddy->text(), QStringLiteral("10000"));
    }

    void arrowKeysInTheBuddyStep()
    {
        m_buddy->setText(QStringLiteral("60"));
        QSignalSpy spy(m_upDown, &UpDownControl::deltaPos);
        QTest::keyClick(m_buddy, Qt::Key_Up);
        QCOMPARE(m_buddy->text(), QStringLiteral("61"));
        QTest::keyClick(m_buddy, Qt::Key_Down);
        QTest::keyClick(m_buddy, Qt::Key_Down);
        QCOMPARE(m_buddy->text(), QStringLiteral("59"));
        QCOMPARE(spy.size(), 3);
        QCOMPARE(spy[2], (QList<QVariant> { 60, -1 }));
        QTest::keyClick(m_buddy, Qt::Key_5); // other keys still type
        QCOMPARE(m_buddy->text(), QStringLiteral("595"));
    }

    void clickOnUpperHalfStepsUpLowerHalfDown()
    {
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        m_buddy->setText(QStringLiteral("3"));
        QTest::mouseClick(m_upDown, Qt::LeftButton, {}, QPoint(8, 4));
        QCOMPARE(m_buddy->text(), QStringLiteral("4"));
        QTest::mouseClick(m_upDown, Qt::LeftButton, {}, QPoint(8, 20));
        QTest::mouseClick(m_upDown, Qt::LeftButton, {}, QPoint(8, 20));
        QCOMPARE(m_buddy->text(), QStringLiteral("2"));
    }

    void step_withoutBuddyAnnouncesTheMinimum()
    {
        UpDownControl alone;
        alone.setRange(5, 9);
        QSignalSpy spy(&alone, &UpDownControl::deltaPos);
        alone.step(1);
        QCOMPARE(spy.size(), 1);
        QCOMPARE(spy[0], (QList<QVariant> { 5, 1 }));
    }

private:
    std::unique_ptr<QWidget> m_window;
    QLineEdit* m_buddy = nullptr;
    UpDownControl* m_upDown = nullptr;
};

QTEST_MAIN(TestUpDownControl)
#include "tst_updowncontrol.moc"
