// SPDX-License-Identifier: GPL-3.0-or-later
// Recording and scripted answers of the test prompter.
#include "scriptedprompter.h"

namespace parvex {

QStringList ScriptedPrompter::texts() const
{
    QStringList result;
    for (const Shown& item : shown)
        result.append(item.text);
    return result;
}

bool ScriptedPrompter::askYesNo(const QString& caption, const QString& text)
{
    shown.append({ Kind::Question, caption, text });
    return !m_answers.isEmpty() && m_answers.dequeue();
}

} // namespace parvex
