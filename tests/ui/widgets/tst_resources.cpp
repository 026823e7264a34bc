// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the dialog tables and the application icon.
#include "controlids.h"
#include "resources.h"

#include <QSet>
#include <QTest>

using namespace parvex;

namespace {
QString text(std::string_view caption)
{
    return QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size()));
}

QSet<int> idsOfPanel(Panel panel)
{
    QSet<int> ids;
    for (const ControlTemplate& control : Resources::mainDialog().controls) {
        if (control.panel == panel)
            ids.insert(control.id);
    }
    return ids;
}

const ControlTemplate* find(const DialogTemplate& dialog, int id)
{
    for (const ControlTemplate& control : dialog.controls) {
        if (control.id == id)
            return &control;
    }
    return nullptr;
}
} // namespace

class TestResources : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void mainDialog_hasEveryControlOnceInsideTheDialog()
    {
        const DialogTemplate& dialog = Resources::mainDialog();
        QCOMPARE(dialog.id, 102);
        QCOMPARE(text(dialog.caption), QStringLiteral("Parvex"));
        QCOMPARE(dialog.controls.size(), std::size_t(44));
        QSet<int> seen;
        for (const ControlTemplate& control : dialog.controls) {
            QVERIFY2(control.id == -1 || !seen.contains(control.id),
                qPrintable(QString::number(control.id)));
            seen.insert(control.id);
            QVERIFY(control.id != 1 && control.id != 2);
            QVERIFY((control.style & StyleDefaultButton) == 0);
            QVERIFY(control.x >= 0 && control.y >= 0);
            QVERIFY(control.x + control.width <= dialog.width);
            QVERIFY(control.y + control.height <= dialog.height);
        }
        const int named[] = { ControlId::OpenMp3, ControlId::SourceTitle, ControlId::StartHours,
            ControlId::EndSeconds, ControlId::StartRange, ControlId::PositionSlider,
            ControlId::EachSize, ControlId::SplitSecondsSpin, ControlId::BrowseFile,
            ControlId::ExactCut, ControlId::Homepage, ControlId::Help };
        for (const int id : named)
            QVERIFY(seen.contains(id));
    }

    void mainDialog_panels_data()
    {
        QTest::addColumn<int>("panel");
        QTest::addColumn<QList<int>>("ids");
        QTest::newRow("ByRange") << int(Panel::ByRange)
                                 << QList<int> { 1012, 1015, 1011, 1013, 1014, 1016, 1017, 1003,
                                        1038, 1004, 1039, 1005, 1006, 1040, 1007, 1041, 1008, 1037,
                                        1010, 1009, 1033 };
        QTest::newRow("BySize") << int(Panel::BySize)
                                << QList<int> { 1042, 1018, 1025, 1043, 1020, 1019 };
        QTest::newRow("ByTime") << int(Panel::ByTime)
                                << QList<int> { 1044, 1027, 1028, 1046, 1029 };
        QTest::newRow("OutputFolder")
            << int(Panel::OutputFolder) << QList<int> { 1045, 1021, 1026 };
        QTest::newRow("Common") << int(
            Panel::Common) << QList<int> { 1001, 1000, 1030, 1031, 1032, -1, 1050, 1048, 1049 };
    }

    void mainDialog_panels()
    {
        QFETCH(int, panel);
        QFETCH(QList<int>, ids);
        QCOMPARE(idsOfPanel(static_cast<Panel>(panel)), QSet<int>(ids.begin(), ids.end()));
    }

    void mainDialog_upDownsFollowTheirNumberBoxes()
    {
        const auto controls = Resources::mainDialog().controls;
        for (std::size_t i = 0; i < controls.size(); ++i) {
            if (controls[i].kind != ControlKind::UpDown)
                continue;
            QVERIFY(i > 0);
            QCOMPARE(controls[i - 1].kind, ControlKind::Edit);
            QVERIFY(controls[i - 1].style & StyleCentered);
        }
        QCOMPARE(controls[0].id, ControlId::SplitCount);
        QCOMPARE(controls[1].id, ControlId::SplitCountSpin);
        const ControlTemplate* seconds = find(Resources::mainDialog(), ControlId::SplitSecondsSpin);
        QVERIFY(seconds && (seconds->style & StyleNoThousands));
        QCOMPARE((seconds - 1)->id, ControlId::SplitSeconds);
    }

    void mainDialog_radiosTakeNoTabStop()
    {
        for (const ControlTemplate& control : Resources::mainDialog().controls) {
            const bool tabStop = (control.style & StyleTabStop) != 0;
            switch (control.kind) {
            case ControlKind::PushButton:
            case ControlKind::CheckBox:
            case ControlKind::Edit:
            case ControlKind::Trackbar:
                QVERIFY2(tabStop, qPrintable(QString::number(control.id)));
                break;
            default:
                QVERIFY2(!tabStop, qPrintable(QString::number(control.id)));
            }
        }
    }

    void aboutDialog_showsIconVersionAndOk()
    {
        const DialogTemplate& about = Resources::aboutDialog();
        QCOMPARE(about.id, 100);
        QCOMPARE(text(about.caption), QStringLiteral("About Parvex"));
        QCOMPARE(about.controls.size(), std::size_t(3));
        QCOMPARE(about.controls[0].kind, ControlKind::StaticIcon);
        QCOMPARE(text(about.controls[1].caption), QStringLiteral("Parvex Version 3.1"));
        const ControlTemplate* ok = find(about, ControlId::AboutOk);
        QVERIFY(ok);
        QCOMPARE(ok->kind, ControlKind::PushButton);
        QCOMPARE(text(ok->caption), QStringLiteral("OK"));
        QVERIFY(ok->style & StyleDefaultButton);
    }

    void appIcon_hasEverySize()
    {
        const QIcon icon = Resources::appIcon();
        QVERIFY(!icon.isNull());
        for (const int size : { 16, 32, 48, 64, 128, 256 }) {
            const QPixmap pixmap = icon.pixmap(size, size);
            QCOMPARE(pixmap.size(), QSize(size, size));
            // The corners are transparent and the middle is painted.
            const QImage image = pixmap.toImage();
            QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
            QCOMPARE(qAlpha(image.pixel(size / 2, size / 2)), 255);
        }
    }
};

QTEST_MAIN(TestResources)
#include "tst_resources.moc"
