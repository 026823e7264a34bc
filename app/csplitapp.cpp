// SPDX-License-Identifier: GPL-3.0-or-later
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
#include <QCommandLineParser>
#include <QFileInfo>

#include <cstring>

namespace parvex {

QString CSplitApp::applicationId()
{
    return QStringLiteral(PARVEX_APP_ID);
}

void CSplitApp::setIdentity()
{
    QCoreApplication::setOrganizationName(QStringLiteral("Brennick"));
    QGuiApplication::setApplicationDisplayName(QStringLiteral("Parvex"));
    QGuiApplication::setDesktopFileName(applicationId());
    QApplication::setWindowIcon(Resources::appIcon());
}

QString CSplitApp::sourceArgument(const QStringList& positionalArguments)
{
    if (positionalArguments.isEmpty())
        return {};
    return QFileInfo(positionalArguments.constFirst()).absoluteFilePath();
}

bool CSplitApp::asksForTextOnly(int argc, const char* const* argv)
{
    for (int i = 1; i < argc; ++i) {
        const char* argument = argv[i];
        if (std::strcmp(argument, "--") == 0)
            return false;
        for (const char* option : { "-h", "-?", "--help", "--help-all", "-v", "--version" }) {
            if (std::strcmp(argument, option) == 0)
                return true;
        }
    }
    return false;
}

QString CSplitApp::processArguments(const QCoreApplication& application)
{
    // The About box's form (major.minor), as parvex-cli --version prints it.
    QCoreApplication::setApplicationVersion(QStringLiteral(PARVEX_VERSION));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Cuts MP3 files without re-encoding them."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("An MP3 file to open."));
    parser.process(application);
    return sourceArgument(parser.positionalArguments());
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

} // namespace parvex
