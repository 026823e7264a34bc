// SPDX-License-Identifier: GPL-3.0-or-later
// Builds a cut request from the window's state and runs it with the window's split host.
#include "cutstarter.h"

#include "dialogsplithost.h"
#include "leadinginteger.h"
#include "localpath.h"

#include <QCheckBox>
#include <QLineEdit>

#include <optional>
#include <utility>

namespace parvex {

namespace {
// The seconds box is read from this many characters at most.
constexpr qsizetype SecondsTextLimit = 31;
} // namespace

CutStarter::CutStarter(const DialogServices& services, QWidget& window, const QCheckBox& exactBox,
    const QLineEdit& outputFolderBox)
    : m_services(services)
    , m_window(window)
    , m_exactBox(exactBox)
    , m_outputFolderBox(outputFolderBox)
{ }

SplitResult CutStarter::run(const Source& source, CutShape shape) const
{
    CutRequest request;
    request.sourcePath = toLocalPath(source.path);
    request.sourceOpen = source.open;
    request.exact = m_exactBox.isChecked();
    request.shape = std::move(shape);
    request.outputFolder = toLocalPath(m_outputFolderBox.text());
    request.measureSeconds = [total = source.totalSeconds] {
        return std::optional<std::int64_t>(total);
    };
    DialogSplitHost host(m_services.prompter, &m_window);
    return m_services.runCut(request, host);
}

CutEvery CutStarter::every(const QString& secondsBoxText)
{
    const std::string text = secondsBoxText.left(SecondsTextLimit).toStdString();
    return { text, TimeMark::fromSeconds(ParseLeadingInteger(text).value_or(0)) };
}

} // namespace parvex
