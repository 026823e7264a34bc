// Parvex: cuts MP3 files into pieces without re-encoding them.
#include "csplitapp.h"
#include "resources.h"

#include <QApplication>

#include <gst/gst.h>

int main(int argc, char* argv[])
{
    gst_init(&argc, &argv);
    QApplication application(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Brennick"));
    QApplication::setWindowIcon(Resources::appIcon());
    CSplitApp splitApp;
    return splitApp.run();
}
