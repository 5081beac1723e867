// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/RasterQImage.h"

#include "platform/rastix/Rastix.h"

namespace document {

QImage RasterToQImage(const RasterImage &raster)
{
    const int w = RasterWidth(raster);
    const int h = RasterHeight(raster);
    const int bits = RasterBitCount(raster);
    if (!raster.Pixels || w <= 0 || h <= 0)
        return QImage();
    QImage image(w, h, QImage::Format_RGB888);
    if (image.isNull())
        return image;
    for (int y = 0; y < h; ++y) {
        uchar *out = image.scanLine(y);
        if (bits == 24) {
            // Memory rows are bottom-up, pixels blue, green, red.
            const uint8_t *in = PictureRow(raster, y);
            for (int x = 0; x < w; ++x) {
                out[3 * x] = in[3 * x + 2];
                out[3 * x + 1] = in[3 * x + 1];
                out[3 * x + 2] = in[3 * x];
            }
        } else {
            const RGBQUAD *table = raster.ColourTable();
            const uint32_t count = uint32_t(RasterColourCount(raster));
            for (int x = 0; x < w; ++x) {
                const uint32_t index = getpixel(raster, x, y);
                const RGBQUAD c = index < count ? table[index] : RGBQUAD{0, 0, 0, 0};
                out[3 * x] = c.rgbRed;
                out[3 * x + 1] = c.rgbGreen;
                out[3 * x + 2] = c.rgbBlue;
            }
        }
    }
    return image;
}

RasterImage QImageToRaster(const QImage &image, const RasterLibrary &library)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    if (rgb.isNull())
        return RasterImage{};
    const RasterImage raster = library.New(rgb.width(), rgb.height(), 24);
    if (!RasterExists(raster)) {
        if (raster.Storage)
            library.Delete(raster);
        return RasterImage{};
    }
    for (int y = 0; y < rgb.height(); ++y) {
        const uchar *in = rgb.constScanLine(y);
        uint8_t *out = PictureRow(raster, y);
        for (int x = 0; x < rgb.width(); ++x) {
            out[3 * x] = in[3 * x + 2];
            out[3 * x + 1] = in[3 * x + 1];
            out[3 * x + 2] = in[3 * x];
        }
    }
    return raster;
}

} // namespace document
