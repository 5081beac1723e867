// SPDX-License-Identifier: GPL-3.0-or-later
// What the main window's tests share: the window as the tests see it, a fixture that
// makes it with recording stand-ins for its services, and ways to drive and look at it
// (mouse events, a pattern picture, the raster bytes, the view check, the status bar's
// paints). A test class derives from the fixture beside QObject:
//   class TestBrush : public QObject, WindowFixture { Q_OBJECT ... };
#pragma once

#include "app/FakeServices.h"
#include "app/MainForm.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/SurfaceDC.h"
#include "platform/rastix/Rastix.h"
#include "widgets/ProgressStatusBar.h"
#include "widgets/SpinEdit.h"
#include "widgets/SurfacePaintBox.h"

#include <QImage>
#include <QList>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QScrollArea>
#include <QString>
#include <QTemporaryDir>
#include <QWheelEvent>
#include <QtTest>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

// The main window with the fields and controls it keeps to itself readable and
// writable; TMainForm names this class its one friend.
class TestMainForm : public TMainForm {
public:
    using TMainForm::TMainForm;

    using TMainForm::CollectRecoveryWrite;
    using TMainForm::CurHue;
    using TMainForm::CurSat;
    using TMainForm::HelpFile;
    using TMainForm::LastMouseX;
    using TMainForm::LastMouseY;
    using TMainForm::OutlineRect;
    using TMainForm::OutlineShown;
    using TMainForm::Painting;
    using TMainForm::PaletteRaster;
    using TMainForm::ProgramDir;
    using TMainForm::ProgressPercent;
    using TMainForm::ProgressRect;
    using TMainForm::recovery_;
    using TMainForm::recoveryInterval_;
    using TMainForm::SourceRaster;
    using TMainForm::SyncingEdits;
    using TMainForm::UndoHistory;
    using TMainForm::WorkRaster;

    using TMainForm::About1;
    using TMainForm::AdvertLabel;
    using TMainForm::BrightEd;
    using TMainForm::BrightnessLabel;
    using TMainForm::ColorAllBtn;
    using TMainForm::ColorierenBtn;
    using TMainForm::ColourLabel;
    using TMainForm::Exeit1;
    using TMainForm::File1;
    using TMainForm::FollowEdgesCheck;
    using TMainForm::GrrayBtn;
    using TMainForm::Help1;
    using TMainForm::HueED;
    using TMainForm::HueLabel;
    using TMainForm::KeepTonesCheck;
    using TMainForm::N1;
    using TMainForm::N2;
    using TMainForm::Open1;
    using TMainForm::OpenBtn;
    using TMainForm::OpenDialog1;
    using TMainForm::OuterPanel;
    using TMainForm::PaintBox1;
    using TMainForm::PalPaintBox;
    using TMainForm::Panel11;
    using TMainForm::Panel19;
    using TMainForm::Panel20;
    using TMainForm::Panel4;
    using TMainForm::Panel7;
    using TMainForm::Print1;
    using TMainForm::RadiergummiBtn;
    using TMainForm::RadiusED;
    using TMainForm::RadiusLabel;
    using TMainForm::SatEd;
    using TMainForm::SatLabel;
    using TMainForm::SaturationLabel;
    using TMainForm::Saveas1;
    using TMainForm::SaveAsButton;
    using TMainForm::SaveDialog1;
    using TMainForm::ScrollBox1;
    using TMainForm::Shape1;
    using TMainForm::Shape2;
    using TMainForm::Shape3;
    using TMainForm::Shape4;
    using TMainForm::SoftenBtn;
    using TMainForm::SpeedBar1;
    using TMainForm::StatusBar1;
    using TMainForm::Timer1;
    using TMainForm::ToolBar1;
    using TMainForm::ToolButton1;
    using TMainForm::ToolButton10;
    using TMainForm::ToolButton2;
    using TMainForm::ToolButton3;
    using TMainForm::ToolButton4;
    using TMainForm::ToolButton5;
    using TMainForm::ToolButton6;
    using TMainForm::ToolButton7;
    using TMainForm::ToolButton8;
    using TMainForm::ToolButton9;
    using TMainForm::ToolGroup;
    using TMainForm::ZoomEd;
    using TMainForm::ZoomLabel;
};

// A window's control by the name the window gives it (widgets/NamedWidgets.h); a
// missing one ends the test run, as no later check could make sense.
template <typename W>
W *Control(const QWidget &window, const char *name)
{
    W *control = window.findChild<W *>(QString::fromLatin1(name));
    if (!control)
        qFatal("%s has no control %s of that type", qPrintable(window.objectName()), name);
    return control;
}

