// SPDX-License-Identifier: GPL-3.0-or-later
// ZSoft PCX: 1 bit in one plane, 1 bit in 2 to 4 planes (EGA), packed 2 and 4 bits,
// 8 bits with the 256-colour table after the picture, and 8 bits in 3 or 4 planes
// (true colour, a fourth plane is ignored).
//
// The RLE stream is decoded as one run of scan-line bytes: a run may continue across
// planes and into the next line, as ZSoft's and netpbm's readers allow, and decoding
// stops at the last byte of the picture. When the data ends early, the rest of the
// picture stays at index 0 (black).
#include "platform/rastix/Rastix.h"
#include "platform/rastix/formats/Decoder.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace rastix {
namespace {

constexpr size_t kHeaderBytes = 128;
constexpr size_t kTrailingPaletteBytes = 769;

// The 16 colours of the EGA, used when a 16-colour file has an empty header palette.
constexpr uint8_t kEgaPalette[16][3] = {
    {0, 0, 0},     {0, 0, 170},     {0, 170, 0},    {0, 170, 170},   {170, 0, 0},   {170, 0, 170},
    {170, 85, 0},  {170, 170, 170}, {85, 85, 85},   {85, 85, 255},   {85, 255, 85}, {85, 255, 255},
    {255, 85, 85}, {255, 85, 255},  {255, 255, 85}, {255, 255, 255},
};

enum class Layout { Bilevel, Planar4, Packed, Indexed8, TrueColour };

// Reads the scan-line bytes one line at a time; run state carries over lines.
class RleReader {
public:
    RleReader(const uint8_t *data, size_t size, bool compressed)
        : data_(data), size_(size), compressed_(compressed)
    {
    }

    // Fills line; false when the data ended first (the rest of line is then 0).
    bool Next(std::vector<uint8_t> &line)
    {
        size_t i = 0;
        const size_t n = line.size();
        while (i < n) {
            if (runLeft_ > 0) {
                const size_t k = std::min(runLeft_, n - i);
                std::memset(line.data() + i, runValue_, k);
                i += k;
                runLeft_ -= k;
                continue;
            }
            if (pos_ >= size_)
                break;
            const uint8_t c = data_[pos_++];
            if (compressed_ && (c & 0xC0) == 0xC0) {
                if (pos_ >= size_)
                    break;
                runLeft_ = c & 0x3F;
                runValue_ = data_[pos_++];
            } else {
                line[i++] = c;
            }
        }
        if (i < n) {
            std::memset(line.data() + i, 0, n - i);
            return false;
        }
        return true;
    }

private:
    const uint8_t *data_;
    size_t size_;
    bool compressed_;
    size_t pos_ = 0;
    size_t runLeft_ = 0;
    uint8_t runValue_ = 0;
};

void SetHeaderPalette(RasterImage &raster, const uint8_t *header, int count)
{
    const uint8_t *palette = header + 16;
    const bool empty = std::all_of(palette, palette + 48, [](uint8_t b) { return b == 0; });
    for (int i = 0; i < count; ++i) {
        if (empty && count == 2)
            SetColour(raster, i, uint8_t(i * 255), uint8_t(i * 255), uint8_t(i * 255));
        else if (empty)
            SetColour(raster, i, kEgaPalette[i][0], kEgaPalette[i][1], kEgaPalette[i][2]);
        else
            SetColour(raster, i, palette[3 * i], palette[3 * i + 1], palette[3 * i + 2]);
    }
    FinishPalette(raster);
}

} // namespace

bool IsPcx(Bytes file)
{
    if (file.size < kHeaderBytes)
        return false;
    const uint8_t *h = file.data;
    const uint8_t version = h[1];
    const uint8_t bits = h[3];
    return h[0] == 0x0A && (version == 0 || (version >= 2 && version <= 5)) && h[2] <= 1
           && (bits == 1 || bits == 2 || bits == 4 || bits == 8);
}

