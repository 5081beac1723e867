// SPDX-License-Identifier: GPL-3.0-or-later
// Undo and redo through the main window: the keys, what they put back in both rasters
// and on the view, and when they do nothing.
#include "app/WindowFixture.h"
#include "support/BmpBuilder.h"

#include <QMouseEvent>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include <cstring>
#include <fstream>
#include <memory>
#include <vector>

class TestUndo : public QObject, WindowFixture {
    Q_OBJECT

private slots:
    void init() { openWindow({}, true); }
    void cleanup() { form.reset(); }

    void ctrlZUndoesAStrokeAndBothRedoKeysBringItBack()
    {
        const Bytes start = Pixels(form->WorkRaster);
        stroke(QPoint(40, 40), QPoint(120, 90));
        const Bytes painted = Pixels(form->WorkRaster);
        QVERIFY(painted != start);

        key(Qt::Key_Z);
        QCOMPARE(Pixels(form->WorkRaster), start);
        QCOMPARE(Pixels(form->SourceRaster), start);
        verifyView();

        key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(Pixels(form->WorkRaster), painted);
        verifyView();
        key(Qt::Key_Z);
        key(Qt::Key_Y);
        QCOMPARE(Pixels(form->WorkRaster), painted);
        verifyView();

        // Nothing more to redo, then nothing more to undo: the keys do nothing.
        key(Qt::Key_Y);
        QCOMPARE(Pixels(form->WorkRaster), painted);
        key(Qt::Key_Z);
        key(Qt::Key_Z);
        key(Qt::Key_Z);
        QCOMPARE(Pixels(form->WorkRaster), start);
    }

    void wholePictureOperationsAreStepsToo()
    {
        const Bytes start = Pixels(form->WorkRaster);
        form->ToolButton2->click(); // "Sky", so the strokes are coloured
        stroke(QPoint(40, 40), QPoint(120, 90));
        stroke(QPoint(200, 150), QPoint(100, 20));
        const Bytes twoStrokes = Pixels(form->WorkRaster);
        form->GrrayBtn->click();
        QVERIFY(Pixels(form->WorkRaster) != twoStrokes);
        key(Qt::Key_Z);
        QCOMPARE(Pixels(form->WorkRaster), twoStrokes);
        key(Qt::Key_Z);
        key(Qt::Key_Z);
        QCOMPARE(Pixels(form->WorkRaster), start);
        verifyView();

        // Soften and Colorize everything (with either tool) undo and redo the same way.
        key(Qt::Key_Y);
        form->SoftenBtn->click();
        const Bytes softened = Pixels(form->WorkRaster);
        form->ColorAllBtn->click();
        form->RadiergummiBtn->click();
        form->ColorAllBtn->click();
        QCOMPARE(Pixels(form->WorkRaster), Pixels(form->SourceRaster));
        key(Qt::Key_Z);
        key(Qt::Key_Z);
        QCOMPARE(Pixels(form->WorkRaster), softened);
        verifyView();
        key(Qt::Key_Y);
        key(Qt::Key_Y);
        QCOMPARE(Pixels(form->WorkRaster), Pixels(form->SourceRaster));
    }

    void keysDoNothingWhileTheButtonIsHeld()
    {
        stroke(QPoint(30, 30), QPoint(60, 30));
        const Bytes first = Pixels(form->WorkRaster);
        press(QPoint(150, 100));
        const Bytes held = Pixels(form->WorkRaster);
        key(Qt::Key_Z);
        key(Qt::Key_Y);
        QCOMPARE(Pixels(form->WorkRaster), held);
        release(QPoint(150, 100));
        key(Qt::Key_Z);
        QCOMPARE(Pixels(form->WorkRaster), first);
    }

    void undoKeepsTheBrushOutlineWhereItWas()
    {
        stroke(QPoint(50, 50), QPoint(90, 60));
        move(QPoint(100, 100), Qt::NoButton); // the outline shows
        QVERIFY(form->OutlineShown);
        const Rect outline = form->OutlineRect;
        key(Qt::Key_Z);
        QVERIFY(form->OutlineShown);
        QCOMPARE(form->OutlineRect, outline);
        form->PaintBox1Paint(); // removes it: what is left must be the picture itself
        verifyView();
    }

    void keysActOnThePictureWhileASpinBoxHasTheFocus()
    {
        const Bytes start = Pixels(form->WorkRaster);
        stroke(QPoint(40, 40), QPoint(70, 40));
        form->RadiusED->setFocus();
        QTest::keyClick(form->RadiusED, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(Pixels(form->WorkRaster), start);
    }

    void loadingStartsANewHistory()
    {
        stroke(QPoint(40, 40), QPoint(70, 40));
        QVERIFY(form->UndoHistory.CanUndo());
        QTemporaryDir dir;
        const QString name = dir.filePath(QStringLiteral("grey.bmp"));
        const std::vector<uint8_t> file = testsupport::MakeBmp(testsupport::Pattern(50, 40, 8));
        std::ofstream(name.toStdString(), std::ios::binary)
            .write(reinterpret_cast<const char *>(file.data()), std::streamsize(file.size()));
        form->openfilenow(name);
        QCOMPARE(RasterWidth(form->WorkRaster), 50);
        QVERIFY(!form->UndoHistory.CanUndo());
        const Bytes opened = Pixels(form->WorkRaster);
        key(Qt::Key_Z);
        QCOMPARE(Pixels(form->WorkRaster), opened);
    }
};

QTEST_MAIN(TestUndo)
#include "tst_undo.moc"
