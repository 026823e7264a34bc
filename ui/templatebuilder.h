// SPDX-License-Identifier: GPL-3.0-or-later
// Builds a dialog's controls from its template and places them by converting dialog units.
#pragma once

#include "dialogtemplate.h"

#include <QHash>
#include <QRect>

#include <functional>

class QFont;
class QWidget;

namespace parvex {

class TemplateBuilder
{
public:
    // Creates the widget for one control instead of the default for its kind (e.g. a slider
    // subclass for the trackbar); returning nullptr falls back to the default.
    using Factory = std::function<QWidget*(const ControlTemplate&, QWidget* parent)>;

    // Creates every control of `dialogTemplate` as a child of `dialog`, in template order (which
    // is also the tab order), sets the caption and the fixed client size, and returns the
    // controls by id. objectName of each widget is its id in decimal ("1009"). The template's
    // accessible names and label buddies are given to their controls.
    static QHash<int, QWidget*> build(
        const DialogTemplate& dialogTemplate, QWidget* dialog, const Factory& factory = {});

    // Dialog units to pixels for `font`: x px = du * average char width / 4,
    // y px = du * char height / 8.
    static QRect toPixels(const QFont& font, int x, int y, int width, int height);
};

} // namespace parvex
