// SPDX-License-Identifier: GPL-3.0-or-later
// Choosing the colour through the main window: the palette box's pixels, its mouse
// handlers, the presets, the colour spin edits, and strokes in the chosen colour.
#include "app/FakeServices.h"
#include "app/MainForm.h"
#include "colour/RGBHSL.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/SurfaceDC.h"
#include "platform/ui/SpinEdit.h"
#include "platform/ui/Swatch.h"
#include "view/BrushStrokeLiteral.h"

#include <QLabel>
#include <QMouseEvent>
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

std::vector<uint8_t> Bytes(const RasterImage &raster)
{
    return std::vector<uint8_t>(raster.Pixels, raster.Pixels + RasterImageSize(raster));
}

} // namespace

class TestColour : public QObject {
    Q_OBJECT

private:
    FakeMessageService messages;
    FakeHelpEngine help;
    std::unique_ptr<TMainForm> form;

    void open(MainFormSeams seams = {})
    {
        seams.Messages = &messages;
        seams.Help = &help;
        form = std::make_unique<TMainForm>(seams);
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        QCOMPARE(form->PalPaintBox->SurfaceRect(), QRect(0, 0, 72, 264));
    }
    void mouse(QWidget *to, QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held,
               QPoint at)
    {
        QMouseEvent e(type, QPointF(at), QPointF(to->mapToGlobal(at)), button, held,
                      Qt::NoModifier);
        QCoreApplication::sendEvent(to, &e);
    }
    void click(QPoint at, Qt::MouseButton button = Qt::LeftButton, QWidget *to = nullptr)
    {
        to = to ? to : form->PalPaintBox;
        mouse(to, QEvent::MouseButtonPress, button, button, at);
        mouse(to, QEvent::MouseButtonRelease, button, Qt::NoButton, at);
    }
    void move(QPoint at, Qt::MouseButtons held)
    {
        mouse(form->PalPaintBox, QEvent::MouseMove, Qt::NoButton, held, at);
    }
    COLORREF face() const
    {
        const QColor c = form->PalPaintBox->palette().color(QPalette::Button);
        return RGB(uint8_t(c.red()), uint8_t(c.green()), uint8_t(c.blue()));
    }
    // The box without its marker: the button-face frame around the field, each field
    // pixel computed from its box position (or button face where there is no field).
    QImage unmarkedBox(bool field = true) const
    {
        QImage box(72, 264, QImage::Format_RGB32);
        for (int y = 0; y < 264; ++y)
            for (int x = 0; x < 72; ++x) {
                const bool inField = field && x >= 4 && x < 68 && y >= 4 && y < 260;
                const COLORREF c = inField ? Hsl(y - 4, (x - 4) * 255 / 63, 128) : face();
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
        const COLORREF c = Hsl(form->CurHue, form->CurSat, 128);
        SelectObject(&dc, CreatePen(PS_SOLID, 1, 0xffffff - c));
        SelectObject(&dc, CreateSolidBrush(face()));
        const int s = form->CurSat * 63 / 255;
        Ellipse(&dc, s, form->CurHue, s + 8, form->CurHue + 8);
        QCOMPARE(form->PalPaintBox->Surface(), expected);
    }
    // Box column of the marker's centre, from the pixels that differ from the field.
    int markerCentreColumn() const
    {
        const QImage box = form->PalPaintBox->Surface(), plain = unmarkedBox();
        int left = 72, right = -1;
        for (int y = 0; y < 264; ++y)
            for (int x = 0; x < 72; ++x)
                if (box.pixel(x, y) != plain.pixel(x, y))
                    left = std::min(left, x), right = std::max(right, x);
        return (left + right + 1) / 2;
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
        const auto before = Bytes(w);
        view::StrokeParams params{form->RadiusED->value(), hue, sat, bright, true};
        view::StrokeLineLiteral(s, w, 100, 80, 100, 80, params);
        const auto expected = Bytes(w);
        std::copy(before.begin(), before.end(), w.Pixels);
        click(QPoint(100, 80), Qt::LeftButton, form->PaintBox1);
        QVERIFY(expected != before);
        QVERIFY(Bytes(w) == expected);
    }

private slots:
    void cleanup()
    {
        form.reset();
        messages.Boxes.clear();
    }

    void firstPaintShowsSkin()
    {
        form = std::make_unique<TMainForm>(MainFormSeams{&messages, nullptr, &help, {}});
        QCOMPARE(form->HueLabel->text(), QStringLiteral("Hue"));
        QCOMPARE(form->SatLabel->text(), QStringLiteral("Sat"));
        QCOMPARE(form->HueED->text(), QStringLiteral("0"));
        form.reset();
        open();
        verifyPicked(20, 141);
        QCOMPARE(form->Shape1->fillColour(), RGB(101, 63, 29));
        QCOMPARE(form->Shape4->fillColour(), RGB(228, 194, 163));
        QCOMPARE(form->HueEDChangeRuns, 0);
    }

    void clicksAndDragsPickTheClampedColour()
    {
        open();
        const struct {
            QPoint at;
            int hue, sat;
        } clicks[] = {{{4, 4}, 0, 0},      {{67, 259}, 255, 255}, {{0, 0}, 0, 0},
                      {{-40, -9}, 0, 0},   {{71, 263}, 255, 255}, {{300, 900}, 255, 255},
                      {{40, 100}, 96, 145}};
        for (const auto &c : clicks) {
            click(c.at);
            verifyPicked(c.hue, c.sat);
        }
        mouse(form->PalPaintBox, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, {9, 9});
        move({-30, 400}, Qt::LeftButton);
        verifyPicked(255, 0);
        move({500, -20}, Qt::LeftButton);
        verifyPicked(0, 255);
        mouse(form->PalPaintBox, QEvent::MouseButtonDblClick, Qt::LeftButton, Qt::LeftButton,
              {25, 50});
        verifyPicked(46, 85);
        QCOMPARE(form->HueEDChangeRuns, 0);
    }

    void markerColumnFollowsTheSaturation()
    {
        open();
        for (int X = 5; X <= 66; ++X) {
            click(QPoint(X, 100));
            QCOMPARE(form->CurSat, (X - 4) * 255 / 63);
            QCOMPARE(markerCentreColumn(), X == 25 || X == 46 ? X : X - 1);
        }
        click(QPoint(4, 100)); // grey column: grey 127 outline on grey 128, face inside
        verifyBox();
        const QImage &box = form->PalPaintBox->Surface();
        QCOMPARE(box.pixel(4, 96), qRgb(127, 127, 127));
        QCOMPARE(box.pixel(4, 95), qRgb(128, 128, 128));
        QCOMPARE(box.pixel(4, 100), unmarkedBox().pixel(0, 0));
    }

    void movesPreviewAndOnlyTheLeftButtonDrags()
    {
        open();
        const QImage box = form->PalPaintBox->Surface().copy();
        move({40, 100}, Qt::NoButton);
        QCOMPARE(form->Shape2->fillColour(), Hsl(96, 145, 128));
        verifyPicked(20, 141);
        QCOMPARE(form->PalPaintBox->Surface(), box);
        mouse(form->PalPaintBox, QEvent::MouseButtonPress, Qt::RightButton, Qt::RightButton,
              {20, 200});
        verifyPicked(196, 64);
        move({40, 100}, Qt::RightButton);
        verifyPicked(196, 64);
        QCOMPARE(form->Shape2->fillColour(), Hsl(96, 145, 128));
    }

    void presetsSelectColourAndColorize_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("hue");
        QTest::addColumn<int>("sat");
        const struct {
            const char *caption;
            int hue, sat;
        } rows[] = {{"Skin", 20, 141}, {"Skin 2", 17, 190}, {"Sky", 143, 157}, {"Water", 147, 101},
                    {"Sand", 23, 117}, {"Grass", 55, 60},   {"Stone", 0, 24},  {"Hill", 139, 64},
                    {"Wood", 23, 76},  {"Forest", 89, 48}};
        for (const auto &r : rows)
            QTest::newRow(r.caption) << r.caption << r.hue << r.sat;
    }
    void presetsSelectColourAndColorize()
    {
        QFETCH(QString, caption);
        QFETCH(int, hue);
        QFETCH(int, sat);
        open();
        click({30, 30}); // away from every preset
        form->BrightEd->setValue(37);
        QTest::mouseClick(form->RadiergummiBtn, Qt::LeftButton);
        QVERIFY(!form->ColorierenBtn->isChecked());
        form->Shape2->setFillColour(0x123456);
        const int runs = form->HueEDChangeRuns;
        for (auto *b : form->ToolBar1->findChildren<QToolButton *>())
            if (b->text() == caption)
                QTest::mouseClick(b, Qt::LeftButton);
        verifyPicked(hue, sat);
        QVERIFY(form->ColorierenBtn->isChecked());
        QVERIFY(!form->RadiergummiBtn->isChecked());
        QCOMPARE(form->Shape2->fillColour(), COLORREF(0x123456));
        QCOMPARE(form->BrightEd->value(), 37);
        QCOMPARE(form->HueEDChangeRuns, runs);
    }