// Whether the long soaks (random actions, open and close cycles) run shortened, as the
// quick test command asks with TINTWELL_SOAK=quick.
inline bool QuickSoak()
{
    return qEnvironmentVariable("TINTWELL_SOAK") == QStringLiteral("quick");
}

using Bytes = std::vector<uint8_t>;

// Every byte of a raster's pixel memory.
inline Bytes Pixels(const RasterImage &raster)
{
    return Bytes(raster.Pixels, raster.Pixels + RasterImageSize(raster));
}

// Sends a mouse event to target at a point of its own.
inline void SendMouse(QWidget *target, QEvent::Type type, Qt::MouseButton button,
                      Qt::MouseButtons held, QPoint at)
{
    QMouseEvent e(type, QPointF(at), QPointF(target->mapToGlobal(at)), button, held,
                  Qt::NoModifier);
    QCoreApplication::sendEvent(target, &e);
}

// Empty when the view shows the raster (the work raster unless given): every pixel of
// PaintBox1's surface is the raster pixel that nearest-neighbour scaling at the current
// zoom puts there, once the brush outline (when shown) is inverted away again.
// Otherwise the first pixel that does not.
inline QString ViewMismatch(const TestMainForm &form, const RasterImage *shown = nullptr)
{
    const RasterImage &w = shown ? *shown : form.WorkRaster;
    const int zoom = form.ZoomEd->value();
    const int64_t width = RasterWidth(w), height = RasterHeight(w);
    const int64_t dw = width * zoom / 100, dh = height * zoom / 100;
    const QRect area = form.PaintBox1->SurfaceRect().intersected(QRect(0, 0, int(dw), int(dh)));
    if (area.isEmpty())
        return QStringLiteral("nothing of the picture is visible");
    QImage surface = form.PaintBox1->Surface().copy();
    const QPoint origin = form.PaintBox1->SurfaceRect().topLeft();
    if (form.OutlineShown) {
        gdi::SurfaceDC dc(surface, origin, form.PaintBox1->SurfaceRect(), 32);
        SelectObject(&dc, GetStockObject(HOLLOW_BRUSH));
        SetROP2(&dc, R2_NOT);
        const Rect &r = form.OutlineRect;
        Ellipse(&dc, r.Left, r.Top, r.Right, r.Bottom);
    }
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const int64_t column = width * x / dw;
            const int64_t row = height * y / dh;
            const uint8_t *p = PictureRow(w, row) + 3 * column;
            const QRgb want = qRgb(p[2], p[1], p[0]);
            const QRgb got = surface.pixel(x - origin.x(), y - origin.y()) | 0xff000000u;
            if (got != want)
                return QStringLiteral("view pixel %1,%2 is %3, wants %4")
                    .arg(x)
                    .arg(y)
                    .arg(got, 0, 16)
                    .arg(want, 0, 16);
        }
    return QString();
}

// Counts the paint events one widget receives from when it is made.
class PaintCount : public QObject {
public:
    explicit PaintCount(QWidget *widget) { widget->installEventFilter(this); }
    int paints = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        paints += event->type() == QEvent::Paint;
        return false;
    }
};

// The status bar's paint events, in order, each with the percentage the window held as
// it came: what the bar put on screen and when.
class BarPaints : public QObject {
public:
    explicit BarPaints(const TestMainForm &form) : form_(form)
    {
        form.StatusBar1->installEventFilter(this);
    }
    struct Paint {
        QRect rect;
        int percent;
    };
    QList<Paint> paints;

    // The largest percentage painted, -1 when nothing was.
    int Highest() const
    {
        int highest = -1;
        for (const Paint &p : paints)
            highest = std::max(highest, p.percent);
        return highest;
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            paints.append({static_cast<QPaintEvent *>(event)->rect(), form_.ProgressPercent});
        return false;
    }

private:
    const TestMainForm &form_;
};

// One main window per test, with recording message boxes, file dialogs and help engine;
// RefuseRasters makes every raster the window asks its raster seam for fail. Recovery
// files go to a temporary folder of the fixture's own, or to recoveryFolder when set.
struct WindowFixture {
    FakeMessageService messages;
    FakeFileDialogService dialogs;
    FakeHelpEngine help;
    bool refuseRasters = false;
    QTemporaryDir recoveryDir;
    QString recoveryFolder;
    std::unique_ptr<TestMainForm> form;

