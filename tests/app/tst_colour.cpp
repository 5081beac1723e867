// SPDX-License-Identifier: GPL-3.0-or-later
// Choosing the colour through the main window: the palette box's pixels, its mouse
// handlers, the presets, the colour spin edits, and strokes in the chosen colour.
#include "app/WindowFixture.h"
#include "colour/DoPix.h"
#include "colour/GreyColourTable.h"
#include "colour/RGBHSL.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/SurfaceDC.h"
#include "view/BrushStrokeLiteral.h"
#include "widgets/SpinEdit.h"
#include "widgets/Swatch.h"

#include <QCheckBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QToolButton>
#include <QtTest>

#include <memory>
#include <vector>

namespace {

COLORREF Hsl(int32_t hue, int32_t sat, int32_t light)
{
    int32_t r = 0, g = 0, b = 0;
    HslToRgb(hue, sat, light, r, g, b);
    return ScreenColour(r, g, b);
}

} // namespace

class TestColour : public QObject {
    Q_OBJECT

private:
    FakeMessageService messages;
    FakeHelpEngine help;
    std::unique_ptr<TestMainForm> form;

    void open(MainFormSeams seams = {})
    {
        seams.Messages = &messages;
        seams.Help = &help;
        form = std::make_unique<TestMainForm>(seams);
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        QCOMPARE(form->PalPaintBox->SurfaceRect(), QRect(0, 0, 72, 264));
    }
    void mouse(QEvent::Type type, QPoint at, Qt::MouseButtons held = Qt::LeftButton,
               QWidget *to = nullptr)
    {
        to = to ? to : form->PalPaintBox;
        const auto button = type == QEvent::MouseMove ? Qt::NoButton : Qt::MouseButton(int(held));
        QMouseEvent e(type, QPointF(at), QPointF(to->mapToGlobal(at)), button,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : held, Qt::NoModifier);
        QCoreApplication::sendEvent(to, &e);
    }
    void click(QPoint at, Qt::MouseButtons button = Qt::LeftButton, QWidget *to = nullptr)
    {
        mouse(QEvent::MouseButtonPress, at, button, to);
        mouse(QEvent::MouseButtonRelease, at, button, to);
    }
    // The box without its marker: the button-face frame around the field, each field
    // pixel computed from its box position (or button face where there is no field).
    QImage unmarkedBox(bool field = true) const
    {
        QImage box(72, 264, QImage::Format_RGB32);
        box.fill(form->PalPaintBox->palette().color(QPalette::Button));
        for (int y = 4; field && y < 260; ++y)
            for (int x = 4; x < 68; ++x) {
                const COLORREF c = Hsl(y - 4, (x - 4) * 255 / 63, 128);
                box.setPixel(x, y, qRgb(c & 0xff, (c >> 8) & 0xff, c >> 16));
            }
        return box;
    }
    // The whole box for the current colour: the marker ellipse around palette pixel
    // ((CurSat * 63) div 255, CurHue), outlined in the inverse colour, filled with face.
    void verifyBox(bool field = true)
    {
        QImage expected = unmarkedBox(field);
        gdi::SurfaceDC dc(expected, QPoint(), expected.rect(), 32);
        HPEN pen = CreatePen(PS_SOLID, 1, 0xffffff - Hsl(form->CurHue, form->CurSat, 128));
        const QRgb face = expected.pixel(0, 0);
        HBRUSH brush = CreateSolidBrush(RGB(qRed(face), qGreen(face), qBlue(face)));
        SelectObject(&dc, pen);
        SelectObject(&dc, brush);
        const int s = form->CurSat * 63 / 255;
        Ellipse(&dc, s, form->CurHue, s + 8, form->CurHue + 8);
        DeleteObject(pen);
        DeleteObject(brush);
        QCOMPARE(form->PalPaintBox->Surface(), expected);
    }
    void verifyPicked(int hue, int sat)
    {
        QCOMPARE(form->CurHue, hue);
        QCOMPARE(form->CurSat, sat);
        QCOMPARE(form->HueED->text(), QString::number(hue));
        QCOMPARE(form->SatEd->text(), QString::number(sat));
        QCOMPARE(form->HueLabel->text(), QStringLiteral("Hue: %1").arg(hue));
        QCOMPARE(form->SatLabel->text(), QStringLiteral("Sat: %1").arg(sat));
        QCOMPARE(form->Shape1->fillColour(), Hsl(hue, sat, 64));
        QCOMPARE(form->Shape3->fillColour(), Hsl(hue, sat, 128));
        QCOMPARE(form->Shape4->fillColour(), Hsl(hue, sat, 196));
        verifyBox();
    }
    // A one-stamp stroke on the view at (100, 80) writes what the literal stroke with
    // these parameters writes, over a source with many grey levels.
    void verifyStroke(int32_t hue, int32_t sat, int32_t bright)
    {
        const RasterImage &s = form->SourceRaster, &w = form->WorkRaster;
        for (uint32_t i = 0; i < RasterImageSize(s); ++i)
            s.Pixels[i] = uint8_t(i / 3 + i % 7);
        const auto before = Pixels(w);
        view::StrokeParams params{form->RadiusED->value(), hue, sat, bright, true};
        view::StrokeLineLiteral(s, w, 100, 80, 100, 80, params);
        const auto expected = Pixels(w);
        std::copy(before.begin(), before.end(), w.Pixels);
        click(QPoint(100, 80), Qt::LeftButton, form->PaintBox1);
        QVERIFY(expected != before);
        QVERIFY(Pixels(w) == expected);
    }

private slots:
    void cleanup()
    {
        form.reset();
        messages.Boxes.clear();
    }

