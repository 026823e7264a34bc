// SPDX-License-Identifier: GPL-3.0-or-later
// Creates template controls as Qt widgets and places them by the dialog font's dialog units.
#include "templatebuilder.h"

#include "resources.h"
#include "textview.h"
#include "updowncontrol.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>

#include <cmath>

namespace parvex {

namespace {
// The 32-pixel icon that a static icon control shows.
constexpr int IconSize = 32;

// value * numerator / denominator rounded half away from zero, as dialog-unit mapping does.
int mulDiv(int value, int numerator, int denominator)
{
    const double exact = static_cast<double>(value) * numerator / denominator;
    return static_cast<int>(std::lround(exact));
}

QWidget* createDefault(const ControlTemplate& control, QWidget* parent)
{
    switch (control.kind) {
    case ControlKind::Edit:
        return new QLineEdit(parent);
    case ControlKind::UpDown:
        return new UpDownControl(parent);
    case ControlKind::Static:
    case ControlKind::StaticIcon:
        return new QLabel(parent);
    case ControlKind::PushButton:
        return new QPushButton(parent);
    case ControlKind::RadioButton:
        return new QRadioButton(parent);
    case ControlKind::CheckBox:
        return new QCheckBox(parent);
    case ControlKind::GroupBox:
        return new QGroupBox(parent);
    case ControlKind::Trackbar:
        return new QSlider(parent);
    }
    return new QWidget(parent);
}

void configureLabel(QLabel* label, const ControlTemplate& control)
{
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    if (control.kind == ControlKind::StaticIcon) {
        label->setPixmap(Resources::appIcon().pixmap(IconSize, IconSize));
        return;
    }
    label->setTextFormat(Qt::PlainText);
    label->setText(fromTextView(control.caption));
}

// Gives a widget of the kind's class its caption and the look the template asks for; a widget
// from the factory of another class keeps its own settings.
void configure(QWidget* widget, const ControlTemplate& control)
{
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        edit->setAlignment(
            (control.style & StyleCentered) ? Qt::AlignCenter : Qt::AlignLeft | Qt::AlignVCenter);
    } else if (auto* label = qobject_cast<QLabel*>(widget)) {
        configureLabel(label, control);
    } else if (auto* button = qobject_cast<QPushButton*>(widget)) {
        button->setText(fromTextView(control.caption));
        button->setAutoDefault(false);
        button->setDefault((control.style & StyleDefaultButton) != 0);
    } else if (auto* radio = qobject_cast<QRadioButton*>(widget)) {
        radio->setText(fromTextView(control.caption));
        radio->setAutoExclusive(true);
    } else if (auto* box = qobject_cast<QCheckBox*>(widget)) {
        box->setText(fromTextView(control.caption));
    } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
        group->setTitle(fromTextView(control.caption));
    } else if (auto* slider = qobject_cast<QSlider*>(widget)) {
        slider->setOrientation(Qt::Horizontal);
        slider->setTickPosition(QSlider::NoTicks);
    }
}

// A text label grows to its caption's width when the font runs wider than the template allowed
// for; it never shrinks, and the controls after labels in the templates leave room for it.
void fitCaption(QWidget* widget, const ControlTemplate& control)
{
    auto* label = qobject_cast<QLabel*>(widget);
    if (!label || control.kind != ControlKind::Static || control.caption.empty())
        return;
    const int needed = label->fontMetrics().size(Qt::TextShowMnemonic, label->text()).width();
    if (needed > label->width())
        label->resize(needed, label->height());
}

// Tab-stop controls take the focus from the keyboard and the mouse; radio buttons only from the
// mouse; labels, group boxes and up-down arrows never.
Qt::FocusPolicy focusPolicy(const ControlTemplate& control)
{
    if (control.style & StyleTabStop)
        return Qt::StrongFocus;
    switch (control.kind) {
    case ControlKind::Edit:
    case ControlKind::PushButton:
    case ControlKind::RadioButton:
    case ControlKind::CheckBox:
    case ControlKind::Trackbar:
        return Qt::ClickFocus;
    default:
        return Qt::NoFocus;
    }
}

// One control, made by the factory or by default, configured and placed on `dialog`.
QWidget* makeControl(
    const ControlTemplate& control, QWidget* dialog, const TemplateBuilder::Factory& factory)
{
    QWidget* widget = factory ? factory(control, dialog) : nullptr;
    if (!widget)
        widget = createDefault(control, dialog);
    if (widget->parentWidget() != dialog)
        widget->setParent(dialog);
    configure(widget, control);
    widget->setGeometry(TemplateBuilder::toPixels(
        dialog->font(), control.x, control.y, control.width, control.height));
    fitCaption(widget, control);
    widget->setFocusPolicy(focusPolicy(control));
    return widget;
}
// What a screen reader says for each box and display, and where a label's mnemonic leads.
void nameControls(const DialogTemplate& dialogTemplate, const QHash<int, QWidget*>& widgets)
{
    for (const ControlName& named : dialogTemplate.names) {
        if (QWidget* widget = widgets.value(named.id))
            widget->setAccessibleName(fromTextView(named.name));
    }
    for (const LabelBuddy& pair : dialogTemplate.buddies) {
        if (auto* label = qobject_cast<QLabel*>(widgets.value(pair.label)))
            label->setBuddy(widgets.value(pair.buddy));
    }
}
} // namespace

QHash<int, QWidget*> TemplateBuilder::build(
    const DialogTemplate& dialogTemplate, QWidget* dialog, const Factory& factory)
{
    dialog->setWindowTitle(fromTextView(dialogTemplate.caption));

    QHash<int, QWidget*> widgets;
    QWidget* previous = nullptr; // the control before the current one, in template order
    QWidget* lastTabStop = nullptr;
    QList<QGroupBox*> groups;
    for (const ControlTemplate& control : dialogTemplate.controls) {
        QWidget* widget = makeControl(control, dialog, factory);
        if (auto* upDown = qobject_cast<UpDownControl*>(widget))
            upDown->setBuddy(qobject_cast<QLineEdit*>(previous));
        if (auto* group = qobject_cast<QGroupBox*>(widget))
            groups.append(group);
        if (control.style & StyleTabStop) {
            if (lastTabStop)
                QWidget::setTabOrder(lastTabStop, widget);
            lastTabStop = widget;
        }
        if (control.id >= 0) {
            widget->setObjectName(QString::number(control.id));
            widgets.insert(control.id, widget);
        }
        previous = widget;
    }
    nameControls(dialogTemplate, widgets);
    // A group box only frames its controls: behind them, it never takes their clicks.
    for (QGroupBox* group : groups)
        group->lower();

    dialog->setFixedSize(
        toPixels(dialog->font(), 0, 0, dialogTemplate.width, dialogTemplate.height).size());
    return widgets;
}

QRect TemplateBuilder::toPixels(const QFont& font, int x, int y, int width, int height)
{
    const QFontMetrics metrics(font);
    // The average width of the Latin letters, rounded to the nearest pixel.
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    const int charWidth = (letters / 26 + 1) / 2;
    const int charHeight = metrics.height();
    return { mulDiv(x, charWidth, 4), mulDiv(y, charHeight, 8), mulDiv(width, charWidth, 4),
        mulDiv(height, charHeight, 8) };
}

} // namespace parvex
