// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the template builder on the main window's template.
#include "controlids.h"
#include "resources.h"
#include "templatebuilder.h"
#include "updowncontrol.h"

#include <QCheckBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTest>

#include <memory>

using namespace parvex;

namespace {
const char* classOf(ControlKind kind)
{
    switch (kind) {
    case ControlKind::Edit:
        return "QLineEdit";
    case ControlKind::UpDown:
        return "parvex::UpDownControl";
    case ControlKind::Static:
    case ControlKind::StaticIcon:
        return "QLabel";
    case ControlKind::PushButton:
        return "QPushButton";
    case ControlKind::RadioButton:
        return "QRadioButton";
    case ControlKind::CheckBox:
        return "QCheckBox";
    case ControlKind::GroupBox:
        return "QGroupBox";
    case ControlKind::Trackbar:
        return "QSlider";
    }
    return "";
}

class PositionSlider : public QSlider
{
public:
    using QSlider::QSlider;
};
} // namespace

class TestTemplateBuilder : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_dialog = std::make_unique<QDialog>();
        m_controls = TemplateBuilder::build(Resources::mainDialog(), m_dialog.get());
    }

    void build_createsEveryControlOfItsKind()
    {
        const DialogTemplate& dialog = Resources::mainDialog();
        QCOMPARE(m_dialog->windowTitle(), QStringLiteral("Parvex"));
        QCOMPARE(m_controls.size(), qsizetype(43)); // every control but the group box has an id
        for (const ControlTemplate& control : dialog.controls) {
            if (control.id < 0)
                continue;
            const QString name = QString::number(control.id);
            QWidget* widget = &widgetOf(control.id);
            QCOMPARE(widget->objectName(), name);
            QCOMPARE(widget->parentWidget(), m_dialog.get());
            QVERIFY2(widget->inherits(classOf(control.kind)), qPrintable(name));
            const QRect placed = TemplateBuilder::toPixels(
                m_dialog->font(), control.x, control.y, control.width, control.height);
            QCOMPARE(widget->pos(), placed.topLeft());
            QCOMPARE(widget->height(), placed.height());
            if (control.kind == ControlKind::Static) // a label may grow to fit its caption
                QVERIFY(widget->width() >= placed.width());
            else
                QCOMPARE(widget->width(), placed.width());
        }
        QCOMPARE(m_dialog->findChildren<QGroupBox*>().size(), qsizetype(1));
        QCOMPARE(qobject_cast<QPushButton*>(m_controls[ControlId::OpenMp3])->text(),
            QStringLiteral("&Open MP3"));
        QCOMPARE(qobject_cast<QRadioButton*>(m_controls[ControlId::BySize])->text(),
            QStringLiteral("By si&ze"));
        QCOMPARE(qobject_cast<QCheckBox*>(m_controls[ControlId::ExactCut])->text(),
            QStringLiteral("E&xact cut (gapless)"));
    }

    void build_labelsShowTheirWholeCaption()
    {
        QFont wide = m_dialog->font();
        wide.setLetterSpacing(QFont::AbsoluteSpacing, 3);
        QDialog dialog;
        dialog.setFont(wide);
        const auto controls = TemplateBuilder::build(Resources::mainDialog(), &dialog);
        auto* label = qobject_cast<QLabel*>(controls.value(1042)); // "Split file number"
        QVERIFY(label);
        QCOMPARE(label->text(), QStringLiteral("Split file &number"));
        QVERIFY(label->width()
            >= label->fontMetrics().horizontalAdvance(QStringLiteral("Split file number")));
    }

    void build_givesTheDialogItsFixedSize()
    {
        const QSize size = TemplateBuilder::toPixels(m_dialog->font(), 0, 0, 277, 213).size();
        QCOMPARE(m_dialog->minimumSize(), size);
        QCOMPARE(m_dialog->maximumSize(), size);
    }

    void build_tabOrderIsTemplateOrder()
    {
        QList<QWidget*> expected;
        for (const ControlTemplate& control : Resources::mainDialog().controls) {
            if (control.style & StyleTabStop)
                expected.append(m_controls.value(control.id));
        }
        QList<QWidget*> chain;
        for (QWidget* w = m_dialog->nextInFocusChain(); w != m_dialog.get();
             w = w->nextInFocusChain()) {
            if (w->focusPolicy() & Qt::TabFocus)
                chain.append(w);
        }
        QCOMPARE(chain, expected);
    }

    void build_noButtonIsDefault()
    {
        const auto buttons = m_dialog->findChildren<QPushButton*>();
        QCOMPARE(buttons.size(), qsizetype(13));
        for (const QPushButton* button : buttons) {
            QVERIFY2(!button->isDefault(), qPrintable(button->objectName()));
            QVERIFY2(!button->autoDefault(), qPrintable(button->objectName()));
        }
    }

    void build_numberBoxesAreCentred()
    {
        const auto alignment = [this](int id) {
            return qobject_cast<QLineEdit*>(m_controls.value(id))->alignment()
                & Qt::AlignHorizontal_Mask;
        };
        QCOMPARE(alignment(ControlId::SplitCount), Qt::AlignHCenter);
        QCOMPARE(alignment(ControlId::StartMinutes), Qt::AlignHCenter);
        QCOMPARE(alignment(ControlId::OutputFile), Qt::AlignLeft);
    }

    void build_upDownsTakeThePreviousBoxAsBuddy()
    {
        const auto buddyOf = [this](int id) {
            return qobject_cast<UpDownControl*>(m_controls.value(id))->buddy();
        };
        QCOMPARE(buddyOf(ControlId::SplitCountSpin), m_controls.value(ControlId::SplitCount));
        QCOMPARE(buddyOf(ControlId::SplitSecondsSpin), m_controls.value(ControlId::SplitSeconds));
    }

    void build_radiosAreOneExclusiveGroup()
    {
        auto* byFrame = qobject_cast<QRadioButton*>(m_controls.value(ControlId::ByFrame));
        auto* bySize = qobject_cast<QRadioButton*>(m_controls.value(ControlId::BySize));
        auto* byTime = qobject_cast<QRadioButton*>(m_controls.value(ControlId::ByTime));
        byFrame->click();
        bySize->click();
        QVERIFY(!byFrame->isChecked() && bySize->isChecked() && !byTime->isChecked());
        byTime->click();
        QVERIFY(!byFrame->isChecked() && !bySize->isChecked() && byTime->isChecked());
        QVERIFY(!(byTime->focusPolicy() & Qt::TabFocus));
    }

    void build_groupBoxLetsClicksThrough()
    {
        m_dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_dialog.get()));
        for (const int id : { ControlId::ByFrame, ControlId::BySize, ControlId::ByTime }) {
            QWidget* radio = &widgetOf(id);
            QCOMPARE(m_dialog->childAt(radio->geometry().center()), radio);
            QTest::mouseClick(radio, Qt::LeftButton, {}, radio->rect().center());
            QVERIFY(qobject_cast<QRadioButton*>(radio)->isChecked());
        }
    }

    void build_factoryReplacesTheDefaultWidget()
    {
        QDialog dialog;
        PositionSlider* made = nullptr;
        const auto controls = TemplateBuilder::build(Resources::mainDialog(), &dialog,
            [&made](const ControlTemplate& control, QWidget* parent) -> QWidget* {
                if (control.id != ControlId::PositionSlider)
                    return nullptr;
                made = new PositionSlider(parent);
                return made;
            });
        QVERIFY(made);
        QCOMPARE(controls.value(ControlId::PositionSlider), made);
        QCOMPARE(made->objectName(), QStringLiteral("1012"));
        QCOMPARE(made->orientation(), Qt::Horizontal);
        QCOMPARE(made->tickPosition(), QSlider::NoTicks);
        QVERIFY(controls.value(ControlId::Play)->inherits("QPushButton"));
    }

    void toPixels_usesTheFontsAverageLetterWidthAndHeight()
    {
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(13);
        const QFontMetrics metrics(font);
        const int letters = metrics.horizontalAdvance(
            QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
        const int cx = (letters / 26 + 1) / 2;
        const int cy = metrics.height();
        QVERIFY(cx > 3 && cy > 8);
        QCOMPARE(TemplateBuilder::toPixels(font, 4, 8, 40, 16), QRect(cx, cy, 10 * cx, 2 * cy));
        // Fractions round to the nearest pixel, halves away from zero.
        const QRect odd = TemplateBuilder::toPixels(font, 1, 1, 2, 4);
        QCOMPARE(odd.x(), (cx + 2) / 4);
        QCOMPARE(odd.y(), (cy + 4) / 8);
        QCOMPARE(odd.width(), (2 * cx + 2) / 4);
        QCOMPARE(odd.height(), (4 * cy + 4) / 8);
    }

private:
    QWidget& widgetOf(int id) const
    {
        QWidget* widget = m_controls.value(id);
        if (!widget)
            qFatal("control %d was not built", id);
        return *widget;
    }

    std::unique_ptr<QDialog> m_dialog;
    QHash<int, QWidget*> m_controls;
};

QTEST_MAIN(TestTemplateBuilder)
#include "tst_templatebuilder.moc"
