// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's signal connections, by control id.
#include "dialogwiring.h"

#include "controlids.h"
#include "cpositionslider.h"
#include "csplitdialog.h"
#include "exactcutsetting.h"
#include "updowncontrol.h"

#include <QAbstractButton>
#include <QCheckBox>

namespace parvex {

namespace Id = ControlId;

void WireDialogControls(CSplitDialog& dialog, SettingsStore& settings)
{
    const auto button = [&dialog](int id) {
        return qobject_cast<QAbstractButton*>(dialog.control(id));
    };
    const auto onClick = [&](int id, void (CSplitDialog::*handler)()) {
        QObject::connect(button(id), &QAbstractButton::clicked, &dialog, handler);
    };
    onClick(Id::OpenMp3, &CSplitDialog::OnOpenMp3);
    onClick(Id::StartRange, &CSplitDialog::OnStartRange);
    onClick(Id::Play, &CSplitDialog::OnPlay);
    onClick(Id::Pause, &CSplitDialog::OnPause);
    onClick(Id::Stop, &CSplitDialog::OnStop);
    onClick(Id::StartTime, &CSplitDialog::OnStartTime);
    onClick(Id::EndTime, &CSplitDialog::OnEndTime);
    onClick(Id::StartBySize, &CSplitDialog::OnStartBySize);
    onClick(Id::BrowseFolder, &CSplitDialog::OnBrowseOutputFolder);
    onClick(Id::StartByTime, &CSplitDialog::OnStartByTime);
    onClick(Id::StartByMarks, &CSplitDialog::OnStartByMarks);
    // However a radio gets checked (mouse, arrow keys, a screen reader's action), its panel shows.
    const auto onChecked = [&](int id, void (CSplitDialog::*handler)()) {
        QObject::connect(
            button(id), &QAbstractButton::toggled, &dialog, [&dialog, handler](bool checked) {
                if (checked)
                    (dialog.*handler)();
            });
    };
    onChecked(Id::ByFrame, &CSplitDialog::OnByFrame);
    onChecked(Id::BySize, &CSplitDialog::OnBySize);
    onChecked(Id::ByTime, &CSplitDialog::OnByTime);
    onChecked(Id::ByMarks, &CSplitDialog::OnByMarks);
    onClick(Id::Homepage, &CSplitDialog::OnHomepage);
    onClick(Id::Help, &CSplitDialog::OnHelp);
    onClick(Id::BrowseFile, &CSplitDialog::OnBrowseOutputFile);
    // Only a mouse release seeks; keyboard moves are put right by the next refresh.
    QObject::connect(qobject_cast<CPositionSlider*>(dialog.control(Id::PositionSlider)),
        &CPositionSlider::releasedCapture, &dialog, &CSplitDialog::OnSliderReleased);
    QObject::connect(qobject_cast<UpDownControl*>(dialog.control(Id::SplitCountSpin)),
        &UpDownControl::deltaPos, &dialog, &CSplitDialog::OnSplitNumberDeltaPos);
    // Stored at once, so that the choice outlives an Esc, a crash or a killed session too.
    QObject::connect(button(Id::ExactCut), &QAbstractButton::toggled, &dialog,
        [&settings](bool checked) { ExactCutSetting::store(settings, checked); });
}

} // namespace parvex
