// SPDX-License-Identifier: GPL-3.0-or-later
// The window's displays and the By marks controls as a screen reader reads them: over AT-SPI,
// from another process.
#include "controlids.h"
#include "dialogtestcase.h"
#include "marksmodel.h"
#include "updowncontrol.h"

#include <QDeadlineTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QListView>
#include <QProcess>

namespace parvex {

namespace Id = ControlId;

namespace {
constexpr int ReaderMs = 20000;
} // namespace

class SplitDialogScreenReaderTest : public DialogTestCase
{
    Q_OBJECT

    // What read-as-screen-reader.py prints with `arguments` after this process's id.
    QJsonArray read(const QStringList& arguments)
    {
        QProcess reader;
        reader.start(qEnvironmentVariable("PARVEX_ATSPI_PYTHON"),
            QStringList { QStringLiteral(PARVEX_SCREEN_READER_SCRIPT),
                QString::number(QCoreApplication::applicationPid()) }
                + arguments);
        // This process answers the reader's questions meanwhile, so its events must run.
        const QDeadlineTimer deadline(ReaderMs);
        while (reader.state() != QProcess::NotRunning && !deadline.hasExpired())
            QTest::qWait(20);
        if (reader.state() != QProcess::NotRunning || reader.exitCode() != 0)
            qWarning("reader failed: %s", reader.readAllStandardError().constData());
        return QJsonDocument::fromJson(reader.readAllStandardOutput()).array();
    }

    // What it finds at each point (global coordinates): one JSON object per point, or null where
    // it found nothing.
    QJsonArray readAtPoints(const QList<QPoint>& points)
    {
        QStringList arguments;
        for (const QPoint& point : points)
            arguments.append(QStringLiteral("%1,%2").arg(point.x()).arg(point.y()));
        return read(arguments);
    }

    // The same in the middle of each control.
    QJsonArray readAt(const QList<int>& ids)
    {
        QList<QPoint> points;
        for (const int id : ids) {
            const QWidget* control = h->control(id);
            points.append(control->mapToGlobal(control->rect().center()));
        }
        return readAtPoints(points);
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

    // By marks and the waveform: each control by its caption, a row of the list as it shows, and
    // the waveform's value as the playing position in seconds.
    void marksControls_areReadByTheirCaptions()
    {
        const QStringList shown {
            QStringLiteral("radio button:By marks"),
            QStringLiteral("list:Marks"),
            QStringLiteral("push button:Add Mark"),
            QStringLiteral("push button:Remove Mark"),
            QStringLiteral("push button:Find Silences\u2026"),
            QStringLiteral("push button:Chunks\u2026"),
            QStringLiteral("push button:Import CUE\u2026"),
            QStringLiteral("push button:Import Chapters"),
            QStringLiteral("push button:Export CUE\u2026"),
            QStringLiteral("push button:Save with Chapters\u2026"),
            QStringLiteral("slider:Waveform"),
        };
        CSplitDialog& dialog = h->start();
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        const QString source = h->path(QStringLiteral("song.mp3"));
        std::string error;
        QVERIFY2(MakeMp3(source.toStdString(), { .seconds = 10 }, &error), error.c_str());
        h->openSource(source, 10);
        h->click(Id::ByMarks);
        QTRY_VERIFY(the(Id::AddMark).isEnabled()); // once the file is measured
        auto& list = *h->control<QListView>(Id::MarksList);
        auto& marks = *qobject_cast<MarksModel*>(list.model());
        marks.addMark(154'042, QStringLiteral("Verse")); // 3.493 s at 44.1 kHz
        h->graph->position = 35'000'000; // 3.5 s, in 100-ns units
        QVERIFY(h->poll());

        QStringList found;
        for (const QJsonValue object : read({ QStringLiteral("--showing") })) {
            found.append(object[QStringLiteral("role")].toString() + u':'
                + object[QStringLiteral("name")].toString());
        }
        for (const QString& control : shown)
            QVERIFY2(found.contains(control),
                qPrintable(control + QStringLiteral(" not in ") + found.join(u'|')));

        // Where they are painted: the row as it shows, the waveform with its value.
        const QJsonArray there
            = readAtPoints({ list.viewport()->mapToGlobal(list.visualRect(marks.index(0)).center()),
                h->control(Id::Waveform)->mapToGlobal(h->control(Id::Waveform)->rect().center()) });
        QCOMPARE(there.size(), 2);
        QCOMPARE(there[0][QStringLiteral("name")].toString(), QStringLiteral("0:03.493, Verse"));
        QCOMPARE(there[1][QStringLiteral("name")].toString(), QStringLiteral("Waveform"));
        QCOMPARE(there[1][QStringLiteral("value")].toDouble(), 3.5);
        // The mode radios lie inside the Split mode frame, which is their sibling: the pointer
        // finds the radio.
        const QJsonArray modes = readAt({ Id::ByFrame, Id::ByMarks });
        QCOMPARE(modes.size(), 2);
        QCOMPARE(modes[0][QStringLiteral("name")].toString(), QStringLiteral("By frame"));
        QCOMPARE(modes[1][QStringLiteral("name")].toString(), QStringLiteral("By marks"));
    }
};

PARVEX_DIALOG_TEST_MAIN(SplitDialogScreenReaderTest)

} // namespace parvex

#include "tst_splitdialogscreenreader.moc"
