// parvex-screenshots: renders the main window in each split mode to PNG files.
// Usage: parvex-screenshots <folder>  (writes by-frame.png, by-size.png, by-time.png)
#include "controlids.h"
#include "csplitdialog.h"
#include "fakedesktopservices.h"
#include "memorysettingsstore.h"
#include "mp3fixture.h"
#include "scriptedfilechooser.h"
#include "scriptedprompter.h"
#include "updowncontrol.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPixmap>

#include <cstdio>

namespace {
// Lets the window system map and paint the window before it is grabbed.
void settle()
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 300)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
}

void click(const CSplitDialog& dialog, int id)
{
    qobject_cast<QAbstractButton*>(dialog.control(id))->click();
}
} // namespace

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    const QStringList args = QApplication::arguments();
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: parvex-screenshots <folder>\n");
        return 2;
    }
    const QDir folder(args.at(1));
    QDir().mkpath(folder.path());

    ScriptedPrompter prompter;
    ScriptedFileChooser files;
    MemorySettingsStore settings;
    FakeDesktopServices desktop;
    desktop.music = QStringLiteral("/home/user/Music");
    const TempDir temp;
    const auto source = temp / "Summer Song.mp3";
    MakePatternFile(source, 4'321'000);
    const DialogServices services { prompter, files, settings, desktop, [](const std::string&) {
                                       return std::int64_t { 205 };
                                   } };

    CSplitDialog dialog(services);
    files.answerNext(QString::fromStdString(source.string()));
    click(dialog, ControlId::OpenMp3);
    qobject_cast<QLineEdit*>(dialog.control(ControlId::SplitCount))->setText(QStringLiteral("3"));
    qobject_cast<UpDownControl*>(dialog.control(ControlId::SplitCountSpin))->step(1);
    dialog.show();

    const struct
    {
        int radio;
        const char* file;
    } modes[] = { { ControlId::ByFrame, "by-frame.png" }, { ControlId::BySize, "by-size.png" },
        { ControlId::ByTime, "by-time.png" } };
    for (const auto& mode : modes) {
        click(dialog, mode.radio);
        settle();
        const QString path = folder.filePath(QString::fromLatin1(mode.file));
        if (!dialog.grab().save(path)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
