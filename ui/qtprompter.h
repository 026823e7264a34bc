// SPDX-License-Identifier: GPL-3.0-or-later
// The window's message boxes as QMessageBox.
#pragma once

#include "prompter.h"

#include <QPointer>
#include <QWidget>

namespace parvex {

class QtPrompter : public Prompter
{
public:
    // `owner` (may be null, or set later) owns the error and framework boxes.
    explicit QtPrompter(QWidget* owner = nullptr);
    void setOwner(QWidget* owner) { m_owner = owner; }

    void error(const QString& text) override;
    void frameworkMessage(const QString& text) override;
    void message(const QString& caption, const QString& text) override;
    bool askYesNo(const QString& caption, const QString& text) override;

private:
    QPointer<QWidget> m_owner;
};

} // namespace parvex
