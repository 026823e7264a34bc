// SPDX-License-Identifier: GPL-3.0-or-later
// A FileChooser for tests: records each request and answers from a queue (nullopt = cancel).
#pragma once

#include "filechooser.h"

#include <QList>
#include <QQueue>
#include <QString>

namespace parvex {

class ScriptedFileChooser : public FileChooser
{
public:
    struct Request
    {
        QString title;
        QString filter; // empty for the folder chooser
        QString folder; // the suggested path, the save dialog's folder, the folder's start
        QString name; // the save dialog's name box; empty otherwise
        friend bool operator==(const Request&, const Request&) = default;
    };

    // The next dialog's result; with none queued a dialog is cancelled.
    void answerNext(std::optional<QString> answer) { m_answers.enqueue(std::move(answer)); }

    QList<Request> requests;

    std::optional<QString> openFile(
        const QString& title, const QString& filter, const QString& suggested) override
    {
        requests.append({ title, filter, suggested, {} });
        return next();
    }
    std::optional<QString> saveFile(const QString& title, const QString& filter,
        const QString& folder, const QString& name) override
    {
        requests.append({ title, filter, folder, name });
        return next();
    }
    std::optional<QString> chooseFolder(const QString& title, const QString& start) override
    {
        requests.append({ title, {}, start, {} });
        return next();
    }

private:
    std::optional<QString> next()
    {
        return m_answers.isEmpty() ? std::nullopt : m_answers.dequeue();
    }

    QQueue<std::optional<QString>> m_answers;
};

} // namespace parvex
