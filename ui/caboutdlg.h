// SPDX-License-Identifier: GPL-3.0-or-later
// The about box: the application icon, the version line and OK.
#pragma once

#include <QDialog>

namespace parvex {

class CAboutDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CAboutDlg(QWidget* parent = nullptr);
};

} // namespace parvex
