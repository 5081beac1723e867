// SPDX-License-Identifier: GPL-3.0-or-later
// Brush strokes through the main window: mouse events on PaintBox1 colour WorkRaster
// and the view, the inverting outline follows the pointer, the timer re-stamps, and
// stray or second-button events do what a captured stroke does.
#include "app/WindowFixture.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/SurfaceDC.h"
#include "view/BrushGeometry.h"
#include "view/BrushStrokeLiteral.h"
#include "widgets/SpinEdit.h"
#include "widgets/SurfacePaintBox.h"

#include <QMouseEvent>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

class TestBrush : public QObject, WindowFixture {
    Q_OBJECT

private:
    // The literal per-stamp, per-pixel result of the given raster steps on a copy of
    // the current work raster.
    std::vector<uint8_t> expectedAfter(const std::vector<QLine> &steps)
    {
        const RasterImage &w = form->WorkRaster;
        const auto saved = Pixels(w);
        view::StrokeParams params;
        params.radius = form->RadiusED->value();
        params.hue = form->CurHue;
        params.saturation = form->CurSat;
        params.brightness = form->BrightEd->value();
        params.colorize = form->ColorierenBtn->isChecked();
        for (const QLine &l : steps)
            view::StrokeLineLiteral(form->SourceRaster, w, l.x1(), l.y1(), l.x2(), l.y2(), params);
        auto expected = Pixels(w);
        std::memcpy(w.Pixels, saved.data(), saved.size());
        return expected;
    }

    // The surface with the hollow inverting ellipse drawn over it once more.
    QImage withOutlineInverted(const Rect &rect)
    {
        QImage copy = form->PaintBox1->Surface().copy();
        gdi::SurfaceDC dc(copy, form->PaintBox1->SurfaceRect().topLeft(),
                          form->PaintBox1->SurfaceRect(), 32);
        SelectObject(&dc, GetStockObject(HOLLOW_BRUSH));
        SetROP2(&dc, R2_NOT);
        Ellipse(&dc, rect.Left, rect.Top, rect.Right, rect.Bottom);
        return copy;
    }

private slots:
    void init()
    {
        openWindow({900, 700});
        patternPicture();
    }
    void cleanup() { form.reset(); }

    void strokeColoursRasterAndView_data()
    {
        QTest::addColumn<int>("zoom");
        QTest::addColumn<int>("radius");
        QTest::newRow("zoom 100") << 100 << 10;
        QTest::newRow("zoom 200") << 200 << 7;
        QTest::newRow("zoom 150 radius 1") << 150 << 1;
    }
    void strokeColoursRasterAndView()
    {
        QFETCH(int, zoom);
        QFETCH(int, radius);
        form->ZoomEd->setValue(zoom);
        form->RadiusED->setValue(radius);
        form->BrightEd->setValue(15);
        const QPoint down(41, 33), to(117, 61), up(300, 5);
        auto map = [&](QPoint p) {
            return QPoint(view::MapViewToRaster(p.x(), zoom), view::MapViewToRaster(p.y(), zoom));
        };
        const auto expected =
            expectedAfter({QLine(map(down), map(down)), QLine(map(down), map(to))});

        press(down);
        QVERIFY(form->Painting);
        QVERIFY(form->Timer1->isActive());
        QVERIFY(!form->OutlineShown); // no outline until the pointer moves
        move(to);
        QVERIFY(form->OutlineShown);
        const Rect outline = view::BrushOutlineRect(to.x(), to.y(), radius, zoom);
        QCOMPARE(form->OutlineRect,
                 (Rect{outline.Left, outline.Top, outline.Right, outline.Bottom}));
        release(up); // no stamp at the release point
        QVERIFY(!form->Painting);
        QVERIFY(!form->Timer1->isActive());
        QCOMPARE(form->LastMouseX, up.x());
        QVERIFY(Pixels(form->WorkRaster) == expected);

        // The view shows the painted picture with the outline inverted over it.
        const QImage withOutline = form->PaintBox1->Surface().copy();
        const QImage outlineRemoved = withOutlineInverted(form->OutlineRect);
        QVERIFY(withOutline != outlineRemoved);
        form->PaintBox1Paint();
        QVERIFY(!form->OutlineShown);
        QCOMPARE(form->PaintBox1->Surface(), outlineRemoved);
        verifyView();
    }

    void outlineFollowsThePointerAndARepaintRemovesIt()
    {
        const QImage before = form->PaintBox1->Surface().copy();
        move(QPoint(60, 60), Qt::NoButton);
        QVERIFY(form->OutlineShown);
        QVERIFY(form->PaintBox1->Surface() != before);
        move(QPoint(90, 70), Qt::NoButton);
        // The first outline is gone and only the second is inverted over the picture.
        QCOMPARE(withOutlineInverted(form->OutlineRect), before);
        QVERIFY(!form->Painting);
        form->PaintBox1Paint();
        QVERIFY(!form->OutlineShown);
        QCOMPARE(form->PaintBox1->Surface(), before);
    }

    void holdingStillRestampsOncePerTick()
    {
        press(QPoint(50, 50));
        QCOMPARE(form->Timer1->interval(), 1000);
        const auto afterPress = Pixels(form->WorkRaster);
        form->Timer1Timer();
        form->Timer1Timer();
        QVERIFY(Pixels(form->WorkRaster) == afterPress); // same parameters: nothing builds up
        QVERIFY(form->OutlineShown);
        // A tick stamps with the parameters of the moment.
        form->BrightEd->setValue(-60);
        const auto expected = expectedAfter({QLine(50, 50, 50, 50)});
        form->Timer1Timer();
        QVERIFY(Pixels(form->WorkRaster) == expected);
        QVERIFY(Pixels(form->WorkRaster) != afterPress);
        release(QPoint(50, 50));
        QVERIFY(!form->Timer1->isActive());
    }

