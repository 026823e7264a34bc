// SPDX-License-Identifier: GPL-3.0-or-later
// The Chunks… box.
#include "chunkdialog.h"

#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>

namespace parvex {

namespace {
QDoubleSpinBox* minutesBox(QWidget* parent, double seconds)
{
    auto* box = new QDoubleSpinBox(parent);
    box->setRange(0.5, 24 * 60);
    box->setDecimals(1);
    box->setSuffix(QStringLiteral(" min"));
    box->setValue(seconds / 60);
    return box;
}
} // namespace

ChunkDialog::ChunkDialog(QWidget* owner, const ChunkLengths& start)
    : QDialog(owner)
    , m_desired(minutesBox(this, start.desiredSeconds))
    , m_maximum(minutesBox(this, start.maximumSeconds))
{
    setWindowTitle(QStringLiteral("Chunks"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("&Desired length:"), m_desired);
    form->addRow(QStringLiteral("&Longest length:"), m_maximum);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    // A piece may run past the desired length to reach a pause, never stop short of it.
    connect(m_desired, &QDoubleSpinBox::valueChanged, m_maximum, &QDoubleSpinBox::setMinimum);
    m_maximum->setMinimum(m_desired->value());
}

ChunkLengths ChunkDialog::lengths() const
{
    return { m_desired->value() * 60, m_maximum->value() * 60 };
}

std::optional<ChunkLengths> AskChunkLengths(QWidget* owner, const ChunkLengths& start)
{
    ChunkDialog dialog(owner, start);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.lengths();
}

} // namespace parvex
