// SPDX-License-Identifier: GPL-3.0-or-later
// The window's displays as a screen reader reads them: over AT-SPI, from another process.
#include "controlids.h"
#include "dialogtestcase.h"
#include "updowncontrol.h"

#include <QDeadlineTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QProcess>

namespace parvex {

namespace Id = ControlId;

namespace {
constexpr int ReaderMs = 20000;
} // namespace

class SplitDialogScreenReaderTest : public DialogTestCase
{
    Q_OBJECT

    // What read-as-screen-reader.py finds in the middle of each control: one JSON object per id,
    // or null where it found nothing.
    QJsonArray readAt(const QList<int>& ids)
    {
        QStringList arguments { QStringLiteral(PARVEX_SCREEN_READER_SCRIPT),
            QString::number(QCoreApplication::applicationPid()) };
        for (const int id : ids) {
            const QWidget* control = h->control(id);
            const QPoint middle = control->mapToGlobal(control->rect().center());
            arguments.append(QStringLiteral("%1,%2").arg(middle.x()).arg(middle.y()));
        }
        QProcess reader;
        reader.start(qEnvironmentVariable("PARVEX_ATSPI_PYTHON"), arguments);
        // This process answers the reader's questions meanwhile, so its events must run.
        const QDeadlineTimer deadline(ReaderMs);
        while (reader.state() != QProcess::NotRunning && !deadline.hasExpired())
            QTest::qWait(20);
        if (reader.state() != QProcess::NotRunning || reader.exitCode() != 0)
            qWarning("reader failed: %s", reader.readAllStandardError().constData());
        return QJsonDocument::fromJson(reader.readAllStandardOutput()).array();
    }

    // Each display is found where it is painted, named by what it is and read as what it shows.
    void expectReadAsShown(const QList<int>& displays)
    {
        const QJsonArray read = readAt(displays);
        QCOMPARE(read.size(), displays.size());
        for (qsizetype i = 0; i < displays.size(); ++i) {
            const auto* display = h->control<QLabel>(displays[i]);
            const QJsonObject found = read[i].toObject();
            QVERIFY(!display->text().isEmpty());
            QCOMPARE(found[QStringLiteral("name")].toString(), display->accessibleName());
            QCOMPARE(found[QStringLiteral("spoken")].toString(), display->text());
            QCOMPARE(found[QStringLiteral("reviewed")].toString(), display->text());
        }
    }

private Q_SLOTS:
    void initTestCase()
    {
        if (QGuiApplication::platformName() != QStringLiteral("xcb")
            || !qEnvironmentVariableIsSet("PARVEX_ATSPI_PYTHON"))
            QSKIP("needs an X display and an accessibility bus: run it through "
                  "run-on-x-display.sh and run-on-accessibility-bus.sh");
    }

    void displays_areReadAsTheyShow()
    {
        CSplitDialog& dialog = h->start();
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        // Longer than the title line: painted shortened, read whole.
        const QString source = h->path(QStringLiteral("%1.mp3").arg(QString(120, u'n')));
        MakePatternFile(source.toStdString(), 1024 * 1024);
        h->openSource(source, 65);
        expectReadAsShown({ Id::SourceTitle, Id::PositionDisplay });

        h->click(Id::BySize);
        h->control<UpDownControl>(Id::SplitCountSpin)->step(1);
        expectReadAsShown({ Id::SourceTitle, Id::EachSize });
    }
};

PARVEX_DIALOG_TEST_MAIN(SplitDialogScreenReaderTest)

} // namespace parvex

#include "tst_splitdialogscreenreader.moc"