    void firstPaintShowsSkin()
    {
        form = std::make_unique<TestMainForm>(MainFormSeams{&messages, nullptr, &help, {}});
        QCOMPARE(form->HueLabel->text() + form->SatLabel->text() + form->HueED->text(),
                 QStringLiteral("HueSat0"));
        form.reset();
        open();
        verifyPicked(20, 141);
        QCOMPARE(form->Shape1->fillColour(), RGB(101, 63, 29));
        QCOMPARE(form->Shape4->fillColour(), RGB(228, 194, 163));
    }

    void clicksAndDragsPickTheClampedColour()
    {
        open();
        PaintCount box(form->PalPaintBox);
        const int clicks[][4] = {{4, 4, 0, 0},        {67, 259, 255, 255},  {-40, -9, 0, 0},
                                 {71, 263, 255, 255}, {300, 900, 255, 255}, {40, 100, 96, 145}};
        for (const auto &c : clicks) {
            click({c[0], c[1]});
            verifyPicked(c[2], c[3]);
        }
        mouse(QEvent::MouseButtonPress, {9, 9});
        mouse(QEvent::MouseMove, {-30, 400});
        verifyPicked(255, 0);
        mouse(QEvent::MouseMove, {500, -20});
        verifyPicked(0, 255);
        mouse(QEvent::MouseButtonDblClick, {25, 50});
        verifyPicked(46, 85);
        // One paint per pick: the boxes the paint writes do not come back to paint again.
        QCOMPARE(box.paints, 10);
    }

    void markerColumnFollowsTheSaturation()
    {
        open();
        const QImage plain = unmarkedBox();
        for (int X = 5; X <= 66; ++X) {
            click(QPoint(X, 100));
            QCOMPARE(form->CurSat, (X - 4) * 255 / 63);
            int left = 72, right = -1; // columns of the pixels the marker changed
            for (int y = 0; y < 264; ++y)
                for (int x = 0; x < 72; ++x)
                    if (form->PalPaintBox->Surface().pixel(x, y) != plain.pixel(x, y))
                        left = std::min(left, x), right = std::max(right, x);
            QCOMPARE((left + right + 1) / 2, X == 25 || X == 46 ? X : X - 1);
        }
        click(QPoint(4, 100)); // grey column: grey 127 outline on grey 128, face inside
        verifyBox();
        QCOMPARE(form->PalPaintBox->Surface().pixel(4, 96), qRgb(127, 127, 127));
        QCOMPARE(form->PalPaintBox->Surface().pixel(4, 95), qRgb(128, 128, 128));
        QCOMPARE(form->PalPaintBox->Surface().pixel(4, 100), plain.pixel(0, 0));
    }

    void movesPreviewAndOnlyTheLeftButtonDrags()
    {
        open();
        const QImage box = form->PalPaintBox->Surface().copy();
        mouse(QEvent::MouseMove, {40, 100}, Qt::NoButton);
        QCOMPARE(form->Shape2->fillColour(), Hsl(96, 145, 128));
        verifyPicked(20, 141);
        QCOMPARE(form->PalPaintBox->Surface(), box);
        mouse(QEvent::MouseButtonPress, {20, 200}, Qt::RightButton);
        verifyPicked(196, 64);
        mouse(QEvent::MouseMove, {40, 100}, Qt::RightButton);
        verifyPicked(196, 64);
        QCOMPARE(form->Shape2->fillColour(), Hsl(96, 145, 128));
    }

    void presetsSelectColourAndColorize()
    {
        open();
        const struct {
            const char *caption;
            int hue, sat;
        } rows[] = {{"Skin", 20, 141}, {"Skin 2", 17, 190}, {"Sky", 143, 157}, {"Water", 147, 101},
                    {"Sand", 23, 117}, {"Grass", 55, 60},   {"Stone", 0, 24},  {"Hill", 139, 64},
                    {"Wood", 23, 76},  {"Forest", 89, 48}};
        form->BrightEd->setValue(37);
        for (const auto &row : rows) {
            click({30, 30}); // away from every preset
            QTest::mouseClick(form->RadiergummiBtn, Qt::LeftButton);
            form->Shape2->setFillColour(0x123456);
            for (auto *b : form->ToolBar1->findChildren<QToolButton *>())
                if (b->text() == QLatin1String(row.caption))
                    QTest::mouseClick(b, Qt::LeftButton);
            verifyPicked(row.hue, row.sat);
            QVERIFY(form->ColorierenBtn->isChecked() && !form->RadiergummiBtn->isChecked());
            QCOMPARE(form->Shape2->fillColour(), COLORREF(0x123456));
            QCOMPARE(form->BrightEd->value(), 37);
        }
    }