RasterImage DecodePcx(Bytes file)
{
    if (file.size < kHeaderBytes)
        return DamagedRaster("the PCX header is incomplete");
    const uint8_t *h = file.data;
    if (h[0] != 0x0A)
        return DamagedRaster("the file has no PCX signature");
    const int bits = h[3];
    const int planes = h[65];
    const int64_t bytesPerLine = Le16(h + 66);
    const int64_t width = int64_t(Le16(h + 8)) - Le16(h + 4) + 1;
    const int64_t height = int64_t(Le16(h + 10)) - Le16(h + 6) + 1;
    if (auto refusal = CheckPictureSize(width, height))
        return FailedRaster(*refusal);

    Layout layout;
    int depth;
    if (bits == 1 && planes == 1) {
        layout = Layout::Bilevel;
        depth = 1;
    } else if (bits == 1 && planes >= 2 && planes <= 4) {
        layout = Layout::Planar4;
        depth = 4;
    } else if ((bits == 2 || bits == 4) && planes == 1) {
        layout = Layout::Packed;
        depth = 4;
    } else if (bits == 8 && planes == 1) {
        layout = Layout::Indexed8;
        depth = 8;
    } else if (bits == 8 && (planes == 3 || planes == 4)) {
        layout = Layout::TrueColour;
        depth = 24;
    } else {
        return FailedRaster("PCX pictures with " + std::to_string(bits) + " bits in "
                            + std::to_string(planes) + " planes are not supported");
    }
    if (bytesPerLine < (width * bits + 7) / 8)
        return DamagedRaster("its PCX scan lines (" + std::to_string(bytesPerLine)
                             + " bytes) are shorter than its width");

    const bool compressed = h[2] == 1;
    size_t dataEnd = file.size;
    const bool trailingPalette = layout == Layout::Indexed8
                                 && file.size >= kHeaderBytes + kTrailingPaletteBytes
                                 && file.data[file.size - kTrailingPaletteBytes] == 0x0C;
    if (trailingPalette)
        dataEnd -= kTrailingPaletteBytes;
    const size_t lineBytes = size_t(bytesPerLine) * size_t(planes);
    if (!compressed && (dataEnd - kHeaderBytes) / lineBytes < size_t(height))
        return DamagedRaster("the file is shorter than its uncompressed PCX picture");

    RasterImage raster = newdib(int32_t(width), int32_t(height), depth, nullptr, 0);
    if (!raster.Pixels)
        return FailedRaster("Not enough memory for a picture of " + std::to_string(width) + " x "
                            + std::to_string(height) + " pixels");

    if (layout == Layout::Indexed8) {
        const uint8_t *table = file.data + file.size - kTrailingPaletteBytes + 1;
        for (int i = 0; i < 256; ++i) {
            if (trailingPalette)
                SetColour(raster, i, table[3 * i], table[3 * i + 1], table[3 * i + 2]);
            else
                SetColour(raster, i, uint8_t(i), uint8_t(i), uint8_t(i));
        }
        FinishPalette(raster);
    } else if (layout != Layout::TrueColour) {
        SetHeaderPalette(raster, h, layout == Layout::Bilevel ? 2 : 16);
    }

    RleReader reader(file.data + kHeaderBytes, dataEnd - kHeaderBytes, compressed);
    std::vector<uint8_t> line(lineBytes);
    const size_t bpl = size_t(bytesPerLine);
    for (int64_t y = 0; y < height; ++y) {
        const bool complete = reader.Next(line);
        uint8_t *row = PictureRow(raster, y);
        switch (layout) {
        case Layout::Bilevel:
        case Layout::Indexed8: std::memcpy(row, line.data(), size_t((width * bits + 7) / 8)); break;
        case Layout::Packed:
            if (bits == 4) {
                std::memcpy(row, line.data(), size_t((width + 1) / 2));
                break;
            }
            for (int64_t x = 0; x < width; ++x) {
                const int v = line[size_t(x / 4)] >> (6 - 2 * (x % 4)) & 3;
                row[x / 2] |= uint8_t(x % 2 ? v : v << 4);
            }
            break;
        case Layout::Planar4:
            for (int64_t x = 0; x < width; ++x) {
                int v = 0;
                for (int p = 0; p < planes; ++p)
                    v |= (line[p * bpl + size_t(x / 8)] >> (7 - x % 8) & 1) << p;
                row[x / 2] |= uint8_t(x % 2 ? v : v << 4);
            }
            break;
        case Layout::TrueColour:
            for (int64_t x = 0; x < width; ++x) {
                row[3 * x] = line[2 * bpl + size_t(x)];
                row[3 * x + 1] = line[bpl + size_t(x)];
                row[3 * x + 2] = line[size_t(x)];
            }
            break;
        }
        if (!complete)
            break;
    }
    return raster;
}

} // namespace rastix
