// Start-up: the real services, the main dialog, and the end of the program with it.
#include "csplitapp.h"

#include "csplitdialog.h"
#include "cutdispatcher.h"
#include "gstmediagraph.h"
#include "previewwindow.h"
#include "qsettingsstore.h"
#include "qtdesktopservices.h"
#include "qtfilechooser.h"
#include "qtprompter.h"
#include "resources.h"

#include <QApplication>
#include <QFileInfo>

QString CSplitApp::applicationId()
{
    return QStringLiteral(PARVEX_APP_ID);
}

void CSplitApp::setIdentity()
{
    QCoreApplication::setOrganizationName(QStringLiteral("Brennick"));
    QGuiApplication::setApplicationDisplayName(QStringLiteral("Parvex"));
    QGuiApplication::setDesktopFileName(applicationId());
    QCoreApplication::setApplicationVersion(QStringLiteral(PARVEX_VERSION));
    QApplication::setWindowIcon(Resources::appIcon());
}

QString CSplitApp::sourceArgument(const QStringList& positionalArguments)
{
    if (positionalArguments.isEmpty())
        return {};
    return QFileInfo(positionalArguments.constFirst()).absoluteFilePath();
}

int CSplitApp::run(const QString& source)
{
    QSettingsStore settings;
    QtPrompter prompter;
    QtFileChooser files;
    QtDesktopServices desktop;
    const DialogServices services { .prompter = prompter,
        .files = files,
        .settings = settings,
        .desktop = desktop,
        .probeDuration = ProbeDuration,
        .runCut = RunCut,
        .sliderHeld = &m_sliderHeld,
        .createGraph = GstMediaGraphFactory(),
        .createPreviewWindow = PreviewWindow::factory() };
    // Messages of the dialog's start-up come before it can own them; later ones are owned.
    CSplitDialog dialog(services);
    // Modal toward its (absent) parent only: exec() would otherwise block every other window,
    // the preview window with its close box, popup menu and Escape included.
    dialog.setWindowModality(Qt::WindowModal);
    prompter.setOwner(&dialog);
    files.setOwner(&dialog);
    if (!source.isEmpty())
        dialog.openSourceAtStart(source);
    dialog.exec(); // OK or Cancel: the program ends either way
    return 0;
}