    // What the fixture's windows are made with.
    MainFormSeams seams()
    {
        MainFormSeams seams;
        seams.Messages = &messages;
        seams.Dialogs = &dialogs;
        seams.Help = &help;
        seams.Rasters.NewDib = [this](int32_t w, int32_t h, int32_t bits, const void *colours,
                                      int32_t count) {
            return refuseRasters ? RasterImage{} : newdib(w, h, bits, colours, count);
        };
        seams.RecoveryFolder = recoveryFolder.isEmpty() ? recoveryDir.path() : recoveryFolder;
        return seams;
    }

    // Makes the window afresh (size: as the window makes itself when empty) and shows
    // it; active: waits until it has the focus, for tests that type keys.
    void openWindow(QSize size = {}, bool active = false)
    {
        form.reset();
        messages = FakeMessageService();
        dialogs = FakeFileDialogService();
        refuseRasters = false;
        form = std::make_unique<TestMainForm>(seams());
        if (!size.isEmpty())
            form->resize(size);
        form->show();
        if (active) {
            QApplication::setActiveWindow(form.get());
            QVERIFY(QTest::qWaitForWindowActive(form.get()));
        } else {
            QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        }
        QCoreApplication::processEvents();
    }

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

    // Replaces the document by a width x height picture in which every pixel up to
    // 4096 x 4096 has a colour of its own (PatternPixel), shown at the current zoom.
    void newPicture(int32_t width, int32_t height)
    {
        deldib(form->SourceRaster);
        deldib(form->WorkRaster);
        form->SourceRaster = newdib(width, height, 24, nullptr, 0);
        form->WorkRaster = newdib(width, height, 24, nullptr, 0);
        for (int32_t y = 0; y < height; ++y)
            for (int32_t x = 0; x < width; ++x) {
                const QRgb c = PatternPixel(x, y);
                for (const RasterImage *r : {&form->SourceRaster, &form->WorkRaster}) {
                    uint8_t *p = PictureRow(*r, y) + 3 * x;
                    p[0] = uint8_t(qBlue(c));
                    p[1] = uint8_t(qGreen(c));
                    p[2] = uint8_t(qRed(c));
                }
            }
        form->ZoomEdChange();
    }
    static QRgb PatternPixel(int32_t x, int32_t y)
    {
        return qRgb(x & 255, y & 255, (x >> 8 & 15) | (y >> 8 & 15) << 4);
    }
    // The raster pixel newPicture put where the view shows colour c.
    static QPoint PatternPlace(QRgb c)
    {
        return {qRed(c) | (qBlue(c) & 15) << 8, qGreen(c) | (qBlue(c) >> 4) << 8};
    }

    // Mouse events on the picture view.
    void mouse(QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held, QPoint at)
    {
        SendMouse(form->PaintBox1, type, button, held, at);
    }
    void press(QPoint at, Qt::MouseButton button = Qt::LeftButton)
    {
        mouse(QEvent::MouseButtonPress, button, button, at);
    }
    void move(QPoint at, Qt::MouseButtons held = Qt::LeftButton)
    {
        mouse(QEvent::MouseMove, Qt::NoButton, held, at);
    }
    void release(QPoint at, Qt::MouseButton button = Qt::LeftButton)
    {
        mouse(QEvent::MouseButtonRelease, button, Qt::NoButton, at);
    }
    // A press, one move and the release: one stroke step after the first stamp.
    void stroke(QPoint from, QPoint to)
    {
        press(from);
        move(to);
        release(to);
    }
    // A turn of the mouse wheel at a point of the picture area's viewport, as the
    // viewport gets it (over the picture too, as the view leaves turns to it).
    void wheel(QPoint at, int angle, Qt::KeyboardModifiers modifiers = Qt::ControlModifier)
    {
        QWidget *viewport = form->ScrollBox1->viewport();
        QWheelEvent e(QPointF(at), QPointF(viewport->mapToGlobal(at)), QPoint(), QPoint(0, angle),
                      Qt::NoButton, modifiers, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(viewport, &e);
    }
    void key(int k, Qt::KeyboardModifiers modifiers = Qt::ControlModifier)
    {
        QTest::keyClick(form.get(), Qt::Key(k), modifiers);
    }

    // Fails the test unless the view shows the raster (the work raster unless given).
    void verifyView(const RasterImage *shown = nullptr)
    {
        const QString mismatch = ViewMismatch(*form, shown);
        if (!mismatch.isEmpty())
            QFAIL(qPrintable(mismatch));
    }
};
