// SPDX-License-Identifier: GPL-3.0-or-later
// Field/control exchange with the number rules of the window's edit boxes.
#include "dataexchange.h"

#include "leadinginteger.h"
#include "prompter.h"

#include <QLabel>
#include <QLineEdit>

namespace parvex {

namespace {
// A number box is read from this many characters at most; the rest is ignored.
constexpr qsizetype NumberTextLimit = 63;
} // namespace

DataExchange::DataExchange(bool saveAndValidate, Prompter& prompter)
    : m_saveAndValidate(saveAndValidate)
    , m_prompter(prompter)
{ }

void DataExchange::text(QLabel* label, QString& field)
{
    if (m_failed)
        return;
    if (m_saveAndValidate)
        field = label->text();
    else
        label->setText(field);
}

void DataExchange::text(QLineEdit* box, QString& field)
{
    if (m_failed)
        return;
    if (m_saveAndValidate)
        field = box->text();
    else
        box->setText(field);
}

void DataExchange::integer(QLineEdit* box, std::int32_t& field)
{
    if (m_failed)
        return;
    if (!m_saveAndValidate) {
        box->setText(QString::number(field));
        return;
    }
    const auto value = ParseLeadingInteger(box->text().left(NumberTextLimit).toStdString());
    if (value) {
        field = *value;
        return;
    }
    m_failed = true;
    m_prompter.frameworkMessage(QStringLiteral("Please enter an integer."));
    box->setFocus(Qt::OtherFocusReason);
    box->selectAll();
}

} // namespace parvex
