// SPDX-License-Identifier: GPL-3.0-or-later
// The picture view from the mouse wheel and the keys: Ctrl + wheel and the zoom keys
// through the zoom box, the picture point under the pointer staying there, the fit,
// and the wheel without Ctrl scrolling.
#include "app/WindowFixture.h"
#include "view/ViewSize.h"

#include <QScrollArea>
#include <QScrollBar>
#include <QtTest>

class TestViewInput : public QObject, WindowFixture {
    Q_OBJECT

    QScrollBar *across() const { return form->ScrollBox1->horizontalScrollBar(); }
    QScrollBar *down() const { return form->ScrollBox1->verticalScrollBar(); }

    void setZoom(int zoom)
    {
        form->ZoomEd->setValue(zoom);
        QCoreApplication::processEvents();
    }

    // The raster pixel the view shows at a point of the viewport, read off the screen.
    QPoint rasterUnder(QPoint at) const
    {
        const QPoint viewPixel = at + QPoint(across()->value(), down()->value());
        const QRect shown = form->PaintBox1->SurfaceRect();
        if (!shown.contains(viewPixel))
            return {-1, -1};
        return PatternPlace(form->PaintBox1->Surface().pixel(viewPixel - shown.topLeft()));
    }

    QPoint centre() const
    {
        const QSize s = form->ScrollBox1->viewport()->size();
        return {s.width() / 2, s.height() / 2};
    }

private slots:
    void init() { openWindow({1000, 800}, true); }
    void cleanup() { form.reset(); }

    void ctrlWheelZoomsAboutThePointer()
    {
        newPicture(2000, 1500);
        setZoom(300);
        across()->setValue(2200);
        down()->setValue(1800);
        QCoreApplication::processEvents();
        const QSize visible = form->ScrollBox1->viewport()->size();
        for (const QPoint at :
             {QPoint(40, 30), centre(), QPoint(visible.width() - 25, visible.height() - 35)}) {
            const QPoint raster = rasterUnder(at);
            QVERIFY(raster.x() >= 0);
            // Down to 100 and back up, one notch at a time; every zoom from 100 up
            // shows every raster pixel, so the same one stays under the pointer.
            for (int notch = -1; notch <= 1; notch += 2)
                for (int i = 0; i < 20; ++i) {
                    const int before = form->ZoomEd->value();
                    wheel(at, 120 * notch);
                    QCoreApplication::processEvents();
                    QCOMPARE(form->ZoomEd->value(), before + 10 * notch);
                    QCOMPARE(form->PaintBox1->width(), view::ScaledSize(2000, before + 10 * notch));
                    QCOMPARE(rasterUnder(at), raster);
                }
            QCOMPARE(form->ZoomEd->value(), 300);
        }
        verifyView();
    }

    void ctrlWheelStopsAtTheBoxsBounds()
    {
        newPicture(400, 300);
        setZoom(980);
        for (int i = 0; i < 4; ++i)
            wheel(centre(), 120);
        QCOMPARE(form->ZoomEd->value(), 1000);
        QCOMPARE(form->PaintBox1->size(), QSize(4000, 3000));
        setZoom(30);
        for (int i = 0; i < 4; ++i)
            wheel(centre(), -120);
        QCOMPARE(form->ZoomEd->value(), 10);
        QCOMPARE(form->PaintBox1->size(), QSize(40, 30));
        // Two notches in one turn are two steps.
        wheel(centre(), 240);
        QCOMPARE(form->ZoomEd->value(), 30);
        verifyView();
    }

    void smoothTurnsStepOncePerNotch()
    {
        setZoom(100);
        for (int i = 0; i < 3; ++i) {
            wheel(centre(), 40);
            QCOMPARE(form->ZoomEd->value(), i < 2 ? 100 : 110);
        }
        wheel(centre(), -60);
        wheel(centre(), -59);
        QCOMPARE(form->ZoomEd->value(), 110);
        wheel(centre(), -1);
        QCOMPARE(form->ZoomEd->value(), 100);
    }

    void wheelWithoutCtrlScrollsAndShiftScrollsSideways()
    {
        newPicture(3000, 3000);
        setZoom(100);
        across()->setValue(500);
        down()->setValue(500);
        wheel(centre(), -120, Qt::NoModifier);
        QCOMPARE(form->ZoomEd->value(), 100);
        QCOMPARE(across()->value(), 500);
        QVERIFY(down()->value() > 500);
        const int downNow = down()->value();
        wheel(centre(), -120, Qt::ShiftModifier);
        QCOMPARE(form->ZoomEd->value(), 100);
        QCOMPARE(down()->value(), downNow);
        QVERIFY(across()->value() > 500);
        wheel(centre(), 120, Qt::ShiftModifier);
        QCOMPARE(across()->value(), 500);
    }

    void zoomKeysStepAboutTheCentre()
    {
        newPicture(2000, 1500);
        setZoom(300);
        across()->setValue(2500);
        down()->setValue(1900);
        QCoreApplication::processEvents();
        const QPoint raster = rasterUnder(centre());
        const struct {
            Qt::Key key;
            Qt::KeyboardModifiers modifiers;
            int zoom;
        } presses[] = {{Qt::Key_Plus, Qt::ControlModifier, 310},
                       {Qt::Key_Equal, Qt::ControlModifier, 320},
                       {Qt::Key_Minus, Qt::ControlModifier, 310},
                       {Qt::Key_0, Qt::ControlModifier, 100}};
        for (const auto &p : presses) {
            key(p.key, p.modifiers);
            QCoreApplication::processEvents();
            QCOMPARE(form->ZoomEd->value(), p.zoom);
            QCOMPARE(rasterUnder(centre()), raster);
        }
        verifyView();
    }

    void ctrlShiftZeroFitsTheWholePicture()
    {
        form->resize(1400, 1100);
        QCoreApplication::processEvents();
        newPicture(6000, 4000);
        key(Qt::Key_0, Qt::ControlModifier | Qt::ShiftModifier);
        QCoreApplication::processEvents();
        const QSize area = form->ScrollBox1->viewport()->size();
        QVERIFY2(area.width() >= 1200 && area.width() < 1800 && area.height() >= 800,
                 "the window test expects room for 20 % and not for 30 %");
        QCOMPARE(form->ZoomEd->value(), 20);
        QCOMPARE(form->PaintBox1->size(), QSize(1200, 800));
        QVERIFY(!across()->isVisible());
        QVERIFY(!down()->isVisible());
        verifyView();

        // A small picture fits at the largest zoom, a very long one at the smallest.
        newPicture(100, 80);
        key(Qt::Key_0, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(form->ZoomEd->value(), 1000);
        newPicture(30000, 8);
        key(Qt::Key_0, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(form->ZoomEd->value(), 10);
    }
};

QTEST_MAIN(TestViewInput)
#include "tst_viewinput.moc"
