// SPDX-License-Identifier: GPL-3.0-or-later
// The whole-picture buttons through the main window: each changes WorkRaster as its
// operation does and redraws the view, the progress bar shows while it runs and is
// empty afterwards, and Soften without memory shows its message and changes nothing.
#include "app/FakeServices.h"
#include "app/MainForm.h"
#include "colour/DoPix.h"
#include "ops/ApplyFilter.h"
#include "widgets/ProgressStatusBar.h"
#include "widgets/SpinEdit.h"
#include "widgets/SurfacePaintBox.h"

#include <QPushButton>
#include <QToolButton>
#include <QtTest>

#include <cstring>
#include <memory>
#include <vector>

namespace {

std::vector<uint8_t> Bytes(const RasterImage &raster)
{
    return std::vector<uint8_t>(raster.Pixels, raster.Pixels + RasterImageSize(raster));
}

// The largest percentage whose bar the status bar painted before SetProStatus returned.
class BarWatch : public QObject {
public:
    explicit BarWatch(TMainForm &form) : form_(form) { form.StatusBar1->installEventFilter(this); }
    int Highest = -1;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            Highest = std::max(Highest, form_.ProgressPercent);
        return false;
    }

private:
    TMainForm &form_;
};

} // namespace

class TestOps : public QObject {
    Q_OBJECT

private:
    FakeMessageService messages;
    FakeFileDialogService dialogs;
    FakeHelpEngine help;
    bool refuseRasters = false;
    std::unique_ptr<TMainForm> form;

    // A picture with every channel varying, in both rasters, shown.
    void patternPicture()
    {
        const RasterImage &s = form->SourceRaster;
        for (int32_t r = 0; r < RasterHeight(s); ++r)
            for (int32_t x = 0; x < RasterWidth(s); ++x) {
                uint8_t *p = s.Pixels + int64_t(r) * s.Stride + 3 * x;
                p[0] = uint8_t(x * 3 + r);
                p[1] = uint8_t(x + r * 5);
                p[2] = uint8_t((x ^ r) * 7);
            }
        std::memcpy(form->WorkRaster.Pixels, s.Pixels, RasterImageSize(s));
        form->PaintBox1Paint();
    }

    // Every view pixel shows the work raster pixel that nearest-neighbour scaling puts
    // there.
    void verifyViewShowsWorkRaster()
    {
        const RasterImage &w = form->WorkRaster;
        const int zoom = form->ZoomEd->value();
        const int64_t width = RasterWidth(w), height = RasterHeight(w);
        const int64_t dw = width * zoom / 100, dh = height * zoom / 100;
        const QRect area =
            form->PaintBox1->SurfaceRect().intersected(QRect(0, 0, int(dw), int(dh)));
        QVERIFY(!area.isEmpty());
        const QImage &surface = form->PaintBox1->Surface();
        const QPoint origin = form->PaintBox1->SurfaceRect().topLeft();
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x) {
                const uint8_t *p =
                    w.Pixels + (height - 1 - height * y / dh) * w.Stride + 3 * (width * x / dw);
                const QRgb got = surface.pixel(x - origin.x(), y - origin.y()) | 0xff000000u;
                if (got != qRgb(p[2], p[1], p[0]))
                    QFAIL(qPrintable(QStringLiteral("view pixel %1,%2").arg(x).arg(y)));
            }
    }

    // The progress panel holds no navy pixel and the window keeps 0.
    void verifyProgressPanelEmpty()
    {
        QCOMPARE(form->ProgressPercent, 0);
        const QImage &bar = form->StatusBar1->Surface();
        const QRect panel = form->StatusBar1->PanelRect(ProgressStatusBar::kOwnerDrawnPanel);
        for (int y = panel.top(); y <= panel.bottom(); ++y)
            for (int x = panel.left(); x <= panel.right(); ++x)
                QVERIFY(bar.pixel(x, y) != qRgb(0, 0, 128));
    }

