// SPDX-License-Identifier: GPL-3.0-or-later
// IFF pictures (Deluxe Paint's LBM): FORM ILBM with 1 to 8 bit-planes (kept as 1-, 4- or
// 8-bit rasters with the CMAP colours), EHB (64 colours, the second 32 at half
// brightness), HAM6 and HAM8 (decoded to 24 bits) and 24 planes (24 bits); FORM PBM
// with 8-bit chunky rows; FORM ACBM, whose ABIT chunk holds each plane whole, one after
// another. The colours are the CMAP's, else a CMYK chunk's turned into RGB, else greys.
// Bodies are uncompressed or ByteRun1; a mask plane is skipped. The picture may
// sit inside CAT and LIST containers (IffChunks.h). A PCHG chunk changes colour
// registers from given lines on; such a picture becomes 24-bit, each line shown with
// the registers it has.
//
// ByteRun1 runs may continue into the next plane or row but stop at the end of the
// picture; when the body ends early the rest of the picture stays at index 0 (black).
// An uncompressed body must be complete.
#include "platform/rastix/Rastix.h"
#include "platform/rastix/formats/Decoder.h"
#include "platform/rastix/formats/IffChunks.h"
#include "platform/rastix/formats/IlbmPaletteChanges.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <vector>

namespace rastix {
namespace {

constexpr uint32_t kCamgEhb = 0x80;
constexpr uint32_t kCamgHam = 0x800;

using Palette = std::array<std::array<uint8_t, 3>, 256>;

// ByteRun1 or plain bytes, read one row of planes at a time; runs carry over rows.
class BodyReader {
public:
    BodyReader(const uint8_t *data, size_t size, bool compressed)
        : data_(data), size_(size), compressed_(compressed)
    {
    }

