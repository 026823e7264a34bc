// SPDX-License-Identifier: GPL-3.0-or-later
// Moves values between a dialog's fields and its controls, one field at a time, in call order.
#pragma once

#include <QString>

#include <cstdint>

class QLabel;
class QLineEdit;

namespace parvex {

class Prompter;

// Toward the controls every call writes; toward the fields the first number box without a
// number is reported, gets the focus with its text selected, and every later call is skipped,
// so the fields after it keep their values.
class DataExchange
{
public:
    DataExchange(bool saveAndValidate, Prompter& prompter);

    void text(QLabel* label, QString& field);
    void text(QLineEdit* box, QString& field);
    // Written as "%d"; read as the leading integer of the first 63 characters.
    void integer(QLineEdit* box, std::int32_t& field);

    bool ok() const { return !m_failed; }

private:
    bool m_saveAndValidate = false;
    bool m_failed = false;
    Prompter& m_prompter;
};

} // namespace parvex
