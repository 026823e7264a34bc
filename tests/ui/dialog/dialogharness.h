// SPDX-License-Identifier: GPL-3.0-or-later
// The main window with scripted services and the real settings store, as the tests drive it.
#pragma once

#include "cpreviewplayer.h"
#include "csplitapp.h"
#include "csplitdialog.h"
#include "fakedesktopservices.h"
#include "fakemediagraph.h"
#include "mp3fixture.h"
#include "previewwindow.h"
#include "qsettingsstore.h"
#include "scriptedfilechooser.h"
#include "scriptedprompter.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QTest>

#include <gst/gst.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace parvex {

// A cut the window asked for, as the harness's runner received it.
struct RecordedCut
{
    CutRequest request;
    // What request.measureSeconds answered when the runner was called.
    std::optional<std::int64_t> measured;
};

class DialogHarness : public QObject
{
public:
    DialogHarness();

    ScriptedPrompter prompter;
    ScriptedFileChooser files;
    FakeDesktopServices desktop;
    QSettingsStore settings;
    // What the duration probe answers for any path; nullopt = the file cannot be measured.
    std::optional<std::int64_t> duration = 100;
    // What the preview players' graphs answer, and what was asked of them.
    std::shared_ptr<FakeMediaGraph::Script> graph = std::make_shared<FakeMediaGraph::Script>();
    // Replaces the fake graph for the players made from now on (e.g. a real one).
    CPreviewPlayer::GraphFactory createGraph = FakeMediaGraph::factory(graph);
    // Real preview windows by default; null: players without one.
    PreviewWindowFactory createPreviewWindow = PreviewWindow::factory();
    bool sliderHeld = false; // the application's flag
    // The Start buttons' requests, in order. Unless realCuts is set they are only recorded and
    // answered with cutResult: what the engines check, say and write is tested under tests/split,
    // tests/exact and tests/cli.
    std::vector<RecordedCut> cuts;
    SplitResult cutResult { SplitStatus::Done, {}, 0 };
    bool realCuts = false; // run them with RunCut, as the program does
    // Find Silences…: each setting is tried (its count kept in silenceCounts), then the last is
    // the answer, or Cancel when silenceCancels.
    std::vector<SilenceSettings> silenceTries;
    bool silenceCancels = false;
    std::vector<int> silenceCounts;
    std::optional<ChunkLengths> chunkAnswer; // Chunks…; nullopt: Cancel
    TempDir temp;

    // Constructs the dialog, which runs its start-up.
    CSplitDialog& start();
    // The same with the application font at `points`, restored once the dialog is built.
    CSplitDialog& startAtPointSize(int points);
    CSplitDialog& dialog() { return *m_dialog; }

    template<class T = QWidget>
    T* control(int id) const
    {
        return qobject_cast<T*>(m_dialog->control(id));
    }
    QLineEdit* edit(int id) const { return control<QLineEdit>(id); }
    // The text of an edit box or a label.
    QString text(int id) const;
    void setText(int id, const QString& text) const { edit(id)->setText(text); }
    void click(int id) const;

    // A path in this test's temporary folder.
    QString path(const QString& name) const;
    // Opens `file` through "Open MP3" with the probe answering `seconds`.
    void openSource(const QString& file, std::int64_t seconds);
    // Makes `name` in the temporary folder (`bytes` pattern bytes) and opens it as a source of
    // `seconds`; the range output is cut.mp3 and the split folder out/, both in that folder.
    QString openPatternSource(
        const QString& name, std::int64_t seconds, std::int64_t bytes = 1'000'000);
    // The only cut recorded so far; the test fails when there is not exactly one.
    const RecordedCut& onlyCut() const;
    // Polls the current player now, as its one-second timer does, and lets the dialog handle
    // the position event. False without a player or when the poll posted nothing.
    bool poll();
    // The position events the dialog has received so far.
    int positionEvents() const { return m_positionEvents; }

    // The value stored under Option/<name>, invalid when there is none.
    static QVariant stored(const QString& name);
    static void store(const QString& name, const QString& value);
    // Forgets every setting; the store is shared by the whole test process.
    static void clearSettings();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    SplitResult runCut(const CutRequest& request, SplitHost& host);

    std::unique_ptr<CSplitDialog> m_dialog;
    int m_positionEvents = 0;
};

} // namespace parvex

// main() for a dialog test, written inside namespace parvex (it leaves the namespace for main):
// settings in a temporary XDG_CONFIG_HOME, kept marks and level summaries in its data/ and
// cache/ (XDG_DATA_HOME, XDG_CACHE_HOME), set before anything reads them, the program's identity
// (organization "Brennick", display name "Parvex"), offscreen unless told otherwise, GStreamer
// ready for the tests that use real graphs.
#define PARVEX_DIALOG_TEST_MAIN(TestObject)                                                        \
    } /* namespace parvex */                                                                       \
    int main(int argc, char* argv[])                                                               \
    {                                                                                              \
        const parvex::TempDir configHome;                                                          \
        qputenv("XDG_CONFIG_HOME",                                                                 \
            QFile::encodeName(QString::fromStdString(configHome.path().string())));                \
        qputenv("XDG_DATA_HOME",                                                                   \
            QFile::encodeName(QString::fromStdString((configHome / "data").string())));            \
        qputenv("XDG_CACHE_HOME",                                                                  \
            QFile::encodeName(QString::fromStdString((configHome / "cache").string())));           \
        if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))                                         \
            qputenv("QT_QPA_PLATFORM", "offscreen");                                               \
        gst_init(nullptr, nullptr);                                                                \
        QApplication application(argc, argv);                                                      \
        parvex::CSplitApp::setIdentity();                                                          \
        parvex::TestObject test;                                                                   \
        return QTest::qExec(&test, argc, argv);                                                    \
    }                                                                                              \
    namespace parvex {
