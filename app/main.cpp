// Parvex: cuts MP3 files into pieces without re-encoding them.
#include "csplitapp.h"

#include <QApplication>
#include <QCommandLineParser>

#include <gst/gst.h>

int main(int argc, char* argv[])
{
    gst_init(&argc, &argv);
    QApplication application(argc, argv);
    CSplitApp::setIdentity();

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Cuts MP3 files without re-encoding them."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("An MP3 file to open."));
    parser.process(application);

    CSplitApp splitApp;
    return splitApp.run(CSplitApp::sourceArgument(parser.positionalArguments()));
}
