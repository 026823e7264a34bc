// SPDX-License-Identifier: GPL-3.0-or-later
// Finds the main window's controls by id and checks nothing: a template without one gives null.
#include "dialogcontrols.h"

#include "controlids.h"
#include "cpositionslider.h"
#include "updowncontrol.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include <utility>

namespace parvex {

namespace Id = ControlId;

namespace {
template<class T>
T* find(const QHash<int, QWidget*>& byId, int id)
{
    return qobject_cast<T*>(byId.value(id));
}
} // namespace

DialogControls DialogControls::bind(QHash<int, QWidget*> byId)
{
    DialogControls controls;
    controls.all = std::move(byId);
    controls.secondsSpin = find<UpDownControl>(controls.all, Id::SplitSecondsSpin);
    controls.secondsBox = controls.edit(Id::SplitSeconds);
    controls.outputFolderBox = controls.edit(Id::OutputFolder);
    controls.exactCutBox = find<QCheckBox>(controls.all, Id::ExactCut);
    controls.splitCountSpin = find<UpDownControl>(controls.all, Id::SplitCountSpin);
    controls.eachSizeDisplay = find<QLabel>(controls.all, Id::EachSize);
    controls.positionDisplay = find<QLabel>(controls.all, Id::PositionDisplay);
    controls.positionSlider = find<CPositionSlider>(controls.all, Id::PositionSlider);
    return controls;
}

QLineEdit* DialogControls::edit(int id) const
{
    return qobject_cast<QLineEdit*>(all.value(id));
}

QRadioButton* DialogControls::radio(int id) const
{
    return qobject_cast<QRadioButton*>(all.value(id));
}

} // namespace parvex
