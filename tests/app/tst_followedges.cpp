// SPDX-License-Identifier: GPL-3.0-or-later
// Follow edges through the main window: the check box, a stroke in one region of a
// two-region picture colouring that region to its edge and leaving the other as it was,
// the stroke and its spread undone as one step, strokes with the box off painting only
// their discs, strokes queued behind a spread all landing after it, and a picture opened
// with the box ticked spreading by its own edges.
#include "app/WindowFixture.h"
#include "support/BmpBuilder.h"
#include "support/TestSupport.h"

#include <QCheckBox>
#include <QtTest>

class TestFollowEdges : public QObject, WindowFixture {
    Q_OBJECT

    // 240 x 120: grey 70 left of column 120, grey 190 from it on, in both rasters.
    void twoRegions()
    {
        newPicture(240, 120);
        for (const RasterImage *r : {&form->SourceRaster, &form->WorkRaster})
            for (int32_t y = 0; y < 120; ++y)
                for (int32_t x = 0; x < 240; ++x)
                    std::memset(PictureRow(*r, y) + 3 * x, x < 120 ? 70 : 190, 3);
        form->PaintBox1Paint();
    }
    // How many pixels of columns [from, to) differ from the picture as opened.
    int changedIn(int32_t from, int32_t to)
    {
        int changed = 0;
        for (int32_t y = 0; y < 120; ++y)
            for (int32_t x = from; x < to; ++x)
                changed += std::memcmp(PictureRow(form->WorkRaster, y) + 3 * x,
                                       PictureRow(form->SourceRaster, y) + 3 * x, 3)
                           != 0;
        return changed;
    }

private slots:
    void init()
    {
        openWindow();
        twoRegions();
        form->RadiusED->setValue(5);
    }
    void cleanup() { form.reset(); }

    void theBoxIsOffAtStart()
    {
        QCOMPARE(form->FollowEdgesCheck->text(), QStringLiteral("Follow edges"));
        QCOMPARE(form->FollowEdgesCheck->toolTip(),
                 QStringLiteral("Spreads each stroke's colour up to the edges of the picture"));
        QVERIFY(!form->FollowEdgesCheck->isChecked());
        QCOMPARE(form->FollowEdgesCheck->parentWidget()->objectName(), QStringLiteral("SpeedBar1"));
    }

    void aStrokeColoursItsRegionAndLeavesTheOther()
    {
        QTest::mouseClick(form->FollowEdgesCheck, Qt::LeftButton);
        QVERIFY(form->FollowEdgesCheck->isChecked());
        stroke(QPoint(40, 60), QPoint(60, 60));
        // The left region is coloured up to the step (its last column or two may be the
        // edge itself, which takes the nearer side's colour), the right one untouched.
        QCOMPARE(changedIn(0, 118), 118 * 120);
        QCOMPARE(changedIn(122, 240), 0);
        verifyView();
        QCOMPARE(form->UndoHistory.StepCount(), size_t(1));
        form->UndoStep();
        QCOMPARE(Pixels(form->WorkRaster), Pixels(form->SourceRaster));
        verifyView();
        form->RedoStep();
        QCOMPARE(changedIn(0, 118), 118 * 120);
    }

    void aPictureOpenedWithTheBoxTickedSpreadsByItsOwnEdges()
    {
        // Ticked on the two-region picture, whose step is at column 120; the file
        // opened next has its step at column 60.
        QTest::mouseClick(form->FollowEdgesCheck, Qt::LeftButton);
        testsupport::Picture steps{240, 120, 8, {{70, 70, 70}, {190, 190, 190}}, {}};
        for (int32_t y = 0; y < 120; ++y)
            for (int32_t x = 0; x < 240; ++x)
                steps.values.push_back(x < 60 ? 0 : 1);
        const testsupport::TempDir dir;
        const std::string name = dir.file("steps.bmp");
        QVERIFY(testsupport::WriteFileBytes(name, testsupport::MakeBmp(steps)));
        form->openfilenow(QString::fromStdString(name));
        stroke(QPoint(20, 60), QPoint(30, 60));
        QCOMPARE(changedIn(0, 58), 58 * 120);
        QCOMPARE(changedIn(62, 240), 0);
        verifyView();
    }

    void withTheBoxOffAStrokePaintsOnlyItsDisc()
    {
        stroke(QPoint(40, 60), QPoint(60, 60));
        // Radius 5 along 20 pixels: at most 31 x 11 pixels.
        QVERIFY(changedIn(0, 240) <= 31 * 11);
        QVERIFY(changedIn(0, 240) > 0);
        QCOMPARE(getpixel(form->WorkRaster, 5, 5), getpixel(form->SourceRaster, 5, 5));
    }

    void strokesQueuedBehindASpreadAllLandAfterIt()
    {
        QTest::mouseClick(form->FollowEdgesCheck, Qt::LeftButton);
        // Both strokes arrive before the first release is handled: the first spreads
        // before the second begins, and the second (in the other region) still lands.
        auto post = [this](QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held,
                           QPoint at) {
            QCoreApplication::postEvent(form->PaintBox1,
                                        new QMouseEvent(type, QPointF(at),
                                                        QPointF(form->PaintBox1->mapToGlobal(at)),
                                                        button, held, Qt::NoModifier));
        };
        press(QPoint(30, 30));
        move(QPoint(50, 40));
        post(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, QPoint(50, 40));
        post(QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, QPoint(200, 90));
        post(QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, QPoint(210, 95));
        post(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, QPoint(210, 95));
        QCoreApplication::processEvents();
        QCOMPARE(form->UndoHistory.StepCount(), size_t(2));
        QCOMPARE(changedIn(0, 118), 118 * 120);
        QCOMPARE(changedIn(124, 240), 116 * 120);
        verifyView();
        form->UndoStep();
        QCOMPARE(changedIn(122, 240), 0);
        QCOMPARE(changedIn(0, 118), 118 * 120);
    }
};

QTEST_MAIN(TestFollowEdges)
#include "tst_followedges.moc"
