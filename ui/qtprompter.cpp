// SPDX-License-Identifier: GPL-3.0-or-later
// QMessageBox with the captions, buttons and icons each kind of message calls for.
#include "qtprompter.h"

#include <QApplication>
#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>

namespace parvex {

namespace {
// The players' failures are captioned with the program's name in capitals ("PARVEX"). Shown as
// the display name, the title bar names the program once ("Parvex"), as on the framework boxes,
// instead of "PARVEX — Parvex".
QString shownCaption(const QString& caption)
{
    const QString name = QGuiApplication::applicationDisplayName();
    return caption.compare(name, Qt::CaseInsensitive) == 0 ? name : caption;
}

// What the title bar needs: Qt shows " — " and the display name after a caption that does not
// end with it (X11 and Wayland), window managers paint titles in bold, and the bar holds up to
// four buttons (menu, minimize, maximize, close), about two line heights each.
int titleBarWidth(const QString& caption)
{
    QFont font = QApplication::font("QMdiSubWindowTitleBar");
    font.setBold(true);
    const QFontMetrics metrics(font);
    const QString name = QGuiApplication::applicationDisplayName();
    const QString title
        = caption.endsWith(name) ? caption : caption + QStringLiteral(" \u2014 ") + name;
    return metrics.horizontalAdvance(title) + 8 * metrics.height();
}

int run(QMessageBox::Icon icon, const QString& caption, const QString& text,
    QMessageBox::StandardButtons buttons, QWidget* owner)
{
    QMessageBox box(icon, shownCaption(caption), text, buttons, owner);
    // QMessageBox fits its width to its text and to its caption alone: a short text ("Splitting
    // is done!") left the title bar too narrow for "Message — Parvex", shortened to "M...ex". It
    // takes its least width from its layout, so a spacer across the grid sets one.
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
        grid->addItem(new QSpacerItem(titleBarWidth(box.windowTitle()), 0), grid->rowCount(), 0, 1,
            grid->columnCount());
    }
    return box.exec();
}
} // namespace

QtPrompter::QtPrompter(QWidget* owner)
    : m_owner(owner)
{ }

void QtPrompter::error(const QString& text)
{
    run(QMessageBox::NoIcon, QStringLiteral("Error"), text, QMessageBox::Ok, m_owner);
}

void QtPrompter::frameworkMessage(const QString& text)
{
    // The display name ("Parvex"), not the application name, which is the executable's.
    run(QMessageBox::Warning, QGuiApplication::applicationDisplayName(), text, QMessageBox::Ok,
        m_owner);
}

void QtPrompter::message(const QString& caption, const QString& text)
{
    run(QMessageBox::NoIcon, caption, text, QMessageBox::Ok, nullptr);
}

bool QtPrompter::askYesNo(const QString& caption, const QString& text)
{
    return run(QMessageBox::Warning, caption, text, QMessageBox::Yes | QMessageBox::No, nullptr)
        == QMessageBox::Yes;
}

} // namespace parvex