    // Fills line; false when the body ended first (the rest of line is then 0).
    bool Next(std::vector<uint8_t> &line)
    {
        size_t i = 0;
        const size_t n = line.size();
        while (i < n) {
            if (!compressed_ || literalLeft_ > 0) {
                size_t k = std::min(n - i, size_ - pos_);
                if (compressed_)
                    k = std::min(k, literalLeft_);
                if (k == 0)
                    break;
                std::memcpy(line.data() + i, data_ + pos_, k);
                i += k;
                pos_ += k;
                if (compressed_)
                    literalLeft_ -= k;
            } else if (runLeft_ > 0) {
                const size_t k = std::min(n - i, runLeft_);
                std::memset(line.data() + i, runValue_, k);
                i += k;
                runLeft_ -= k;
            } else {
                if (pos_ >= size_)
                    break;
                const int8_t control = int8_t(data_[pos_++]);
                if (control >= 0) {
                    literalLeft_ = size_t(control) + 1;
                } else if (control != -128) {
                    if (pos_ >= size_)
                        break;
                    runValue_ = data_[pos_++];
                    runLeft_ = size_t(1 - control);
                }
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
    size_t literalLeft_ = 0;
    size_t runLeft_ = 0;
    uint8_t runValue_ = 0;
};

void PutIndex(uint8_t *row, int64_t x, int depth, int value)
{
    if (depth == 8)
        row[x] = uint8_t(value);
    else if (depth == 4)
        row[x / 2] |= uint8_t(x % 2 ? value : value << 4);
    else if (value)
        row[x / 8] |= uint8_t(0x80 >> (x % 8));
}

// One HAM row: control bits in the top two planes, colour or modify value below.
void DecodeHamRow(const std::vector<int> &values, int planes, const Palette &colours, uint8_t *row)
{
    const int dataBits = planes - 2;
    const int mask = (1 << dataBits) - 1;
    // A modify value replaces the high bits of the component; its low bits stay as
    // they were in the pixel to the left, as the AGA chip set does.
    const int keep = (1 << (8 - dataBits)) - 1;
    auto modify = [dataBits, keep](uint8_t old, int v) {
        return uint8_t(v << (8 - dataBits) | (old & keep));
    };
    auto base = [&colours](int i, int c) -> uint8_t { return colours[size_t(i)][size_t(c)]; };
    uint8_t r = base(0, 0), g = base(0, 1), b = base(0, 2);
    for (size_t x = 0; x < values.size(); ++x) {
        const int data = values[x] & mask;
        switch (values[x] >> dataBits) {
        case 0:
            r = base(data, 0);
            g = base(data, 1);
            b = base(data, 2);
            break;
        case 1: b = modify(b, data); break;
        case 2: r = modify(r, data); break;
        default: g = modify(g, data); break;
        }
        row[3 * x] = b;
        row[3 * x + 1] = g;
        row[3 * x + 2] = r;
    }
}

// The colour registers: the CMAP's; without one, those of a CMYK chunk (written by some
// paint programs), each ink times black, truncated: red = (255 - C) (255 - K) / 255;
// without either, grey steps over the index range. Returns how many colours the file's
// map holds (0 for the greys).
int ReadColourMap(const IffChunks &chunks, int indexBits, Palette &colours)
{
    if (chunks.cmap) {
        for (int i = 0; i < chunks.cmapColours; ++i) {
            const uint8_t *c = chunks.cmap + 3 * i;
            colours[size_t(i)] = {c[0], c[1], c[2]};
        }
        return chunks.cmapColours;
    }
    if (chunks.cmyk) {
        for (int i = 0; i < chunks.cmykColours; ++i) {
            const uint8_t *c = chunks.cmyk + 4 * i;
            const unsigned white = 255u - c[3];
            for (size_t k = 0; k < 3; ++k)
                colours[size_t(i)][k] = uint8_t((255u - c[k]) * white / 255u);
        }
        return chunks.cmykColours;
    }
    for (int i = 0; i < 1 << indexBits; ++i) {
        const auto v = uint8_t(i * 255 / ((1 << indexBits) - 1));
        colours[size_t(i)] = {v, v, v};
    }
    return 0;
}

} // namespace

bool IsIlbm(Bytes file)
{
    return HasIffPicture(file);
}

RasterImage DecodeIlbm(Bytes file)
{
    const IffPicture picture = FindIffPicture(file);
    if (!picture.error.empty())
        return DamagedRaster(picture.error);
    const IffChunks &chunks = picture.chunks;
    if (!chunks.bmhd)
        return DamagedRaster("the IFF picture has no BMHD header before its BODY");

    const uint8_t *bmhd = chunks.bmhd;
    const int64_t width = Be16(bmhd);
    const int64_t height = Be16(bmhd + 2);
    const int planes = bmhd[8];
    const bool contiguous = std::memcmp(picture.type, "ACBM", 4) == 0;
    const int masking = contiguous ? 0 : bmhd[9];
    const int compression = contiguous ? 0 : bmhd[10];
    const bool chunky = std::memcmp(picture.type, "PBM ", 4) == 0;
    if (auto refusal = CheckPictureSize(width, height))
        return FailedRaster(*refusal);
    if (compression > 1)
        return FailedRaster("IFF compression method " + std::to_string(compression)
                            + " is not supported");

    std::vector<PaletteChange> changes;
    if (chunks.pchg && planes != 24) {
        auto read = ReadPaletteChanges(chunks.pchg, chunks.pchgSize);
        if (auto *refusal = std::get_if<std::string>(&read))
            return FailedRaster(*refusal);
        changes = std::move(std::get<std::vector<PaletteChange>>(read));
    }

    const bool ham = !chunky && (chunks.camg & kCamgHam);
    const bool ehb = !chunky && !ham && (chunks.camg & kCamgEhb) && planes == 6;
    int depth;
    if (chunky) {
        if (planes != 8)
            return FailedRaster("IFF PBM pictures with " + std::to_string(planes)
                                + " planes are not supported");
        depth = 8;
    } else if (ham) {
        if (planes != 6 && planes != 8)
            return FailedRaster("HAM pictures with " + std::to_string(planes)
                                + " planes are not supported");
        depth = 24;
    } else if (planes >= 1 && planes <= 8) {
        depth = planes == 1 ? 1 : planes <= 4 ? 4 : 8;
    } else if (planes == 24) {
        depth = 24;
    } else {
        return FailedRaster("IFF pictures with " + std::to_string(planes)
                            + " bit-planes are not supported");
    }
    const bool perLine = !changes.empty() && depth <= 8;
    if (perLine)
        depth = 24;

    const size_t planeBytes = chunky ? size_t(width + (width & 1)) : size_t((width + 15) / 16 * 2);
    const size_t storedPlanes = chunky ? 1 : size_t(planes) + (masking == 1 ? 1 : 0);
    const size_t lineBytes = planeBytes * storedPlanes;
    if (contiguous && chunks.bodySize / lineBytes < size_t(height))
        return DamagedRaster("the IFF ABIT chunk is shorter than its planes");
    if (compression == 0 && chunks.bodySize / lineBytes < size_t(height))
        return DamagedRaster("the IFF body is shorter than its uncompressed picture");

    RasterImage raster = newdib(int32_t(width), int32_t(height), depth, nullptr, 0);
    if (!raster.Pixels)
        return FailedRaster("Not enough memory for a picture of " + std::to_string(width) + " x "
                            + std::to_string(height) + " pixels");

    // Colours: the file's map, grey steps when there is none, EHB's half-bright copies.
    const int indexBits = chunky ? 8 : std::min(planes, 8);
    Palette colours{};
    int usable = 1 << indexBits;
    const int mapColours = ReadColourMap(chunks, indexBits, colours);
    auto halfBright = [&colours] {
        for (size_t i = 0; i < 32; ++i)
            colours[32 + i] = {uint8_t(colours[i][0] >> 1), uint8_t(colours[i][1] >> 1),
                               uint8_t(colours[i][2] >> 1)};
    };
    if (ehb)
        halfBright();
    else if (mapColours > 0)
        usable = std::min(usable, mapColours);
    if (depth <= 8) {
        for (int i = 0; i < 1 << depth; ++i)
            SetColour(raster, i, colours[size_t(i)][0], colours[size_t(i)][1],
                      colours[size_t(i)][2]);
        FinishPalette(raster);
    }

    BodyReader reader(chunks.body, chunks.bodySize, compression == 1);
    std::vector<uint8_t> line(lineBytes);
    std::vector<int> values(static_cast<size_t>(width));
    size_t nextChange = 0;
    for (int64_t y = 0; y < height; ++y) {
        bool complete = true;
        if (contiguous) {
            for (size_t p = 0; p < storedPlanes; ++p)
                std::memcpy(line.data() + p * planeBytes,
                            chunks.body + (p * size_t(height) + size_t(y)) * planeBytes,
                            planeBytes);
        } else {
            complete = reader.Next(line);
        }
        bool changed = false;
        for (; nextChange < changes.size() && changes[nextChange].line <= y; ++nextChange) {
            const PaletteChange &c = changes[nextChange];
            colours[size_t(c.reg)] = {c.rgb[0], c.rgb[1], c.rgb[2]};
            changed = true;
        }
        if (changed && ehb)
            halfBright();
        uint8_t *row = PictureRow(raster, y);
        if (planes == 24 && !ham && !chunky) {
            for (int64_t x = 0; x < width; ++x) {
                uint32_t v = 0;
                for (int p = 0; p < 24; ++p)
                    v |= uint32_t(line[size_t(p) * planeBytes + size_t(x / 8)] >> (7 - x % 8) & 1)
                         << p;
                row[3 * x] = uint8_t(v >> 16);
                row[3 * x + 1] = uint8_t(v >> 8);
                row[3 * x + 2] = uint8_t(v);
            }
        } else {
            for (int64_t x = 0; x < width; ++x) {
                int v = 0;
                if (chunky) {
                    v = line[size_t(x)];
                } else {
                    for (int p = 0; p < planes; ++p)
                        v |= (line[size_t(p) * planeBytes + size_t(x / 8)] >> (7 - x % 8) & 1) << p;
                }
                values[size_t(x)] = v;
            }
            if (ham) {
                DecodeHamRow(values, planes, colours, row);
            } else if (perLine) {
                for (int64_t x = 0; x < width; ++x) {
                    const auto &c = colours[size_t(std::min(values[size_t(x)], usable - 1))];
                    row[3 * x] = c[2];
                    row[3 * x + 1] = c[1];
                    row[3 * x + 2] = c[0];
                }
            } else {
                for (int64_t x = 0; x < width; ++x)
                    PutIndex(row, x, depth, std::min(values[size_t(x)], usable - 1));
            }
        }
        if (!complete)
            break;
    }
    return raster;
}

} // namespace rastix
