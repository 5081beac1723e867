// SPDX-License-Identifier: GPL-3.0-or-later
// TIFF through libtiff, first directory only. Strip-organised files keep their kind:
// bilevel as 1 bit (index 0 black, whatever the photometric interpretation), 2-, 4- and
// 8-bit palette as 4 or 8 bits, grey of 2 to 16 bits as 8-bit grey, RGB of 8 or 16 bits
// as 24 bits. Everything else (tiles, YCbCr, CMYK, Lab, planar RGB, JPEG-compressed
// data) goes through libtiff's RGBA reader into 24 bits. libtiff's messages are caught
// per file: errors become the error text, warnings are dropped. Data that ends early
// or fails to decompress is refused as damaged.
#include "platform/rastix/Rastix.h"
#include "platform/rastix/formats/Decoder.h"

#include <tiffio.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace rastix {
namespace {

// Largest single allocation libtiff may make for one file.
constexpr tmsize_t kMaxLibtiffAllocation = tmsize_t(256) << 20;

struct MemoryFile {
    const uint8_t *data;
    uint64_t size;
    uint64_t pos;
    std::string error;
};

tsize_t ReadProc(thandle_t handle, tdata_t buffer, tsize_t wanted)
{
    auto *file = static_cast<MemoryFile *>(handle);
    if (wanted <= 0 || file->pos >= file->size)
        return 0;
    const uint64_t n = std::min<uint64_t>(uint64_t(wanted), file->size - file->pos);
    std::memcpy(buffer, file->data + file->pos, size_t(n));
    file->pos += n;
    return tsize_t(n);
}

tsize_t WriteProc(thandle_t, tdata_t, tsize_t)
{
    return -1;
}

toff_t SeekProc(thandle_t handle, toff_t offset, int whence)
{
    auto *file = static_cast<MemoryFile *>(handle);
    uint64_t base = 0;
    if (whence == SEEK_CUR)
        base = file->pos;
    else if (whence == SEEK_END)
        base = file->size;
    if (offset > UINT64_MAX - base)
        return toff_t(-1);
    file->pos = base + offset;
    return file->pos;
}

int CloseProc(thandle_t)
{
    return 0;
}
toff_t SizeProc(thandle_t handle)
{
    return static_cast<MemoryFile *>(handle)->size;
}
// The bytes are handed to libtiff as a read-only mapping: its unmapped path refuses
// valid uncompressed tiles that are cut off at the picture's edge. In read mode libtiff
// copies mapped data before changing it.
int MapProc(thandle_t handle, tdata_t *base, toff_t *size)
{
    auto *file = static_cast<MemoryFile *>(handle);
    *base = const_cast<uint8_t *>(file->data);
    *size = file->size;
    return 1;
}
void UnmapProc(thandle_t, tdata_t, toff_t) {}

int KeepFirstError(TIFF *, void *user, const char *module, const char *format, va_list args)
{
    auto *file = static_cast<MemoryFile *>(user);
    if (file->error.empty()) {
        char text[512];
        std::vsnprintf(text, sizeof text, format, args);
        file->error = module && *module ? std::string(module) + ": " + text : text;
    }
    return 1;
}

int DropWarning(TIFF *, void *, const char *, const char *, va_list)
{
    return 1;
}

struct TiffCloser {
    void operator()(TIFF *tiff) const { TIFFClose(tiff); }
};
using TiffHandle = std::unique_ptr<TIFF, TiffCloser>;

struct OptionsFree {
    void operator()(TIFFOpenOptions *options) const { TIFFOpenOptionsFree(options); }
};

RasterImage Refuse(const MemoryFile &file, const char *fallback)
{
    return DamagedRaster(file.error.empty() ? std::string(fallback) : file.error);
}

RasterImage NoMemory(int64_t width, int64_t height)
{
    return FailedRaster("Not enough memory for a picture of " + std::to_string(width) + " x "
                        + std::to_string(height) + " pixels");
}

// Sample i of a scan line of bits-per-sample 1, 2, 4, 8 or 16, scaled to 0..255.
uint8_t Sample(const uint8_t *line, size_t i, int bits)
{
    switch (bits) {
    case 8: return line[i];
    case 16: {
        uint16_t v;
        std::memcpy(&v, line + 2 * i, 2);
        return uint8_t(v >> 8);
    }
    default: {
        const size_t bit = i * size_t(bits);
        const int v = line[bit / 8] >> (8 - bits - int(bit % 8)) & ((1 << bits) - 1);
        return uint8_t(v * 255 / ((1 << bits) - 1));
    }
    }
}

// Raw sample value (no scaling) for palette indices of 1, 2, 4 or 8 bits.
int Index(const uint8_t *line, size_t i, int bits)
{
    if (bits == 8)
        return line[i];
    const size_t bit = i * size_t(bits);
    return line[bit / 8] >> (8 - bits - int(bit % 8)) & ((1 << bits) - 1);
}

RasterImage ReadThroughRgba(TIFF *tiff, MemoryFile &file, int64_t width, int64_t height)
{
    char message[1024] = {};
    if (!TIFFRGBAImageOK(tiff, message))
        return FailedRaster(std::string("This kind of TIFF picture is not supported: ") + message);
    TIFFRGBAImage image;
    if (!TIFFRGBAImageBegin(&image, tiff, 0, message))
        return DamagedRaster(message);
    RasterImage raster = newdib(int32_t(width), int32_t(height), 24, nullptr, 0);
    if (!raster.Pixels) {
        TIFFRGBAImageEnd(&image);
        return NoMemory(width, height);
    }
    // The reader fills a block of rows bottom-up; read the picture in such blocks.
    const int64_t blockRows = std::max<int64_t>(1, std::min<int64_t>(height, (1 << 22) / width));
    std::vector<uint32_t> block(size_t(width * blockRows));
    for (int64_t y0 = 0; y0 < height; y0 += blockRows) {
        const int64_t rows = std::min(blockRows, height - y0);
        image.row_offset = int(y0);
        image.col_offset = 0;
        if (!TIFFRGBAImageGet(&image, block.data(), uint32_t(width), uint32_t(rows))) {
            TIFFRGBAImageEnd(&image);
            deldib(raster);
            return Refuse(file, "its TIFF data could not be decoded");
        }
        for (int64_t r = 0; r < rows; ++r) {
            const uint32_t *in = block.data() + (rows - 1 - r) * width;
            uint8_t *row = raster.Pixels + int64_t(raster.Stride) * (height - 1 - (y0 + r));
            for (int64_t x = 0; x < width; ++x) {
                row[3 * x] = uint8_t(TIFFGetB(in[x]));
                row[3 * x + 1] = uint8_t(TIFFGetG(in[x]));
                row[3 * x + 2] = uint8_t(TIFFGetR(in[x]));
            }
        }
    }
    TIFFRGBAImageEnd(&image);
    return raster;
}

} // namespace

