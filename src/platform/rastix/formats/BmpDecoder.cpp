// SPDX-License-Identifier: GPL-3.0-or-later
// BMP files and bare DIBs: 1-, 4- and 8-bit pictures keep their colour table (2-bit
// ones become 4-bit), 16-, 24- and 32-bit ones become 24-bit. A 32-bit picture's
// fourth byte (alpha or padding) is ignored, as GDI does when it draws one.
#include "platform/rastix/Rastix.h"
#include "platform/rastix/formats/BmpHeader.h"
#include "platform/rastix/formats/BmpRle.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace rastix {

namespace {

// One channel of a 16- or 32-bit pixel: masked, shifted and widened to 0..255 by
// repeating its bits (5-bit 10110 becomes 10110101), as GDI and most readers do;
// channels wider than 8 bits keep their top 8.
struct Channel {
    uint32_t mask = 0;
    int shift = 0;
    int width = 0;

    explicit Channel(uint32_t m) : mask(m)
    {
        if (m) {
            shift = std::countr_zero(m);
            width = std::bit_width(m >> shift);
        }
    }
    uint8_t operator()(uint32_t pixel) const
    {
        if (!width)
            return 0;
        const uint32_t v = (pixel & mask) >> shift;
        if (width >= 8)
            return uint8_t(v >> (width - 8));
        uint32_t widened = v;
        int bits = width;
        while (bits < 8) {
            widened = widened << width | v;
            bits += width;
        }
        return uint8_t(widened >> (bits - 8));
    }
};

void CopyPalette(Bytes file, const BmpLayout &layout, RasterImage &raster)
{
    for (int i = 0; i < layout.paletteCount; ++i) {
        const uint8_t *e = file.data + layout.paletteOffset + size_t(i) * layout.paletteEntryBytes;
        SetColour(raster, i, e[2], e[1], e[0]);
    }
    FinishPalette(raster);
}

// The raster row that stored row `row` of the file goes to: a bottom-up file stores the
// picture's last row first.
uint8_t *TargetRow(const RasterImage &raster, const BmpLayout &layout, int64_t row)
{
    return PictureRow(raster, layout.topDown ? row : layout.height - 1 - row);
}

void UnpackIndexedRow(const uint8_t *in, uint8_t *out, const BmpLayout &layout, int64_t width)
{
    const uint8_t last = uint8_t(layout.paletteCount - 1);
    switch (layout.bits) {
    case 1:
    case 4:
    case 8: {
        const size_t bytes = size_t((width * layout.bits + 7) / 8);
        std::memcpy(out, in, bytes);
        if (layout.paletteCount >= (1 << layout.bits))
            return;
        // Clamp indices the colour table does not hold.
        if (layout.bits == 8) {
            for (int64_t x = 0; x < width; ++x)
                out[x] = std::min(out[x], last);
        } else if (layout.bits == 4) {
            for (int64_t x = 0; x < width; ++x) {
                uint8_t &b = out[x / 2];
                if (x % 2 == 0)
                    b = uint8_t(std::min<uint8_t>(b >> 4, last) << 4 | (b & 15));
                else
                    b = uint8_t((b & 0xf0) | std::min<uint8_t>(b & 15, last));
            }
        } else {
            // One-colour 1-bit table: every pixel is index 0.
            std::memset(out, 0, bytes);
        }
        return;
    }
    case 2:
        // Two 2-bit pixels of the file become one byte of nibbles.
        for (int64_t x = 0; x < width; ++x) {
            const uint8_t index = std::min<uint8_t>((in[x / 4] >> (6 - 2 * (x % 4))) & 3, last);
            uint8_t &b = out[x / 2];
            b = x % 2 == 0 ? uint8_t(index << 4) : uint8_t(b | index);
        }
        return;
    }
}

void UnpackColourRow(const uint8_t *in, uint8_t *out, const BmpLayout &layout, int64_t width,
                     const Channel (&channels)[3])
{
    if (layout.bits == 24) {
        std::memcpy(out, in, size_t(width) * 3);
        return;
    }
    if (layout.bits == 32 && layout.masks[0] == 0xff0000 && layout.masks[1] == 0xff00
        && layout.masks[2] == 0xff) {
        for (int64_t x = 0; x < width; ++x) {
            out[3 * x] = in[4 * x];
            out[3 * x + 1] = in[4 * x + 1];
            out[3 * x + 2] = in[4 * x + 2];
        }
        return;
    }
    for (int64_t x = 0; x < width; ++x) {
        const uint32_t pixel = layout.bits == 16 ? Le16(in + 2 * x) : Le32(in + 4 * x);
        out[3 * x] = channels[2](pixel);
        out[3 * x + 1] = channels[1](pixel);
        out[3 * x + 2] = channels[0](pixel);
    }
}

} // namespace

bool IsBmp(Bytes file)
{
    return LooksLikeBmp(file);
}

RasterImage DecodeBmp(Bytes file)
{
    const BmpLayout layout = ReadBmpLayout(file);
    if (!layout.error.empty())
        return FailedRaster(layout.error);

    const Bytes data{file.data + layout.pixelOffset, file.size - layout.pixelOffset};
    const bool compressed = layout.compression == BI_RLE8 || layout.compression == BI_RLE4;
    const int64_t fileStride = (layout.width * layout.bits + 31) / 32 * 4;
    // The last row needs only its pixels, not its padding.
    const int64_t needed = fileStride * (layout.height - 1) + (layout.width * layout.bits + 7) / 8;
    if (!compressed && int64_t(data.size) < needed)
        return DamagedRaster("the file ends before its last row (" + std::to_string(data.size)
                             + " of " + std::to_string(needed) + " bytes of pixel data)");

    const int depth = layout.bits == 2 ? 4 : layout.bits > 8 ? 24 : layout.bits;
    RasterImage raster = newdib(int32_t(layout.width), int32_t(layout.height), depth, nullptr, 0);
    if (!raster.Pixels)
        return FailedRaster("There is not enough memory for the picture");
    if (depth <= 8)
        CopyPalette(file, layout, raster);

    if (compressed) {
        const std::string problem = UnpackBmpRle(data, raster, layout.paletteCount);
        if (!problem.empty()) {
            deldib(raster);
            return DamagedRaster(problem);
        }
        return raster;
    }

    const Channel channels[3] = {Channel(layout.masks[0]), Channel(layout.masks[1]),
                                 Channel(layout.masks[2])};
    for (int64_t row = 0; row < layout.height; ++row) {
        const uint8_t *in = data.data + fileStride * row;
        uint8_t *out = TargetRow(raster, layout, row);
        if (depth <= 8)
            UnpackIndexedRow(in, out, layout, layout.width);
        else
            UnpackColourRow(in, out, layout, layout.width, channels);
    }
    return raster;
}

} // namespace rastix
