// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/PrintRaster.h"

#include "platform/gdi/PrinterDC.h"
#include "view/DrawRaster.h"

#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>

namespace view {

PrintPage PageOf(const QPagedPaintDevice &device)
{
    const QPageLayout layout = device.pageLayout();
    const int resolution = device.logicalDpiX();
    if (!layout.isValid() || resolution <= 0)
        return {};
    const QRect full = layout.fullRectPixels(resolution);
    const QRect paint = layout.paintRectPixels(resolution);
    return {full.width(), full.height(),
            Rect{paint.left(), paint.top(), paint.left() + paint.width(),
                 paint.top() + paint.height()}};
}

PrintResult PrintRaster(QPagedPaintDevice &device, const RasterImage &raster,
                        const PrintChoice &choice, gdi::MessageSink *sink)
{
    if (!raster.Pixels)
        return PrintResult::NoPicture;
    const PrintPage page = PageOf(device);
    const int32_t width = RasterWidth(raster);
    const int32_t height = RasterHeight(raster);
    const Rect place = PrintPlacement(page, width, height, choice);
    if (place.Empty())
        return PrintResult::NoPrintableArea;

    QPainter painter;
    if (!painter.begin(&device))
        return PrintResult::CouldNotStart;
    {
        gdi::PrinterDC dc(painter);
        dc.SetMessageSink(sink);
        // The painter's origin is the corner of the printable area.
        DrawRaster(&dc, place.Left - page.Printable.Left, place.Top - page.Printable.Top,
                   place.Width(), place.Height(), raster, 0, 0, width, height, false, SRCCOPY, true,
                   nullptr);
    }
    return painter.end() ? PrintResult::Printed : PrintResult::CouldNotFinish;
}

} // namespace view
