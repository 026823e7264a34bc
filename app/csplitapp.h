// SPDX-License-Identifier: GPL-3.0-or-later
// The application object: runs the main dialog with the real services, and holds app-wide state.
#pragma once

#include <QString>
#include <QStringList>

class QCoreApplication;

namespace parvex {

class CSplitApp
{
public:
    // The reverse-DNS id of the desktop entry, the AppStream data and the icons.
    static QString applicationId();

    // What the desktop knows the program by: organization "Brennick" (the settings' folder; the
    // application name stays the executable's, which names the settings file), display name
    // "Parvex" (the framework boxes' caption), desktop entry id, window icon. Needs the
    // QApplication.
    static void setIdentity();
    // The source named on the command line as an absolute path; empty when there is none.
    static QString sourceArgument(const QStringList& positionalArguments);
    // True when the arguments hold --help, --help-all or --version (or -h, -?, -v) before any
    // "--": the program then only prints text and needs no display.
    static bool asksForTextOnly(int argc, const char* const* argv);
    // Parses the command line: prints help, the version or a usage error and exits the program,
    // or returns the source argument (sourceArgument()). Works on a QCoreApplication too.
    static QString processArguments(const QCoreApplication& application);

    // Builds the services, runs the main dialog modally and returns when it ends; the program
    // then ends. A non-empty `source` is opened as the window comes up, as "Open MP3" would.
    // Needs setIdentity().
    int run(const QString& source = {});

    // True while the left mouse button holds the position slider.
    bool sliderHeld() const { return m_sliderHeld; }
    void setSliderHeld(bool held) { m_sliderHeld = held; }

private:
    bool m_sliderHeld = false;
};

} // namespace parvex
