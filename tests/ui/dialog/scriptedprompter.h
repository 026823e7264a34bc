// SPDX-License-Identifier: GPL-3.0-or-later
// A Prompter for tests: records every box it was asked to show, answers questions from a queue.
#pragma once

#include "prompter.h"

#include <QList>
#include <QQueue>
#include <QString>

namespace parvex {

class ScriptedPrompter : public Prompter
{
public:
    enum class Kind { Error, Framework, Message, Question };
    struct Shown
    {
        Kind kind;
        QString caption; // empty for Error and Framework, whose captions are fixed
        QString text;
        friend bool operator==(const Shown&, const Shown&) = default;
    };

    // The answer to the next question; an unexpected question is answered No.
    void answerNext(bool yes) { m_answers.enqueue(yes); }

    QList<Shown> shown;
    // The texts shown, of every kind, in order.
    QStringList texts() const;
    void clear() { shown.clear(); }

    void error(const QString& text) override { shown.append({ Kind::Error, {}, text }); }
    void frameworkMessage(const QString& text) override
    {
        shown.append({ Kind::Framework, {}, text });
    }
    void message(const QString& caption, const QString& text) override
    {
        shown.append({ Kind::Message, caption, text });
    }
    bool askYesNo(const QString& caption, const QString& text) override;

private:
    QQueue<bool> m_answers;
};

} // namespace parvex
