// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/DepthConversion.h"

#include "platform/rastix/Rastix.h"

namespace document {

namespace {

constexpr uint32_t kWhite = 16777215;

void Report(const ProgressSink &progress, int32_t percent)
{
    if (progress)
        progress(percent);
}

// One memory row of an indexed source: the 4-bit row when nibbles is set, else 8-bit.
void ConvertIndexedRow(const RasterImage &source, const RasterImage &target, int32_t r,
                       int32_t width, bool nibbles)
{
    const uint8_t *in = source.Pixels + int64_t(source.Stride) * r;
    uint8_t *out = target.Pixels + int64_t(target.Stride) * r;
    const PALETTEENTRY *palette = source.Palette.palPalEntry;
    for (int32_t x = 0; x < width; ++x) {
        uint8_t index;
        if (nibbles) {
            const uint8_t b = in[x / 2];
            index = (x % 2 == 0) ? uint8_t(b >> 4) : uint8_t(b & 15);
        } else {
            index = in[x];
        }
        const PALETTEENTRY &entry = palette[index];
        out[3 * x] = entry.peBlue;
        out[3 * x + 1] = entry.peGreen;
        out[3 * x + 2] = entry.peRed;
    }
}

void ConvertBitRow(const RasterImage &source, const RasterImage &target, int32_t y, int32_t width)
{
    for (int32_t x = 0; x < width; ++x)
        setpixel(target, x, y, getpixel(source, x, y) == 0 ? 0 : kWhite);
}

DepthConversion Convert(const RasterImage &source, const ProgressSink &progress,
                        const RasterLibrary &library)
{
    const int32_t bits = RasterBitCount(source);
    const int32_t height = RasterHeight(source);
    const int32_t width = RasterWidth(source);
    if (!RasterExists(source))
        return {};
    if (bits == 24)
        return {source, true};
    if (bits != 1 && bits != 4 && bits != 8)
        return {};

    const RasterImage target = library.New(width, height, 24);
    if (!RasterExists(target) || RasterWidth(target) != width || RasterHeight(target) != height
        || RasterBitCount(target) != 24) {
        if (target.Storage != 0)
            library.Delete(target);
        return {};
    }

    for (int32_t y = 0; y < height; ++y) {
        Report(progress, RowProgress(y, height));
        if (bits == 1)
            ConvertBitRow(source, target, y, width);
        else
            ConvertIndexedRow(source, target, y, width, bits == 4);
    }
    return {target, true};
}

} // namespace

DepthConversion DepthUpTo(const RasterImage &source, int32_t depth, const ProgressSink &progress,
                          const RasterLibrary &library)
{
    Report(progress, 0);
    DepthConversion result = depth == 24 ? Convert(source, progress, library) : DepthConversion{};
    Report(progress, 0);
    return result;
}

bool ConvertInPlace(RasterImage &raster, int32_t depth, const ProgressSink &progress,
                    const RasterLibrary &library)
{
    const DepthConversion converted = DepthUpTo(raster, depth, progress, library);
    if (!converted.Ok)
        return false;
    if (converted.Raster.Pixels != raster.Pixels) {
        library.Delete(raster);
        raster = converted.Raster;
    }
    return true;
}

} // namespace document
