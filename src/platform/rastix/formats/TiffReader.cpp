// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/rastix/formats/TiffReader.h"

#include "platform/rastix/formats/Decoder.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace rastix {
namespace {

// Copies bits bits from the start of from to bit position at of to, which has a byte
// to spare after them. The bits of to before at are kept; up to a byte after the
// copied ones may change (the next tile's copy writes them again).
void CopyBits(const uint8_t *from, int64_t bits, uint8_t *to, int64_t at)
{
    const size_t bytes = size_t((bits + 7) / 8);
    uint8_t *d = to + at / 8;
    const int shift = int(at % 8);
    if (shift == 0) {
        std::memcpy(d, from, bytes);
        return;
    }
    for (size_t i = 0; i < bytes; ++i) {
        d[i] = uint8_t((d[i] & ~(0xFF >> shift)) | from[i] >> shift);
        d[i + 1] = uint8_t(from[i] << (8 - shift));
    }
}

} // namespace

std::string TiffBandTooLarge()
{
    return "The picture is too large: its TIFF strips or tiles need more than "
           + std::to_string(kMaxWorkingBytes >> 20) + " MiB at once";
}

std::string TiffReader::Damaged(const char *fallback) const
{
    return "The picture is damaged: " + (file.error.empty() ? std::string(fallback) : file.error);
}

bool TiffReader::Direct() const
{
    uint16_t compression = COMPRESSION_NONE, fillOrder = FILLORDER_MSB2LSB;
    uint32_t rowsPerStrip = 0;
    TIFFGetFieldDefaulted(tiff, TIFFTAG_COMPRESSION, &compression);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_FILLORDER, &fillOrder);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_ROWSPERSTRIP, &rowsPerStrip);
    const bool swapped = TIFFIsByteSwapped(tiff) && plan.bits % 8 == 0 && plan.bits > 8;
    if (compression != COMPRESSION_NONE || TIFFIsTiled(tiff) || fillOrder != FILLORDER_MSB2LSB
        || swapped || plan.jpegAsRgb)
        return false;
    const int64_t band = std::clamp<int64_t>(rowsPerStrip, 1, height);
    const int64_t stripsPerPlane = (height + band - 1) / band;
    const int64_t rowBytes = rows.PlaneRowBytes();
    if (int64_t(TIFFNumberOfStrips(tiff)) < stripsPerPlane * Planes())
        return false;
    std::vector<const uint8_t *> starts(size_t(stripsPerPlane * Planes()));
    for (int64_t strip = 0; strip < int64_t(starts.size()); ++strip) {
        const int64_t stripRows = std::min(band, height - strip % stripsPerPlane * band);
        const uint64_t needed = uint64_t(stripRows) * uint64_t(rowBytes);
        const uint64_t offset = TIFFGetStrileOffset(tiff, uint32_t(strip));
        const uint64_t count = TIFFGetStrileByteCount(tiff, uint32_t(strip));
        if (count < needed || offset > file.size || file.size - offset < needed)
            return false;
        starts[size_t(strip)] = file.data + offset;
    }
    std::vector<const uint8_t *> planes(static_cast<size_t>(Planes()));
    for (int64_t y = 0; y < height; ++y) {
        for (int p = 0; p < Planes(); ++p)
            planes[size_t(p)] = starts[size_t(y / band + p * stripsPerPlane)] + y % band * rowBytes;
        rows.Convert(planes.data(), PictureRow(raster, y));
    }
    return true;
}

TiffRead TiffReader::ScanLines() const
{
    const int64_t lineSize = TIFFScanlineSize64(tiff);
    if (lineSize < rows.PlaneRowBytes() || lineSize > kMaxWorkingBytes)
        return {0, Damaged("its TIFF scan lines have the wrong size")};
    std::vector<uint8_t> line(size_t(lineSize) + 8);
    const uint8_t *planes[1] = {line.data()};
    for (int64_t y = 0; y < height; ++y) {
        const int64_t errorsBefore = file.errors;
        if (TIFFReadScanline(tiff, line.data(), uint32_t(y), 0) < 0 || file.errors > errorsBefore)
            return {y, {}};
        rows.Convert(planes, PictureRow(raster, y));
    }
    return {height, {}};
}

