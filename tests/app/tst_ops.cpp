// SPDX-License-Identifier: GPL-3.0-or-later
// The whole-picture buttons through the main window: each changes WorkRaster as its
// operation does and redraws the view, the progress bar shows while it runs and is
// empty afterwards, and Soften without memory shows its message and changes nothing.
#include "app/WindowFixture.h"
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

class TestOps : public QObject, WindowFixture {
    Q_OBJECT

private:
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
        openWindow({900, 700});
        patternPicture();
    }
    void cleanup() { form.reset(); }

    void grayscaleGreysTheWorkPictureWithProgress()
    {
        const auto source = Pixels(form->SourceRaster);
        Bytes expected = source;
        const RasterImage &w = form->WorkRaster;
        for (int32_t r = 0; r < RasterHeight(w); ++r)
            for (int32_t x = 0; x < RasterWidth(w); ++x) {
                uint8_t *p = expected.data() + size_t(r) * size_t(w.Stride) + 3 * size_t(x);
                p[0] = p[1] = p[2] = uint8_t((30 * p[2] + 59 * p[1] + 11 * p[0]) / 100);
            }
        BarPaints bar(*form);
        QTest::mouseClick(form->GrrayBtn, Qt::LeftButton);
        QVERIFY(Pixels(form->WorkRaster) == expected);
        QVERIFY(Pixels(form->SourceRaster) == source);
        verifyView();
        QCOMPARE(bar.Highest(), 100);
        verifyProgressPanelEmpty();
    }

    void softenFiltersTheWorkPictureWithProgress()
    {
        // The literal filter on a copy gives the bytes the button must leave.
        const RasterImage copy = newdib(320, 200, 24, nullptr, 0);
        std::memcpy(copy.Pixels, form->WorkRaster.Pixels, RasterImageSize(copy));
        QCOMPARE(ops::ApplyFilter(copy, ops::SoftenKernel, {}), ops::FilterResult::Filtered);
        const auto expected = Pixels(copy);
        deldib(copy);
        QVERIFY(Pixels(form->WorkRaster) != expected);
        BarPaints bar(*form);
        QTest::mouseClick(form->SoftenBtn, Qt::LeftButton);
        QVERIFY(Pixels(form->WorkRaster) == expected);
        verifyView();
        QCOMPARE(bar.Highest(), 100);
        verifyProgressPanelEmpty();
        QVERIFY(messages.Boxes.isEmpty());
    }

    void softenWithoutMemoryShowsTheErrorAndChangesNothing()
    {
        const auto before = Pixels(form->WorkRaster);
        refuseRasters = true;
        QTest::mouseClick(form->SoftenBtn, Qt::LeftButton);
        QCOMPARE(messages.Boxes.size(), 1);
        QCOMPARE(messages.Boxes[0].Text,
                 QStringLiteral("Error: Not enough memory for this function!!!"));
        QCOMPARE(messages.Boxes[0].Caption, QStringLiteral("Error"));
        QCOMPARE(messages.Boxes[0].Icon, MessageIcon::Error);
        QVERIFY(Pixels(form->WorkRaster) == before);
        verifyView();
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
        QVERIFY(Pixels(form->WorkRaster) == std::vector<uint8_t>(RasterImageSize(indexed), 3));
        verifyProgressPanelEmpty();
    }

    void colorizeEverythingPaintsEveryPixelAndTheEraserRestoresThem()
    {
        // The brightness first: its change handler may take the colour from the spin edits.
        form->BrightEd->setValue(-20);
        form->CurHue = 143;
        form->CurSat = 157;
        const auto source = Pixels(form->SourceRaster);
        const RasterImage literal = newdib(320, 200, 24, nullptr, 0);
        for (int32_t y = 0; y < 200; ++y)
            for (int32_t x = 0; x < 320; ++x)
                colour::DoPix(form->SourceRaster, literal, x, y, 143, 157, -20, true);
        const auto expected = Pixels(literal);
        deldib(literal);
        QTest::mouseClick(form->ColorAllBtn, Qt::LeftButton);
        QVERIFY(Pixels(form->WorkRaster) == expected);
        verifyView();

        QTest::mouseClick(form->RadiergummiBtn, Qt::LeftButton);
        QVERIFY(!form->ColorierenBtn->isChecked());
        QTest::mouseClick(form->ColorAllBtn, Qt::LeftButton);
        QVERIFY(Pixels(form->WorkRaster) == source);
        verifyView();
        verifyProgressPanelEmpty();
    }
};

QTEST_MAIN(TestOps)
#include "tst_ops.moc"
