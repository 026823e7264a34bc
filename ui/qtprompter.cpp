// QMessageBox with the captions, buttons and icons each kind of message calls for.
#include "qtprompter.h"

#include <QGuiApplication>
#include <QMessageBox>

namespace {
int run(QMessageBox::Icon icon, const QString& caption, const QString& text,
    QMessageBox::StandardButtons buttons, QWidget* owner)
{
    QMessageBox box(icon, caption, text, buttons, owner);
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
