// SPDX-License-Identifier: GPL-3.0-or-later
// IFF pictures (Deluxe Paint's LBM): FORM ILBM with 1 to 8 bit-planes (kept as 1-, 4- or
// 8-bit rasters with the CMAP colours), EHB (64 colours, the second 32 at half
// brightness), HAM6 and HAM8 (decoded to 24 bits) and 24 planes (24 bits); FORM PBM
// with 8-bit chunky rows. Bodies are uncompressed or ByteRun1; a mask plane is skipped.
//
// ByteRun1 runs may continue into the next plane or row but stop at the end of the
// picture; when the body ends early the rest of the picture stays at index 0 (black).
// An uncompressed body must be complete.
#include "platform/rastix/Rastix.h"
#include "platform/rastix/formats/Decoder.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace rastix {
namespace {

constexpr uint32_t kCamgEhb = 0x80;
constexpr uint32_t kCamgHam = 0x800;

struct Chunks {
    const uint8_t *bmhd = nullptr;
    const uint8_t *cmap = nullptr;
    int cmapColours = 0;
    uint32_t camg = 0;
    const uint8_t *body = nullptr;
    size_t bodySize = 0;
};

bool Is(const uint8_t *p, const char *id)
{
    return std::memcmp(p, id, 4) == 0;
}

// Walks the FORM's chunks up to BODY. Returns an error text, empty when fine.
std::string ReadChunks(Bytes file, Chunks &chunks)
{
    const size_t formEnd = std::min<size_t>(file.size, size_t(Be32(file.data + 4)) + 8);
    size_t pos = 12;
    while (formEnd >= 8 && pos <= formEnd - 8) {
        const uint8_t *chunk = file.data + pos;
        const size_t length = Be32(chunk + 4);
        const size_t start = pos + 8;
        const size_t room = formEnd - start;
        if (Is(chunk, "BODY")) {
            chunks.body = file.data + start;
            chunks.bodySize = std::min(length, room);
            return {};
        }
        if (length > room)
            return "an IFF chunk runs past the end of the file";
        if (Is(chunk, "BMHD") && length >= 20)
            chunks.bmhd = chunk + 8;
        else if (Is(chunk, "CMAP")) {
            chunks.cmap = chunk + 8;
            chunks.cmapColours = int(std::min<size_t>(length / 3, 256));
        } else if (Is(chunk, "CAMG") && length >= 4)
            chunks.camg = Be32(chunk + 8);
        pos = start + length + (length & 1);
    }
    return "the IFF file has no BODY chunk";
}

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
void DecodeHamRow(const std::vector<int> &values, int planes, const Chunks &chunks, uint8_t *row)
{
    const int dataBits = planes - 2;
    const int mask = (1 << dataBits) - 1;
    // A modify value replaces the high bits of the component; its low bits stay as
    // they were in the pixel to the left, as the AGA chip set does.
    const int keep = (1 << (8 - dataBits)) - 1;
    auto modify = [dataBits, keep](uint8_t old, int v) {
        return uint8_t(v << (8 - dataBits) | (old & keep));
    };
    auto base = [&chunks](int i, int c) -> uint8_t {
        return i < chunks.cmapColours ? chunks.cmap[3 * i + c] : 0;
    };
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

} // namespace

bool IsIlbm(Bytes file)
{
    return file.size >= 12 && Is(file.data, "FORM")
           && (Is(file.data + 8, "ILBM") || Is(file.data + 8, "PBM "));
}

RasterImage DecodeIlbm(Bytes file)
{
    if (!IsIlbm(file))
        return DamagedRaster("the file is not an IFF picture");
    Chunks chunks;
    if (std::string error = ReadChunks(file, chunks); !error.empty())
        return DamagedRaster(error);
    if (!chunks.bmhd)
        return DamagedRaster("the IFF picture has no BMHD header before its BODY");

    const uint8_t *bmhd = chunks.bmhd;
    const int64_t width = Be16(bmhd);
    const int64_t height = Be16(bmhd + 2);
    const int planes = bmhd[8];
    const int masking = bmhd[9];
    const int compression = bmhd[10];
    const bool chunky = Is(file.data + 8, "PBM ");
    if (auto refusal = CheckPictureSize(width, height))
        return FailedRaster(*refusal);
    if (compression > 1)
        return FailedRaster("IFF compression method " + std::to_string(compression)
                            + " is not supported");

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

    const size_t planeBytes = chunky ? size_t(width + (width & 1)) : size_t((width + 15) / 16 * 2);
    const size_t storedPlanes = chunky ? 1 : size_t(planes) + (masking == 1 ? 1 : 0);
    const size_t lineBytes = planeBytes * storedPlanes;
    if (compression == 0 && chunks.bodySize / lineBytes < size_t(height))
        return DamagedRaster("the IFF body is shorter than its uncompressed picture");

    RasterImage raster = newdib(int32_t(width), int32_t(height), depth, nullptr, 0);
    if (!raster.Pixels)
        return FailedRaster("Not enough memory for a picture of " + std::to_string(width) + " x "
                            + std::to_string(height) + " pixels");

    // Colours: the CMAP, grey steps when there is none, EHB's half-bright copies.
    const int tableSize = depth <= 8 ? 1 << depth : 0;
    int usable = tableSize;
    if (depth <= 8) {
        for (int i = 0; i < tableSize; ++i) {
            if (chunks.cmap && i < chunks.cmapColours) {
                const uint8_t *c = chunks.cmap + 3 * i;
                SetColour(raster, i, c[0], c[1], c[2]);
            } else if (!chunks.cmap && i < 1 << planes) {
                const auto v = uint8_t(i * 255 / ((1 << planes) - 1));
                SetColour(raster, i, v, v, v);
            }
        }
        if (ehb) {
            for (int i = 0; i < 32 && i < chunks.cmapColours; ++i) {
                const uint8_t *c = chunks.cmap + 3 * i;
                SetColour(raster, 32 + i, c[0] >> 1, c[1] >> 1, c[2] >> 1);
            }
        } else if (chunks.cmap && chunks.cmapColours > 0) {
            usable = std::min(tableSize, chunks.cmapColours);
        }
        FinishPalette(raster);
    }

    BodyReader reader(chunks.body, chunks.bodySize, compression == 1);
    std::vector<uint8_t> line(lineBytes);
    std::vector<int> values(static_cast<size_t>(width));
    for (int64_t y = 0; y < height; ++y) {
        const bool complete = reader.Next(line);
        uint8_t *row = raster.Pixels + int64_t(raster.Stride) * (height - 1 - y);
        if (chunky) {
            for (int64_t x = 0; x < width; ++x)
                row[x] = uint8_t(std::min<int>(line[size_t(x)], usable - 1));
        } else if (planes == 24 && !ham) {
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
                for (int p = 0; p < planes; ++p)
                    v |= (line[size_t(p) * planeBytes + size_t(x / 8)] >> (7 - x % 8) & 1) << p;
                values[size_t(x)] = v;
            }
            if (ham) {
                DecodeHamRow(values, planes, chunks, row);
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