TiffRead TiffReader::Bands() const
{
    const bool tiled = TIFFIsTiled(tiff);
    uint32_t tileWidth = 0, bandRows = 0;
    if (tiled) {
        TIFFGetField(tiff, TIFFTAG_TILEWIDTH, &tileWidth);
        TIFFGetField(tiff, TIFFTAG_TILELENGTH, &bandRows);
    } else {
        TIFFGetFieldDefaulted(tiff, TIFFTAG_ROWSPERSTRIP, &bandRows);
    }
    const int64_t band = std::clamp<int64_t>(bandRows, 1, height);
    const int64_t across = tiled ? (width + tileWidth - 1) / std::max<uint32_t>(tileWidth, 1) : 1;
    const int64_t pixelBits = int64_t(plan.planar ? 1 : plan.samples) * plan.bits;
    const int64_t tileRowBits = int64_t(tileWidth) * pixelBits;
    const int64_t bandRowBytes =
        tiled ? (across * tileRowBits + 7) / 8 + 8 : rows.PlaneRowBytes() + 8;
    const int64_t pieceBytes = tiled ? TIFFTileSize64(tiff) : TIFFStripSize64(tiff);
    if (tiled && (tileWidth == 0 || TIFFTileRowSize64(tiff) * 8 < uint64_t(tileRowBits)))
        return {0, Damaged("its TIFF tiles have the wrong size")};
    if (pieceBytes <= 0 || bandRowBytes * band > kMaxWorkingBytes / Planes()
        || pieceBytes > kMaxWorkingBytes)
        return {0, pieceBytes <= 0 ? Damaged("its TIFF strips have no size") : TiffBandTooLarge()};

    std::vector<std::vector<uint8_t>> planeBands(static_cast<size_t>(Planes()));
    for (auto &b : planeBands)
        b.resize(size_t(bandRowBytes * band));
    std::vector<uint8_t> piece(tiled ? size_t(pieceBytes) : 0);
    std::vector<const uint8_t *> planes(static_cast<size_t>(Planes()));
    const int64_t tileRowBytes = tiled ? int64_t(TIFFTileRowSize64(tiff)) : 0;
    for (int64_t y0 = 0; y0 < height; y0 += band) {
        const int64_t bandHeight = std::min(band, height - y0);
        const int64_t errorsBefore = file.errors;
        for (int p = 0; p < Planes(); ++p) {
            uint8_t *target = planeBands[size_t(p)].data();
            if (!tiled) {
                const uint32_t strip = TIFFComputeStrip(tiff, uint32_t(y0), uint16_t(p));
                if (TIFFReadEncodedStrip(tiff, strip, target, tmsize_t(bandRowBytes * band)) < 0)
                    return {y0, {}};
                // The strip's rows lie one after another, without the band's margin.
                const int64_t rowBytes = rows.PlaneRowBytes();
                for (int64_t r = bandHeight - 1; r > 0; --r)
                    std::memmove(target + r * bandRowBytes, target + r * rowBytes,
                                 size_t(rowBytes));
                continue;
            }
            for (int64_t t = 0; t < across; ++t) {
                const uint32_t tile =
                    TIFFComputeTile(tiff, uint32_t(t * tileWidth), uint32_t(y0), 0, uint16_t(p));
                if (TIFFReadEncodedTile(tiff, tile, piece.data(), tmsize_t(pieceBytes)) < 0)
                    return {y0, {}};
                // Only the part of the tile inside the picture.
                const int64_t inside =
                    std::min<int64_t>(tileWidth, width - t * tileWidth) * pixelBits;
                for (int64_t r = 0; r < bandHeight; ++r)
                    CopyBits(piece.data() + r * tileRowBytes, inside, target + r * bandRowBytes,
                             t * tileRowBits);
            }
        }
        if (file.errors > errorsBefore)
            return {y0, {}};
        for (int64_t r = 0; r < bandHeight; ++r) {
            for (int p = 0; p < Planes(); ++p)
                planes[size_t(p)] = planeBands[size_t(p)].data() + r * bandRowBytes;
            rows.Convert(planes.data(), PictureRow(raster, y0 + r));
        }
    }
    return {height, {}};
}

TiffRead TiffReader::Listed(const std::vector<TiffStrip> &strips, size_t first, int64_t y,
                            int64_t stripRows) const
{
    uint16_t compression = COMPRESSION_NONE;
    TIFFGetFieldDefaulted(tiff, TIFFTAG_COMPRESSION, &compression);
    const int64_t rowBytes = rows.PlaneRowBytes();
    std::vector<uint8_t> in, out;
    for (size_t k = first; k < strips.size() && y < height; ++k) {
        const TiffStrip &strip = strips[k];
        if (strip.offset > file.size || strip.bytes > file.size - strip.offset)
            return {y, {}};
        const int64_t stored =
            compression == COMPRESSION_NONE
                ? int64_t(std::min<uint64_t>(strip.bytes / uint64_t(rowBytes), uint64_t(height)))
                : stripRows;
        const int64_t n = std::min(height - y, stored);
        if (n <= 0)
            return {y, {}};
        const uint64_t inBytes =
            compression == COMPRESSION_NONE ? uint64_t(n * rowBytes) : strip.bytes;
        if (inBytes > uint64_t(kMaxWorkingBytes) || n * rowBytes > kMaxWorkingBytes)
            return {y, TiffBandTooLarge()};
        // A copy: libtiff reverses the bits of a strip of the other fill order in place.
        in.assign(file.data + strip.offset, file.data + strip.offset + inBytes);
        out.resize(size_t(n * rowBytes + 8));
        const int64_t errorsBefore = file.errors;
        if (!TIFFReadFromUserBuffer(tiff, 0, in.data(), tmsize_t(in.size()), out.data(),
                                    tmsize_t(n * rowBytes))
            || file.errors > errorsBefore)
            return {y, {}};
        for (int64_t r = 0; r < n; ++r) {
            const uint8_t *planes[1] = {out.data() + r * rowBytes};
            rows.Convert(planes, PictureRow(raster, y + r));
        }
        y += n;
    }
    return {y, {}};
}

} // namespace rastix
