// SPDX-License-Identifier: GPL-3.0-or-later
// The picture view of the main window: the zoomed size, what lands on the surface, the
// surface staying the size of the visible part, and the outline being removed.
#include "app/WindowFixture.h"
#include "platform/gdi/Gdi.h"
#include "platform/rastix/Rastix.h"
#include "widgets/MessageService.h"
#include "widgets/SpinEdit.h"

#include <QScrollArea>
#include <QScrollBar>
#include <QtTest>

namespace {

class SilentMessages : public MessageService {
public:
    MessageButton show(const QString &, const QString &, MessageIcon, MessageButtons) override
    {
        return MessageButton::Ok;
    }
};

// red = x, green = y, blue = (x + y) mod 256
uint32_t PatternColour(int x, int y)
{
    return uint32_t(x & 255) | uint32_t(y & 255) << 8 | uint32_t((x + y) & 255) << 16;
}

} // namespace

class TestView : public QObject {
    Q_OBJECT

private:
    SilentMessages messages;
    std::unique_ptr<TestMainForm> form;

    // Replaces the document with a pattern picture of the given size.
    void SetPicture(int width, int height)
    {
        deldib(form->SourceRaster);
        deldib(form->WorkRaster);
        form->SourceRaster = newdib(width, height, 24, nullptr, 0);
        form->WorkRaster = newdib(width, height, 24, nullptr, 0);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                setpixel(form->SourceRaster, x, y, PatternColour(x, y));
                setpixel(form->WorkRaster, x, y, PatternColour(x, y));
            }
    }

    void SetZoom(const QString &text)
    {
        // Typing raises ZoomEdChange only when the text changes; the picture under the
        // view may have changed too, as after loading, which calls it directly.
        form->ZoomEd->setText(text);
        form->ZoomEdChange();
        QCoreApplication::processEvents();
    }

    // Surface pixel at view position p, which must be visible.
    QRgb ViewPixel(QPoint p) const
    {
        const QRect r = form->PaintBox1->SurfaceRect();
        return form->PaintBox1->Surface().pixel(p - r.topLeft());
    }

private slots:
    void init()
    {
        MainFormSeams seams;
        seams.Messages = &messages;
        form = std::make_unique<TestMainForm>(seams);
        form->resize(900, 700);
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    }

    void cleanup() { form.reset(); }

    void startsAsThreeHundredTwentyByTwoHundred()
    {
        QCOMPARE(form->PaintBox1->size(), QSize(320, 200));
    }

    void zoomHundredShowsEachRasterPixelAtItsPosition()
    {
        SetPicture(640, 480);
        SetZoom("100");
        QCOMPARE(form->PaintBox1->size(), QSize(640, 480));
        const QRect visible = form->PaintBox1->SurfaceRect();
        QVERIFY(!visible.isEmpty());
        for (int y = visible.top(); y <= visible.bottom(); y += 7)
            for (int x = visible.left(); x <= visible.right(); x += 5) {
                const QRgb p = ViewPixel({x, y});
                QCOMPARE(qRed(p), x & 255);
                QCOMPARE(qGreen(p), y & 255);
            }
    }

    void zoomHundredFiftyTruncates()
    {
        SetPicture(101, 20);
        SetZoom("150");
        QCOMPARE(form->PaintBox1->width(), 151);
        QCOMPARE(form->PaintBox1->height(), 30);
        // Columns repeat 2, 1, 2, 1: view column 2 shows raster column 1.
        QCOMPARE(qRed(ViewPixel({2, 0})), 1);
        QCOMPARE(qRed(ViewPixel({3, 0})), 2);
    }

    void zoomTenAndThousandKeepTheSurfaceToTheVisiblePart()
    {
        SetPicture(1000, 700);
        SetZoom("10");
        QCOMPARE(form->PaintBox1->size(), QSize(100, 70));
        QCOMPARE(qRed(ViewPixel({3, 2})), 30);
        QCOMPARE(qGreen(ViewPixel({3, 2})), 20);

        SetZoom("1000");
        QCOMPARE(form->PaintBox1->size(), QSize(10000, 7000));
        const QSize viewport = form->ScrollBox1->viewport()->size();
        QVERIFY(form->PaintBox1->Surface().width() <= viewport.width());
        QVERIFY(form->PaintBox1->Surface().height() <= viewport.height());

        // Scrolled to the far corner, the surface follows and shows the picture there.
        form->ScrollBox1->horizontalScrollBar()->setValue(
            form->ScrollBox1->horizontalScrollBar()->maximum());
        form->ScrollBox1->verticalScrollBar()->setValue(
            form->ScrollBox1->verticalScrollBar()->maximum());
        QCoreApplication::processEvents();
        form->PaintBox1Paint();
        const QRect visible = form->PaintBox1->SurfaceRect();
        QCOMPARE(visible.right(), 9999);
        QCOMPARE(visible.bottom(), 6999);
        QCOMPARE(qRed(ViewPixel({9999, 6999})), 999 & 255);
        QCOMPARE(qGreen(ViewPixel({9999, 6999})), 699 & 255);
        QVERIFY(form->PaintBox1->Surface().size().width() <= viewport.width());
    }

    void directPaintRemovesTheOutline()
    {
        SetPicture(200, 150);
        SetZoom("100");
        const QImage clean = form->PaintBox1->Surface().copy();
        // Draw an outline the way the brush does, then repaint.
        form->OutlineRect = {40, 30, 81, 71};
        HDC dc = form->PaintBox1->Canvas();
        SelectObject(dc, GetStockObject(HOLLOW_BRUSH));
        SetROP2(dc, R2_NOT);
        Ellipse(dc, 40, 30, 81, 71);
        SetROP2(dc, R2_COPYPEN);
        form->OutlineShown = true;
        QVERIFY(form->PaintBox1->Surface() != clean);
        form->PaintBox1Paint();
        QVERIFY(!form->OutlineShown);
        QCOMPARE(form->PaintBox1->Surface(), clean);
    }

    void zeroZoomGivesAnEmptyView()
    {
        SetPicture(300, 200);
        SetZoom("0");
        QCOMPARE(form->PaintBox1->size(), QSize(0, 0));
        form->PaintBox1Paint();
        SetZoom("-5");
        QCOMPARE(form->PaintBox1->size(), QSize(0, 0));
        SetZoom("100");
        QCOMPARE(form->PaintBox1->size(), QSize(300, 200));
    }
};

QTEST_MAIN(TestView)
#include "tst_view.moc"
