// SPDX-License-Identifier: GPL-3.0-or-later
// The original at a glance: while the backslash key is held the view shows the picture
// as opened, whatever has the focus, and paints nothing; releasing it shows the work.
#include "app/WindowFixture.h"

#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>
#include <QtTest>

class TestOriginal : public QObject, WindowFixture {
    Q_OBJECT

    void sendBackslash(QEvent::Type type, bool repeat, QWidget *to = nullptr)
    {
        QKeyEvent e(type, Qt::Key_Backslash, Qt::NoModifier, QStringLiteral("\\"), repeat);
        QCoreApplication::sendEvent(to ? to : form.get(), &e);
    }

    // A picture whose work differs from its source: a stroke and a whole-picture
    // operation over the pattern.
    void editedPicture()
    {
        patternPicture();
        stroke(QPoint(40, 40), QPoint(200, 120));
        form->GrrayBtn->click();
        QVERIFY(Pixels(form->WorkRaster) != Pixels(form->SourceRaster));
    }

private slots:
    void init() { openWindow({}, true); }
    void cleanup() { form.reset(); }

    void heldShowsTheSourceAndReleasedTheWork_data()
    {
        QTest::addColumn<int>("zoom");
        QTest::newRow("100") << 100;
        QTest::newRow("300") << 300;
    }
    void heldShowsTheSourceAndReleasedTheWork()
    {
        QFETCH(int, zoom);
        editedPicture();
        form->ZoomEd->setValue(zoom);
        form->ScrollBox1->horizontalScrollBar()->setValue(150);
        QCoreApplication::processEvents();
        const Bytes source = Pixels(form->SourceRaster);
        const Bytes work = Pixels(form->WorkRaster);

        QTest::keyPress(form.get(), Qt::Key_Backslash);
        verifyView(&form->SourceRaster);
        // The key repeating while held changes nothing.
        for (int i = 0; i < 3; ++i) {
            sendBackslash(QEvent::KeyRelease, true);
            sendBackslash(QEvent::KeyPress, true);
            verifyView(&form->SourceRaster);
        }
        // A press on the view paints nothing, and a repaint still shows the source.
        stroke(QPoint(60, 60), QPoint(90, 80));
        form->PaintBox1Paint();
        verifyView(&form->SourceRaster);

        QTest::keyRelease(form.get(), Qt::Key_Backslash);
        verifyView();
        QCOMPARE(Pixels(form->SourceRaster), source);
        QCOMPARE(Pixels(form->WorkRaster), work);
    }

    void worksWithTheFocusInAZoomBox()
    {
        editedPicture();
        form->ZoomEd->setFocus();
        QCoreApplication::processEvents();
        const QString zoomText = form->ZoomEd->text();
        QTest::keyPress(form->ZoomEd, Qt::Key_Backslash);
        verifyView(&form->SourceRaster);
        QTest::keyRelease(form->ZoomEd, Qt::Key_Backslash);
        verifyView();
        QCOMPARE(form->ZoomEd->text(), zoomText);
    }

    void undoAndZoomWhileHeldKeepTheSourceOnScreen()
    {
        editedPicture();
        QTest::keyPress(form.get(), Qt::Key_Backslash);
        key(Qt::Key_Z);
        verifyView(&form->SourceRaster);
        key(Qt::Key_Equal);
        QCOMPARE(form->ZoomEd->value(), 110);
        verifyView(&form->SourceRaster);
        QTest::keyRelease(form.get(), Qt::Key_Backslash);
        verifyView();
    }

    void losingTheKeyboardShowsTheWork()
    {
        editedPicture();
        QTest::keyPress(form.get(), Qt::Key_Backslash);
        QEvent deactivate(QEvent::WindowDeactivate);
        QCoreApplication::sendEvent(form.get(), &deactivate);
        verifyView();
        // Painting works again at once.
        const Bytes before = Pixels(form->WorkRaster);
        form->ToolButton2->click();
        stroke(QPoint(100, 100), QPoint(140, 100));
        QVERIFY(Pixels(form->WorkRaster) != before);
    }

    void aPressDuringAStrokeIsIgnored()
    {
        editedPicture();
        press(QPoint(50, 50));
        QTest::keyPress(form.get(), Qt::Key_Backslash);
        move(QPoint(80, 50));
        verifyView();
        release(QPoint(80, 50));
        QTest::keyRelease(form.get(), Qt::Key_Backslash);
        verifyView();
    }
};

QTEST_MAIN(TestOriginal)
#include "tst_original.moc"
