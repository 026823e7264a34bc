// SPDX-License-Identifier: GPL-3.0-or-later
// The about box, built from template 100; OK, Esc and the close box end it.
#include "caboutdlg.h"

#include "controlids.h"
#include "resources.h"
#include "templatebuilder.h"

#include <QPushButton>

namespace parvex {

CAboutDlg::CAboutDlg(QWidget* parent)
    : QDialog(parent)
{
    const QHash<int, QWidget*> controls = TemplateBuilder::build(Resources::aboutDialog(), this);
    if (auto* ok = qobject_cast<QPushButton*>(controls.value(ControlId::AboutOk)))
        connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

} // namespace parvex
