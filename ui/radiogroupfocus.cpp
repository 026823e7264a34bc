// SPDX-License-Identifier: GPL-3.0-or-later
// Keeps the checked radio of a group as its one Tab stop.
#include "radiogroupfocus.h"

#include <QRadioButton>

namespace parvex {

namespace {
void updateTabStop(const QList<QRadioButton*>& radios)
{
    for (QRadioButton* radio : radios)
        radio->setFocusPolicy(radio->isChecked() ? Qt::StrongFocus : Qt::ClickFocus);
}
} // namespace

void MakeRadioGroupOneTabStop(const QList<QRadioButton*>& radios, QWidget* before)
{
    QWidget* previous = before;
    for (QRadioButton* radio : radios) {
        QWidget::setTabOrder(previous, radio);
        previous = radio;
        QObject::connect(
            radio, &QAbstractButton::toggled, radio, [radios] { updateTabStop(radios); });
    }
    updateTabStop(radios);
}

} // namespace parvex