bool IsTiff(Bytes file)
{
    if (file.size < 8)
        return false;
    const uint8_t *p = file.data;
    return (p[0] == 'I' && p[1] == 'I' && (p[2] == 42 || p[2] == 43) && p[3] == 0)
           || (p[0] == 'M' && p[1] == 'M' && p[2] == 0 && (p[3] == 42 || p[3] == 43));
}

RasterImage DecodeTiff(Bytes bytes)
{
    MemoryFile file{bytes.data, bytes.size, 0, {}};
    std::unique_ptr<TIFFOpenOptions, OptionsFree> options(TIFFOpenOptionsAlloc());
    if (!options)
        return FailedRaster("Not enough memory to open the TIFF file");
    TIFFOpenOptionsSetErrorHandlerExtR(options.get(), KeepFirstError, &file);
    TIFFOpenOptionsSetWarningHandlerExtR(options.get(), DropWarning, &file);
    TIFFOpenOptionsSetMaxSingleMemAlloc(options.get(), kMaxLibtiffAllocation);
    TiffHandle tiff(TIFFClientOpenExt("memory", "r", &file, ReadProc, WriteProc, SeekProc,
                                      CloseProc, SizeProc, MapProc, UnmapProc, options.get()));
    if (!tiff)
        return Refuse(file, "its TIFF header could not be read");

    uint32_t w = 0, h = 0;
    uint16_t bits = 1, samples = 1, photometric = 0, planar = PLANARCONFIG_CONTIG;
    uint16_t compression = COMPRESSION_NONE;
    TIFFGetField(tiff.get(), TIFFTAG_IMAGEWIDTH, &w);
    TIFFGetField(tiff.get(), TIFFTAG_IMAGELENGTH, &h);
    TIFFGetFieldDefaulted(tiff.get(), TIFFTAG_BITSPERSAMPLE, &bits);
    TIFFGetFieldDefaulted(tiff.get(), TIFFTAG_SAMPLESPERPIXEL, &samples);
    TIFFGetFieldDefaulted(tiff.get(), TIFFTAG_PLANARCONFIG, &planar);
    TIFFGetFieldDefaulted(tiff.get(), TIFFTAG_COMPRESSION, &compression);
    if (!TIFFGetField(tiff.get(), TIFFTAG_PHOTOMETRIC, &photometric))
        photometric = samples >= 3 ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISBLACK;
    const int64_t width = w, height = h;
    if (auto refusal = CheckPictureSize(width, height))
        return FailedRaster(*refusal);

    const bool grey =
        photometric == PHOTOMETRIC_MINISBLACK || photometric == PHOTOMETRIC_MINISWHITE;
    const bool palette = photometric == PHOTOMETRIC_PALETTE && samples == 1
                         && (bits == 1 || bits == 2 || bits == 4 || bits == 8);
    const bool rgb = photometric == PHOTOMETRIC_RGB && samples >= 3 && (bits == 8 || bits == 16);
    const bool greyKind = grey && (bits == 1 || bits == 2 || bits == 4 || bits == 8 || bits == 16);
    const bool scanlines = !TIFFIsTiled(tiff.get()) && compression != COMPRESSION_OJPEG
                           && (planar == PLANARCONFIG_CONTIG || samples == 1)
                           && (palette || rgb || greyKind);
    if (!scanlines)
        return ReadThroughRgba(tiff.get(), file, width, height);

    const int depth = rgb       ? 24
                      : palette ? (bits == 1   ? 1
                                   : bits == 8 ? 8
                                               : 4)
                                : (bits == 1 ? 1 : 8);
    RasterImage raster = newdib(int32_t(width), int32_t(height), depth, nullptr, 0);
    if (!raster.Pixels)
        return NoMemory(width, height);

    if (palette) {
        uint16_t *red = nullptr, *green = nullptr, *blue = nullptr;
        if (!TIFFGetField(tiff.get(), TIFFTAG_COLORMAP, &red, &green, &blue)) {
            deldib(raster);
            return DamagedRaster("its TIFF palette is missing");
        }
        const int count = 1 << bits;
        // Some writers store 8-bit values in the 16-bit colour map.
        bool eightBit = true;
        for (int i = 0; i < count; ++i)
            eightBit = eightBit && red[i] < 256 && green[i] < 256 && blue[i] < 256;
        const int shift = eightBit ? 0 : 8;
        for (int i = 0; i < count; ++i)
            SetColour(raster, i, uint8_t(red[i] >> shift), uint8_t(green[i] >> shift),
                      uint8_t(blue[i] >> shift));
        FinishPalette(raster);
    } else if (!rgb && depth == 1) {
        SetColour(raster, 0, 0, 0, 0);
        SetColour(raster, 1, 255, 255, 255);
        FinishPalette(raster);
    } else if (!rgb) {
        SetGreyPalette(raster);
    }

    const bool invert = photometric == PHOTOMETRIC_MINISWHITE;
    const tmsize_t lineSize = TIFFScanlineSize(tiff.get());
    if (lineSize <= 0) {
        deldib(raster);
        return Refuse(file, "its TIFF scan lines have no size");
    }
    std::vector<uint8_t> line(size_t(lineSize) + 8);
    const size_t step = samples;
    for (int64_t y = 0; y < height; ++y) {
        if (TIFFReadScanline(tiff.get(), line.data(), uint32_t(y), 0) < 0) {
            deldib(raster);
            return Refuse(file, "its TIFF data could not be decoded");
        }
        uint8_t *row = raster.Pixels + int64_t(raster.Stride) * (height - 1 - y);
        if (rgb) {
            for (int64_t x = 0; x < width; ++x) {
                const size_t i = size_t(x) * step;
                row[3 * x] = Sample(line.data(), i + 2, bits);
                row[3 * x + 1] = Sample(line.data(), i + 1, bits);
                row[3 * x + 2] = Sample(line.data(), i, bits);
            }
        } else if (depth == 1 && step == 1) {
            const size_t n = size_t((width + 7) / 8);
            for (size_t i = 0; i < n; ++i)
                row[i] = invert ? uint8_t(~line[i]) : line[i];
        } else if (palette && depth == 4) {
            for (int64_t x = 0; x < width; ++x) {
                const int v = Index(line.data(), size_t(x), bits);
                row[x / 2] |= uint8_t(x % 2 ? v : v << 4);
            }
        } else if (palette) {
            std::memcpy(row, line.data(), size_t(width));
        } else {
            for (int64_t x = 0; x < width; ++x) {
                const uint8_t v = Sample(line.data(), size_t(x) * step, bits);
                const uint8_t g = invert ? uint8_t(255 - v) : v;
                if (depth == 1)
                    row[x / 8] |= uint8_t(g ? 0x80 >> (x % 8) : 0);
                else
                    row[x] = g;
            }
        }
    }
    return raster;
}

} // namespace rastix
