// SPDX-License-Identifier: GPL-3.0-or-later
// The Find Silences… box.
#include "silencedialog.h"

#include "marksasker.h"

#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>

namespace parvex {

SilenceDialog::SilenceDialog(QWidget* owner, const SilenceSettings& start,
    std::function<int(const SilenceSettings&)> preview)
    : QDialog(owner)
    , m_preview(std::move(preview))
    , m_start(start)
    , m_threshold(new QDoubleSpinBox(this))
    , m_shortest(new QDoubleSpinBox(this))
    , m_found(new QLabel(this))
    , m_buttons(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this))
{
    setWindowTitle(QStringLiteral("Find Silences"));
    // dBFS of the RMS over 10 ms: -90 is near digital silence, -10 would take speech for pause.
    m_threshold->setRange(-90, -10);
    m_threshold->setDecimals(0);
    m_threshold->setSuffix(QStringLiteral(" dB"));
    m_threshold->setValue(start.thresholdDb);
    m_shortest->setRange(0.1, 60);
    m_shortest->setDecimals(1);
    m_shortest->setSingleStep(0.1);
    m_shortest->setSuffix(QStringLiteral(" s"));
    m_shortest->setValue(start.minSeconds);
    m_found->setAccessibleName(QStringLiteral("Found"));

    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("&Threshold:"), m_threshold);
    form->addRow(QStringLiteral("&Shortest silence:"), m_shortest);
    form->addRow(m_found);
    form->addRow(m_buttons);
    connect(m_buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_threshold, &QDoubleSpinBox::valueChanged, this, &SilenceDialog::refresh);
    connect(m_shortest, &QDoubleSpinBox::valueChanged, this, &SilenceDialog::refresh);
    refresh();
}

SilenceSettings SilenceDialog::settings() const
{
    SilenceSettings settings = m_start;
    settings.thresholdDb = m_threshold->value();
    settings.minSeconds = m_shortest->value();
    return settings;
}

void SilenceDialog::refresh()
{
    const int found = m_preview(settings());
    m_found->setText(found == 0 ? QStringLiteral("No silence found: try a higher threshold.")
            : found == 1        ? QStringLiteral("1 silence found.")
                                : QStringLiteral("%1 silences found.").arg(found));
    m_buttons->button(QDialogButtonBox::Ok)->setEnabled(found > 0);
}

std::optional<SilenceSettings> AskSilenceSettings(QWidget* owner, const SilenceSettings& start,
    const std::function<int(const SilenceSettings&)>& preview)
{
    SilenceDialog dialog(owner, start, preview);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.settings();
}

} // namespace parvex
