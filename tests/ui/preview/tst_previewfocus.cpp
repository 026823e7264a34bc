// SPDX-License-Identifier: GPL-3.0-or-later
// The preview window's full screen on a real X display with a window manager: which window is
// active is asked of the window system, and keys are typed through it (xdotool).
#include "dialogharness.h"

#include <QProcess>

namespace parvex {

namespace {
constexpr int WaitMs = 5000;

// Runs xdotool with `arguments` on this test's display; its output, trimmed.
QString xdotool(const QStringList& arguments)
{
    QProcess process;
    process.start(QStringLiteral("xdotool"), arguments);
    if (!process.waitForFinished(WaitMs) || process.exitCode() != 0)
        return QStringLiteral("xdotool failed: ") + QString::fromLocal8Bit(process.readAll());
    return QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
}

// The window the window manager holds active (_NET_ACTIVE_WINDOW), as a decimal id.
QString activeWindow()
{
    return xdotool({ QStringLiteral("getactivewindow") });
}

// QWidget::winId() may name a native window that a change of window flags replaced.
QString idOf(const QWidget& window)
{
    return QString::number(window.windowHandle()->winId());
}

// Counts the Escape keys released in one widget.
class EscapeCounter : public QObject
{
public:
    explicit EscapeCounter(QWidget* widget) { widget->installEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::KeyRelease
            && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape)
            ++count;
        return false;
    }
};
} // namespace

class PreviewFocusTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<DialogHarness> h;

private Q_SLOTS:
    void initTestCase()
    {
        if (QGuiApplication::platformName() != QStringLiteral("xcb"))
            QSKIP("needs an X display with a window manager: run it through "
                  "tests/ui/preview/run-on-x-display.sh (ctest does)");
    }
    void init()
    {
        DialogHarness::clearSettings();
        h = std::make_unique<DialogHarness>();
    }
    void cleanup() { h.reset(); }

    void escapeInFullScreen_leavesItWithThePreviewActiveAndTheDialogStays()
    {
        const QString source = h->path(QStringLiteral("clip.mp3"));
        MakePatternFile(source.toStdString(), 10'000);
        h->graph->hasVideo = true;
        h->graph->videoSize = { 320, 240 };
        CSplitDialog& dialog = h->start();
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        h->openSource(source, 60);
        CPreviewPlayer* player = dialog.currentPlayer();
        QVERIFY(player);
        PreviewWindow* preview = nullptr;
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* window = qobject_cast<PreviewWindow*>(widget))
                preview = window;
        }
        QVERIFY(preview);
        QVERIFY(QTest::qWaitForWindowExposed(preview));

        QVERIFY(player->SwitchFullScreen());
        QTRY_COMPARE_WITH_TIMEOUT(activeWindow(), idOf(*preview), WaitMs);
        EscapeCounter escapes(preview);

        QCOMPARE(xdotool({ QStringLiteral("key"), QStringLiteral("Escape") }), QString());
        QTRY_VERIFY_WITH_TIMEOUT(!player->m_bFullScreen, WaitMs);
        QTRY_COMPARE_WITH_TIMEOUT(activeWindow(), idOf(*preview), WaitMs);

        // The second Escape reaches the preview, where outside full screen it does nothing;
        // had it reached the dialog, the dialog would have ended.
        QCOMPARE(xdotool({ QStringLiteral("key"), QStringLiteral("Escape") }), QString());
        QTRY_COMPARE_WITH_TIMEOUT(escapes.count, 2, WaitMs);
        QCoreApplication::processEvents();
        QVERIFY(dialog.isVisible());
        QVERIFY(preview->isVisible());
        QVERIFY(!player->m_bFullScreen);
    }
};

PARVEX_DIALOG_TEST_MAIN(PreviewFocusTest)

} // namespace parvex

#include "tst_previewfocus.moc"
