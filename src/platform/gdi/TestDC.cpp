// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/gdi/TestDC.h"

#include <algorithm>

namespace gdi {

TestDC::TestDC(const TestDCOptions &options)
    : options_(options), image_(options.width, options.height, QImage::Format_RGB32)
{
    image_.fill(options.background);
    Target(&image_, QPoint(0, 0), image_.rect());
    SetMessageSink(this);
}

int TestDC::Technology() const
{
    return options_.printer ? DT_RASPRINTER : DT_RASDISPLAY;
}

int TestDC::RasterCaps() const
{
    int caps = RC_BITBLT | RC_STRETCHBLT | RC_STRETCHDIB;
    if (options_.dibToDevice)
        caps |= RC_DIBTODEV;
    return caps;
}

int TestDC::SetDIBitsToDevice(int x, int y, int width, int height, int xSrc, int ySrc,
                              int startScan, int lines, const void *bits,
                              const BITMAPINFOHEADER *info)
{
    if (options_.refuseSetDIBitsToDevice)
        return 0;
    return ImageDC::SetDIBitsToDevice(x, y, width, height, xSrc, ySrc, startScan, lines, bits,
                                      info);
}

int TestDC::StretchDIBits(int xDst, int yDst, int wDst, int hDst, int xSrc, int ySrc, int wSrc,
                          int hSrc, const void *bits, const BITMAPINFOHEADER *info, uint32_t rop)
{
    if (options_.refuseStretchDIBits)
        return GDI_ERROR;
    return ImageDC::StretchDIBits(xDst, yDst, wDst, hDst, xSrc, ySrc, wSrc, hSrc, bits, info, rop);
}

HBITMAP TestDC::CreateCompatibleBitmap(int width, int height)
{
    return options_.refuseCompatibleBitmap ? nullptr
                                           : ImageDC::CreateCompatibleBitmap(width, height);
}

int TestDC::SetDIBits(HBITMAP bitmap, int startScan, int lines, const void *bits,
                      const BITMAPINFOHEADER *info)
{
    return options_.refuseSetDIBits ? 0 : ImageDC::SetDIBits(bitmap, startScan, lines, bits, info);
}

bool TestDC::StretchBlt(int x, int y, int width, int height, const DeviceContext &src, int xSrc,
                        int ySrc, int wSrc, int hSrc, uint32_t rop)
{
    return !options_.refuseStretchBlt
           && ImageDC::StretchBlt(x, y, width, height, src, xSrc, ySrc, wSrc, hSrc, rop);
}

int TestDC::CountOf(const std::string &call) const
{
    return int(std::count(calls_.begin(), calls_.end(), call));
}

} // namespace gdi
