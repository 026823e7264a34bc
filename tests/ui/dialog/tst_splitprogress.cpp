// SPDX-License-Identifier: GPL-3.0-or-later
// The engines' host in the window: which box each message takes, the replace question, and in
// a long split the progress dialog, repaints meanwhile, and Cancel.
#include "dialogharness.h"
#include "dialogsplithost.h"
#include "splitoperations.h"

#include <QProgressDialog>
#include <QPushButton>
#include <QThread>

#include <filesystem>

namespace parvex {

namespace {
constexpr std::int64_t MiB = std::int64_t { 1 } << 20;

// The window's host, slowed down per block as a slow disk would; clicks Cancel once the
// progress dialog is up and the piece `cancelInPiece` (1-based) is being written.
class SlowHost : public DialogSplitHost
{
public:
    SlowHost(Prompter& prompter, QWidget& window, int cancelInPiece)
        : DialogSplitHost(prompter, &window)
        , m_window(window)
        , m_cancelInPiece(cancelInPiece)
    { }

    unsigned long blockMs = 60; // the slow disk's time per block
    int pieces = 0;
    QString label; // the dialog's text when Cancel was clicked
    int percent = -1;

    void pieceStarted(const std::string& path) override
    {
        ++pieces;
        DialogSplitHost::pieceStarted(path);
    }
    void progress(std::int64_t bytesDone, std::int64_t bytesTotal) override
    {
        QThread::msleep(blockMs);
        m_window.update();
        DialogSplitHost::progress(bytesDone, bytesTotal);
        auto* box = qobject_cast<QProgressDialog*>(QApplication::activeModalWidget());
        if (box && pieces >= m_cancelInPiece && label.isEmpty()) {
            label = box->labelText();
            percent = box->value();
            if (auto* cancel = box->findChild<QPushButton*>())
                cancel->click();
        }
    }

private:
    QWidget& m_window;
    int m_cancelInPiece;
};

// Counts the paint events a widget receives.
class PaintCounter : public QObject
{
public:
    int paints = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return QObject::eventFilter(watched, event);
    }
};
} // namespace

class SplitProgressTest : public QObject
{
    Q_OBJECT

    TempDir m_temp;
    std::string m_source;

    EqualPartsRequest request(int parts) const
    {
        return { .sourcePath = m_source,
            .sourceOpen = true,
            .partCount = parts,
            .outputFolder = (m_temp.path() / "out").string() };
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_source = (m_temp.path() / "long.mp3").string();
        MakePatternFile(m_source, 100 * MiB);
    }
    void init() { std::filesystem::create_directories(m_temp.path() / "out"); }
    void cleanup() { std::filesystem::remove_all(m_temp.path() / "out"); }

    void messages_takeTheirBoxes_andTheReplaceQuestionNamesTheFile()
    {
        QWidget window;
        ScriptedPrompter prompter;
        DialogSplitHost host(prompter, &window);
        host.showError("The End Time is bigger than the total time!");
        host.showFileError("Can not open the output mp3 file!");
        prompter.answerNext(true);
        QVERIFY(host.confirmReplace("/music/cut.mp3"));
        prompter.answerNext(false);
        QVERIFY(!host.confirmReplace("/music/cut.mp3"));
        host.showDone();

        using Kind = ScriptedPrompter::Kind;
        const ScriptedPrompter::Shown question { Kind::Question, QStringLiteral("Warning"),
            QStringLiteral("/music/cut.mp3 exists. Do you want to replace it?") };
        QCOMPARE(prompter.shown,
            QList<ScriptedPrompter::Shown>({
                { Kind::Error, {}, QStringLiteral("The End Time is bigger than the total time!") },
                { Kind::Framework, {}, QStringLiteral("Can not open the output mp3 file!") },
                question,
                question,
                { Kind::Message, QStringLiteral("Message"), QStringLiteral("Splitting is done!") },
            }));
    }

    void cancel_keepsFinishedPiecesRemovesThePartialOneAndSaysNothing()
    {
        QWidget window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        PaintCounter painted;
        window.installEventFilter(&painted);
        ScriptedPrompter prompter;
        SlowHost host(prompter, window, 2);

        const SplitResult result = SplitEqualParts(request(3), host);

        QCOMPARE(result.status, SplitStatus::Cancelled);
        QCOMPARE(host.label, QStringLiteral("Writing piece 2: long_1.mp3"));
        QVERIFY2(host.percent > 33 && host.percent < 67, qPrintable(QString::number(host.percent)));
        QVERIFY(painted.paints > 0);
        QVERIFY(prompter.shown.isEmpty()); // no "Splitting is done!"
        const auto out = m_temp.path() / "out";
        QCOMPARE(result.written, std::vector<std::string>({ (out / "long_0.mp3").string() }));
        QVERIFY(std::filesystem::file_size(out / "long_0.mp3") >= std::uintmax_t(33 * MiB));
        QVERIFY(!std::filesystem::exists(out / "long_1.mp3"));
        QVERIFY(!std::filesystem::exists(out / "long_2.mp3"));
        QVERIFY(!QApplication::activeModalWidget());
        QVERIFY(!QGuiApplication::overrideCursor());
    }

    void splitOfAtMost64MiB_showsNoDialog()
    {
        QWidget window;
        ScriptedPrompter prompter;
        SlowHost host(prompter, window, 1);
        host.blockMs = 100; // 8 blocks: long enough, but only 64 MiB in all
        const std::string source = (m_temp.path() / "short.mp3").string();
        MakePatternFile(source, 64 * MiB);
        EqualPartsRequest small = request(1);
        small.sourcePath = source;

        const SplitResult result = SplitEqualParts(small, host);

        QCOMPARE(result.status, SplitStatus::Done);
        QVERIFY(host.label.isEmpty());
        QCOMPARE(prompter.texts(), QStringList { QStringLiteral("Splitting is done!") });
    }
};

PARVEX_DIALOG_TEST_MAIN(SplitProgressTest)

} // namespace parvex

#include "tst_splitprogress.moc"