private slots:
    void init()
    {
        refuseRasters = false;
        MainFormSeams seams;
        seams.Messages = &messages;
        seams.Dialogs = &dialogs;
        seams.Help = &help;
        seams.Rasters.NewDib = [this](int32_t w, int32_t h, int32_t bits, const void *colours,
                                      int32_t count) {
            return refuseRasters ? RasterImage{} : newdib(w, h, bits, colours, count);
        };
        messages.Boxes.clear();
        form = std::make_unique<TMainForm>(seams);
        form->resize(900, 700);
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        QCoreApplication::processEvents();
        patternPicture();
    }
    void cleanup() { form.reset(); }

    void grayscaleGreysTheWorkPictureWithProgress()
    {
        const auto source = Bytes(form->SourceRaster);
        std::vector<uint8_t> expected = source;
        const RasterImage &w = form->WorkRaster;
        for (int32_t r = 0; r < RasterHeight(w); ++r)
            for (int32_t x = 0; x < RasterWidth(w); ++x) {
                uint8_t *p = expected.data() + size_t(r) * size_t(w.Stride) + 3 * size_t(x);
                p[0] = p[1] = p[2] = uint8_t((30 * p[2] + 59 * p[1] + 11 * p[0]) / 100);
            }
        BarWatch watch(*form);
        QTest::mouseClick(form->GrrayBtn, Qt::LeftButton);
        QVERIFY(Bytes(form->WorkRaster) == expected);
        QVERIFY(Bytes(form->SourceRaster) == source);
        verifyViewShowsWorkRaster();
        QCOMPARE(watch.Highest, 100);
        verifyProgressPanelEmpty();
    }

    void softenFiltersTheWorkPictureWithProgress()
    {
        // The literal filter on a copy gives the bytes the button must leave.
        const RasterImage copy = newdib(320, 200, 24, nullptr, 0);
        std::memcpy(copy.Pixels, form->WorkRaster.Pixels, RasterImageSize(copy));
        QCOMPARE(ops::ApplyFilter(copy, ops::SoftenKernel, {}), ops::FilterResult::Filtered);
        const auto expected = Bytes(copy);
        deldib(copy);
        QVERIFY(Bytes(form->WorkRaster) != expected);
        BarWatch watch(*form);
        QTest::mouseClick(form->SoftenBtn, Qt::LeftButton);
        QVERIFY(Bytes(form->WorkRaster) == expected);
        verifyViewShowsWorkRaster();
        QCOMPARE(watch.Highest, 100);
        verifyProgressPanelEmpty();
        QVERIFY(messages.Boxes.isEmpty());
    }

    void softenWithoutMemoryShowsTheErrorAndChangesNothing()
    {
        const auto before = Bytes(form->WorkRaster);
        refuseRasters = true;
        QTest::mouseClick(form->SoftenBtn, Qt::LeftButton);
        QCOMPARE(messages.Boxes.size(), 1);
        QCOMPARE(messages.Boxes[0].Text,
                 QStringLiteral("Error: Not enough memory for this function!!!"));
        QCOMPARE(messages.Boxes[0].Caption, QStringLiteral("Error"));
        QCOMPARE(messages.Boxes[0].Icon, MessageIcon::Error);
        QVERIFY(Bytes(form->WorkRaster) == before);
        verifyViewShowsWorkRaster();
        verifyProgressPanelEmpty();
    }

    void softenOfAnIndexedPictureSaysNothing()
    {
        const RasterImage indexed = newdib(320, 200, 8, nullptr, 0);
        std::memset(indexed.Pixels, 3, RasterImageSize(indexed));
        deldib(form->WorkRaster);
        form->WorkRaster = indexed;
        QTest::mouseClick(form->SoftenBtn, Qt::LeftButton);
        QVERIFY(messages.Boxes.isEmpty());
        QVERIFY(Bytes(form->WorkRaster) == std::vector<uint8_t>(RasterImageSize(indexed), 3));
        verifyProgressPanelEmpty();
    }

    void colorizeEverythingPaintsEveryPixelAndTheEraserRestoresThem()
    {
        // The brightness first: its change handler may take the colour from the spin edits.
        form->BrightEd->setValue(-20);
        form->CurHue = 143;
        form->CurSat = 157;
        const auto source = Bytes(form->SourceRaster);
        const RasterImage literal = newdib(320, 200, 24, nullptr, 0);
        for (int32_t y = 0; y < 200; ++y)
            for (int32_t x = 0; x < 320; ++x)
                colour::DoPix(form->SourceRaster, literal, x, y, 143, 157, -20, true);
        const auto expected = Bytes(literal);
        deldib(literal);
        QTest::mouseClick(form->ColorAllBtn, Qt::LeftButton);
        QVERIFY(Bytes(form->WorkRaster) == expected);
        verifyViewShowsWorkRaster();

        QTest::mouseClick(form->RadiergummiBtn, Qt::LeftButton);
        QVERIFY(!form->ColorierenBtn->isChecked());
        QTest::mouseClick(form->ColorAllBtn, Qt::LeftButton);
        QVERIFY(Bytes(form->WorkRaster) == source);
        verifyViewShowsWorkRaster();
        verifyProgressPanelEmpty();
    }
};

QTEST_MAIN(TestOps)
#include "tst_ops.moc"
