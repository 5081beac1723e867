// SPDX-License-Identifier: GPL-3.0-or-later
// What the picture view must show: every pixel of PaintBox1's surface is the work
// raster pixel that nearest-neighbour scaling at the current zoom puts there, once the
// brush outline (when shown) is inverted away again.
#pragma once

#include "app/MainForm.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/SurfaceDC.h"
#include "widgets/SpinEdit.h"
#include "widgets/SurfacePaintBox.h"

#include <QImage>
#include <QString>

// Empty when the view shows the work raster; otherwise the first pixel that does not.
inline QString ViewMismatch(const TMainForm &form)
{
    const RasterImage &w = form.WorkRaster;
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
            const uint8_t *p = w.Pixels + (height - 1 - row) * w.Stride + 3 * column;
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