    void spinEditsSetTheColourAndThePreview()
    {
        open();
        QTest::mouseClick(form->RadiergummiBtn, Qt::LeftButton);
        form->HueED->selectAll();
        PaintCount box(form->PalPaintBox);
        QTest::keyClicks(form->HueED, QStringLiteral("60"));
        QCOMPARE(box.paints, 2); // "6", then "60"; the boxes the paint writes add none
        verifyPicked(60, 141);
        QCOMPARE(form->Shape2->fillColour(), Hsl(60, 141, 128));
        QVERIFY(form->RadiergummiBtn->isChecked());
        form->CurHue = 5; // a brightness change re-reads both boxes
        form->CurSat = 6;
        form->BrightEd->setValue(30);
        verifyPicked(60, 141);
        form->HueED->setText(QStringLiteral("300")); // typed beyond: the nearer end
        verifyPicked(255, 141);
        QCOMPARE(form->Shape2->fillColour(), Hsl(255, 141, 128));
        form->SatEd->setText(QStringLiteral("-7"));
        verifyPicked(255, 0);
        form->HueED->setText(QString()); // not a number: the minimum
        form->SatEd->setText(QStringLiteral("-"));
        verifyPicked(0, 0);
    }

    void brightnessChangesOnlyWhatIsPaintedAfterwards()
    {
        open();
        for (int bright : {-100, 100}) {
            const auto work = Pixels(form->WorkRaster);
            form->BrightEd->setValue(bright);
            QCOMPARE(form->BrightEd->value(), bright);
            QVERIFY(Pixels(form->WorkRaster) == work);
            verifyPicked(20, 141);
            verifyStroke(20, 141, bright);
        }
        form->BrightEd->setText(QString());
        verifyStroke(20, 141, -100);
    }

    // With "Keep tones" checked, a stroke and "Colorize everything" write the colours of
    // the tone-keeping table (what those are is the colour tests' business); unchecked,
    // both are as before.
    void keepTonesPaintsTheTableColours()
    {
        open();
        QCOMPARE(form->KeepTonesCheck->text(), QStringLiteral("Keep tones"));
        QCOMPARE(form->KeepTonesCheck->toolTip(),
                 QStringLiteral("Colours keep the lightness of the photograph"));
        QVERIFY(!form->KeepTonesCheck->isChecked());
        QTest::mouseClick(form->KeepTonesCheck, Qt::LeftButton);
        QVERIFY(form->KeepTonesCheck->isChecked());
        QTest::mouseClick(form->ToolButton2, Qt::LeftButton); // "Sky"
        form->BrightEd->setValue(-20);
        const RasterImage &s = form->SourceRaster, &w = form->WorkRaster;
        for (uint32_t i = 0; i < RasterImageSize(s); ++i)
            s.Pixels[i] = uint8_t(i / 3 + i % 7);
        const auto table = colour::MakeGreyColourTable(colour::Paint{143, 157, -20, true});
        const auto painted = [&](int32_t x, int32_t y) {
            const uint8_t *in = PictureRow(s, y) + 3 * x;
            const uint8_t *out = PictureRow(w, y) + 3 * x;
            const size_t grey = size_t(colour::GreyValue(in[2], in[1], in[0]));
            return out[0] == table.Blue[grey] && out[1] == table.Green[grey]
                   && out[2] == table.Red[grey];
        };
        click(QPoint(100, 80), Qt::LeftButton, form->PaintBox1);
        QVERIFY(painted(100, 80) && painted(95, 80) && painted(100, 88));
        QCOMPARE(ViewMismatch(*form), QString());

        QTest::mouseClick(form->ColorAllBtn, Qt::LeftButton);
        for (int32_t y = 0; y < RasterHeight(w); y += 7)
            for (int32_t x = 0; x < RasterWidth(w); x += 5)
                QVERIFY2(painted(x, y), qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));

        QTest::mouseClick(form->KeepTonesCheck, Qt::LeftButton);
        verifyStroke(143, 157, -20);
    }

    void strokesTakeTheChosenColour()
    {
        open();
        QTest::mouseClick(form->ToolButton2, Qt::LeftButton); // "Sky"
        form->BrightEd->setValue(50);
        verifyStroke(143, 157, 50);
        click({40, 100});
        verifyStroke(96, (40 - 4) * 255 / 63, 50);
    }

    void missingPaletteRasterLeavesNoTrail()
    {
        MainFormSeams seams;
        seams.Rasters.NewDib = [](int32_t w, int32_t h, int32_t bits, const void *src, int32_t n) {
            return w == 64 ? RasterImage{} : newdib(w, h, bits, src, n);
        };
        open(seams);
        QCOMPARE(messages.Boxes.size(), 1);
        click({10, 10});
        click({60, 200});
        QCOMPARE(form->CurHue, 196);
        verifyBox(false);
    }
};

QTEST_MAIN(TestColour)
#include "tst_colour.moc"