    void releaseWithoutPressDoesNothing()
    {
        const auto before = Pixels(form->WorkRaster);
        const QImage view = form->PaintBox1->Surface().copy();
        release(QPoint(20, 20));
        QVERIFY(!form->Painting);
        QVERIFY(!form->Timer1->isActive());
        QCOMPARE(form->LastMouseX, 0);
        QVERIFY(Pixels(form->WorkRaster) == before);
        QCOMPARE(form->PaintBox1->Surface(), view);
    }

    void secondButtonIsIgnoredAndTheFirstReleaseEndsTheStroke()
    {
        press(QPoint(30, 30), Qt::LeftButton);
        const auto afterPress = Pixels(form->WorkRaster);
        mouse(QEvent::MouseButtonPress, Qt::RightButton, Qt::LeftButton | Qt::RightButton,
              QPoint(200, 150));
        QCOMPARE(form->LastMouseX, 30);
        QVERIFY(Pixels(form->WorkRaster) == afterPress);
        mouse(QEvent::MouseButtonRelease, Qt::RightButton, Qt::LeftButton, QPoint(31, 30));
        QVERIFY(!form->Painting);
        QVERIFY(!form->Timer1->isActive());
        move(QPoint(200, 150), Qt::LeftButton); // no longer painting
        QVERIFY(Pixels(form->WorkRaster) == afterPress);
    }

    void dragPastThePictureEdgePaintsTheInsidePart()
    {
        form->RadiusED->setValue(6);
        const auto expected = expectedAfter({QLine(310, 190, 310, 190), QLine(310, 190, 400, 260)});
        press(QPoint(310, 190));
        move(QPoint(400, 260)); // outside the view, still captured
        release(QPoint(400, 260));
        QVERIFY(Pixels(form->WorkRaster) == expected);
        const uint8_t *corner = form->WorkRaster.Pixels + 3 * 319; // row 199, column 319
        const uint8_t *source = form->SourceRaster.Pixels + 3 * 319;
        QVERIFY(std::memcmp(corner, source, 3) != 0);
        form->PaintBox1Paint();
        verifyView();
    }

    void eraserRestoresWhatTheBrushPainted()
    {
        press(QPoint(100, 100));
        move(QPoint(140, 120));
        release(QPoint(140, 120));
        form->RadiergummiBtn->click();
        QVERIFY(!form->ColorierenBtn->isChecked());
        form->RadiusED->setValue(40);
        press(QPoint(100, 100));
        move(QPoint(140, 120));
        release(QPoint(140, 120));
        QVERIFY(Pixels(form->WorkRaster) == Pixels(form->SourceRaster));
    }

    void windowDoPixFollowsTheSelectedTool()
    {
        // The window's per-pixel operation colours with Colorize down and restores the
        // source pixel with Erase down, whatever was painted before.
        const auto pixel = [](const RasterImage &r, int x, int y) {
            const uint8_t *p = PictureRow(r, y) + 3 * x;
            return std::vector<uint8_t>(p, p + 3);
        };
        form->DoPix(7, 5, 170, 255, 0);
        QVERIFY(pixel(form->WorkRaster, 7, 5) != pixel(form->SourceRaster, 7, 5));
        form->RadiergummiBtn->click();
        form->DoPix(7, 5, 170, 255, 0);
        QCOMPARE(pixel(form->WorkRaster, 7, 5), pixel(form->SourceRaster, 7, 5));
    }

    void quickSecondPressPaintsLikeAnyPress()
    {
        press(QPoint(60, 60));
        release(QPoint(60, 60));
        QVERIFY(Pixels(form->WorkRaster) != Pixels(form->SourceRaster));
        form->RadiergummiBtn->click();
        mouse(QEvent::MouseButtonDblClick, Qt::LeftButton, Qt::LeftButton, QPoint(60, 60));
        QVERIFY(form->Painting);
        release(QPoint(60, 60));
        QVERIFY(Pixels(form->WorkRaster) == Pixels(form->SourceRaster));
    }

    void numbersStillBeingTypedStayHarmless()
    {
        // Far beyond the fields' ranges: the brush covers the whole picture, the
        // brightness acts as 100 (lightness 255, white), and the outline is drawn.
        form->RadiusED->setText(QStringLiteral("99999999"));
        form->BrightEd->setText(QStringLiteral("500"));
        press(QPoint(10, 10));
        move(QPoint(12, 11));
        release(QPoint(12, 11));
        QVERIFY(form->OutlineShown);
        const auto bytes = Pixels(form->WorkRaster);
        QVERIFY(std::all_of(bytes.begin(), bytes.end(), [](uint8_t b) { return b == 255; }));

        // A zoom far beyond its range: the outline would be millions of pixels across
        // and is left out.
        form->RadiusED->setValue(100);
        form->ZoomEd->setText(QStringLiteral("99999999"));
        move(QPoint(5, 5), Qt::NoButton);
        QVERIFY(!form->OutlineShown);
    }

    void mouseIgnoredWhileTheZoomReadsZero()
    {
        const auto before = Pixels(form->WorkRaster);
        form->ZoomEd->setText(QStringLiteral("0"));
        QCOMPARE(form->ZoomEd->value(), 0);
        press(QPoint(10, 10));
        move(QPoint(20, 20));
        QVERIFY(!form->Painting);
        QVERIFY(!form->OutlineShown);
        release(QPoint(20, 20));
        QVERIFY(Pixels(form->WorkRaster) == before);
    }
};

QTEST_MAIN(TestBrush)
#include "tst_brush.moc"