    void spinEditsSetTheColourAndThePreview()
    {
        open();
        QTest::mouseClick(form->RadiergummiBtn, Qt::LeftButton);
        form->HueED->selectAll();
        QTest::keyClicks(form->HueED, QStringLiteral("60"));
        QCOMPARE(form->HueEDChangeRuns, 2); // "6", then "60"; the repaints add none
        verifyPicked(60, 141);
        QCOMPARE(form->Shape2->fillColour(), Hsl(60, 141, 128));
        QVERIFY(form->RadiergummiBtn->isChecked());

        form->CurHue = 5; // brightness re-reads both boxes
        form->CurSat = 6;
        form->BrightEd->setValue(30);
        verifyPicked(60, 141);

        form->HueED->setText(QStringLiteral("300")); // typed beyond: the nearer end
        verifyPicked(255, 141);
        QCOMPARE(form->Shape2->fillColour(), Hsl(255, 141, 128));
        form->SatEd->setText(QStringLiteral("-7"));
        verifyPicked(255, 0);
        form->HueED->setText(QString()); // not a number: the minimum
        verifyPicked(0, 0);
        form->SatEd->setText(QStringLiteral("-"));
        verifyPicked(0, 0);
    }

    void brightnessChangesOnlyWhatIsPaintedAfterwards()
    {
        open();
        for (int bright : {-100, 100}) {
            const auto work = Bytes(form->WorkRaster);
            form->BrightEd->setValue(bright);
            QCOMPARE(form->BrightEd->value(), bright);
            QVERIFY(Bytes(form->WorkRaster) == work);
            verifyPicked(20, 141);
            verifyStroke(20, 141, bright);
        }
        form->BrightEd->setText(QString());
        verifyStroke(20, 141, -100);
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
