// SPDX-License-Identifier: GPL-3.0-or-later
// Parvex: cuts MP3 files into pieces without re-encoding them.
#include "csplitapp.h"

#include <QApplication>
#include <QCoreApplication>

#include <gst/gst.h>

using namespace parvex;

int main(int argc, char* argv[])
{
    // --help and --version are text: answered without a display, before any window system loads.
    if (CSplitApp::asksForTextOnly(argc, argv)) {
        QCoreApplication application(argc, argv);
        CSplitApp::processArguments(application); // prints and exits
        return 0;
    }
    gst_init(&argc, &argv);
    QApplication application(argc, argv);
    CSplitApp::setIdentity();
    const QString source = CSplitApp::processArguments(application);

    CSplitApp splitApp;
    return splitApp.run(source);
}
