// SPDX-License-Identifier: GPL-3.0-or-later
// TIFF through libtiff, first directory only. The tags decide the plan (TiffPlan.h);
// the samples are read by the fastest way the file allows and turned into raster rows
// by TiffRowConverter:
//   uncompressed strips   straight from the file's bytes, no copy in between
//   other chunky strips   one scan line at a time through libtiff
//   planar strips, tiles  one band of strips or tiles at a time through libtiff
//   YCbCr (not JPEG), Old-style JPEG, LogLuv, LogL   libtiff's RGBA reader
// Every path reads the picture as stored, and the Orientation tag is applied afterwards,
// so all of them show the same picture. Data that ends early or fails to decompress is
// refused as damaged with libtiff's first error.
#include "platform/rastix/Rastix.h"
#include "platform/rastix/formats/Decoder.h"
#include "platform/rastix/formats/Orientation.h"
#include "platform/rastix/formats/TiffMemory.h"
#include "platform/rastix/formats/TiffPlan.h"
#include "platform/rastix/formats/TiffRows.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <vector>

namespace rastix {
namespace {

RasterImage NoMemory(int64_t width, int64_t height)
{
    return FailedRaster("Not enough memory for a picture of " + std::to_string(width) + " x "
                        + std::to_string(height) + " pixels");
}

std::string TooLargeBand()
{
    return "The picture is too large: its TIFF strips or tiles need more than "
           + std::to_string(kMaxWorkingBytes >> 20) + " MiB at once";
}

TiffTags ReadTags(TIFF *tiff)
{
    uint32_t w = 0, h = 0;
    uint16_t bits = 1, samples = 1, format = SAMPLEFORMAT_UINT, planar = PLANARCONFIG_CONTIG;
    uint16_t compression = COMPRESSION_NONE, photometric = 0, inkSet = INKSET_CMYK;
    uint16_t extraCount = 0;
    uint16_t *extra = nullptr;
    TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &w);
    TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &h);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_BITSPERSAMPLE, &bits);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLESPERPIXEL, &samples);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLEFORMAT, &format);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_PLANARCONFIG, &planar);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_COMPRESSION, &compression);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_INKSET, &inkSet);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_EXTRASAMPLES, &extraCount, &extra);
    TiffTags tags;
    tags.width = w;
    tags.height = h;
    tags.bits = bits;
    tags.samples = samples;
    tags.sampleFormat = format;
    tags.planar = planar == PLANARCONFIG_SEPARATE;
    tags.compression = compression;
    tags.inkSet = inkSet;
    tags.extraSamples = extraCount;
    tags.firstExtraSample = extraCount > 0 && extra ? extra[0] : 0;
    tags.photometric = TIFFGetField(tiff, TIFFTAG_PHOTOMETRIC, &photometric) ? photometric : -1;
    tags.codecAvailable = TIFFIsCODECConfigured(compression) != 0;
    return tags;
}

// The colour map reduced to 8 bits a component; empty when the file has none. Some
// writers store 8-bit values in the 16-bit map: then they are taken as they are.
std::vector<std::array<uint8_t, 3>> ReadColourMap(TIFF *tiff, int bits)
{
    uint16_t *red = nullptr, *green = nullptr, *blue = nullptr;
    if (!TIFFGetField(tiff, TIFFTAG_COLORMAP, &red, &green, &blue) || !red || !green || !blue)
        return {};
    const size_t count = size_t(1) << bits;
    bool eightBit = true;
    for (size_t i = 0; i < count && eightBit; ++i)
        eightBit = red[i] < 256 && green[i] < 256 && blue[i] < 256;
    const int shift = eightBit ? 0 : 8;
    std::vector<std::array<uint8_t, 3>> map(count);
    for (size_t i = 0; i < count; ++i)
        map[i] = {uint8_t(red[i] >> shift), uint8_t(green[i] >> shift), uint8_t(blue[i] >> shift)};
    return map;
}

struct Reader {
    TIFF *tiff;
    TiffSource &file;
    const TiffPlan &plan;
    TiffRowConverter &rows;
    const RasterImage &raster;
    int64_t width, height;

    int Planes() const { return plan.planar ? plan.samples : 1; }

    std::string Damaged(const char *fallback) const
    {
        return "The picture is damaged: "
               + (file.error.empty() ? std::string(fallback) : file.error);
    }

    // Uncompressed strips whose every byte is in the file are converted where they lie.
    // False (nothing done) when the file does not allow it.
    bool Direct() const
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
                planes[size_t(p)] =
                    starts[size_t(y / band + p * stripsPerPlane)] + y % band * rowBytes;
            rows.Convert(planes.data(), PictureRow(raster, y));
        }
        return true;
    }

    std::string ScanLines() const
    {
        const int64_t lineSize = TIFFScanlineSize64(tiff);
        if (lineSize < rows.PlaneRowBytes() || lineSize > kMaxWorkingBytes)
            return Damaged("its TIFF scan lines have the wrong size");
        std::vector<uint8_t> line(size_t(lineSize) + 8);
        const uint8_t *planes[1] = {line.data()};
        for (int64_t y = 0; y < height; ++y) {
            if (TIFFReadScanline(tiff, line.data(), uint32_t(y), 0) < 0)
                return Damaged("its TIFF data could not be decoded");
            rows.Convert(planes, PictureRow(raster, y));
        }
        return {};
    }

    // Planar strips or tiles: a band of rows of every plane at a time.
    std::string Bands() const
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
        const int64_t across =
            tiled ? (width + tileWidth - 1) / std::max<uint32_t>(tileWidth, 1) : 1;
        const int64_t pixelBits = int64_t(plan.planar ? 1 : plan.samples) * plan.bits;
        const int64_t tileRowBits = int64_t(tileWidth) * pixelBits;
        const int64_t bandRowBytes =
            tiled ? (across * tileRowBits + 7) / 8 + 8 : rows.PlaneRowBytes() + 8;
        const int64_t pieceBytes = tiled ? TIFFTileSize64(tiff) : TIFFStripSize64(tiff);
        if (tiled && (tileWidth == 0 || TIFFTileRowSize64(tiff) * 8 < uint64_t(tileRowBits)))
            return Damaged("its TIFF tiles have the wrong size");
        if (pieceBytes <= 0 || bandRowBytes * band > kMaxWorkingBytes / Planes()
            || pieceBytes > kMaxWorkingBytes)
            return pieceBytes <= 0 ? Damaged("its TIFF strips have no size") : TooLargeBand();

        std::vector<std::vector<uint8_t>> planeBands(static_cast<size_t>(Planes()));
        for (auto &b : planeBands)
            b.resize(size_t(bandRowBytes * band));
        std::vector<uint8_t> piece(tiled ? size_t(pieceBytes) : 0);
        std::vector<const uint8_t *> planes(static_cast<size_t>(Planes()));
        const int64_t tileRowBytes = tiled ? int64_t(TIFFTileRowSize64(tiff)) : 0;
        for (int64_t y0 = 0; y0 < height; y0 += band) {
            const int64_t bandHeight = std::min(band, height - y0);
            for (int p = 0; p < Planes(); ++p) {
                uint8_t *target = planeBands[size_t(p)].data();
                if (!tiled) {
                    const uint32_t strip = TIFFComputeStrip(tiff, uint32_t(y0), uint16_t(p));
                    if (TIFFReadEncodedStrip(tiff, strip, target, tmsize_t(bandRowBytes * band))
                        < 0)
                        return Damaged("its TIFF data could not be decoded");
                    // The strip's rows lie one after another, without the band's margin.
                    const int64_t rowBytes = rows.PlaneRowBytes();
                    for (int64_t r = bandHeight - 1; r > 0; --r)
                        std::memmove(target + r * bandRowBytes, target + r * rowBytes,
                                     size_t(rowBytes));
                    continue;
                }
                for (int64_t t = 0; t < across; ++t) {
                    const uint32_t tile = TIFFComputeTile(tiff, uint32_t(t * tileWidth),
                                                          uint32_t(y0), 0, uint16_t(p));
                    if (TIFFReadEncodedTile(tiff, tile, piece.data(), tmsize_t(pieceBytes)) < 0)
                        return Damaged("its TIFF data could not be decoded");
                    // Only the part of the tile inside the picture.
                    const int64_t inside =
                        std::min<int64_t>(tileWidth, width - t * tileWidth) * pixelBits;
                    for (int64_t r = 0; r < bandHeight; ++r)
                        CopyBits(piece.data() + r * tileRowBytes, inside, target + r * bandRowBytes,
                                 t * tileRowBits);
                }
            }
            for (int64_t r = 0; r < bandHeight; ++r) {
                for (int p = 0; p < Planes(); ++p)
                    planes[size_t(p)] = planeBands[size_t(p)].data() + r * bandRowBytes;
                rows.Convert(planes.data(), PictureRow(raster, y0 + r));
            }
        }
        return {};
    }

    // Copies bits bits from the start of from to bit position at of to, which has a byte
    // to spare after them. The bits of to before at are kept; up to a byte after the
    // copied ones may change (the next tile's copy writes them again).
    static void CopyBits(const uint8_t *from, int64_t bits, uint8_t *to, int64_t at)
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
};

RasterImage ReadThroughRgba(TIFF *tiff, TiffSource &file, int64_t width, int64_t height)
{
    char message[1024] = {};
    if (!TIFFRGBAImageOK(tiff, message)) {
        std::string what = message;
        if (what.rfind("Sorry, ", 0) == 0)
            what.erase(0, 7);
        return FailedRaster("This TIFF picture is not supported: libtiff " + what);
    }
    TIFFRGBAImage image;
    if (!TIFFRGBAImageBegin(&image, tiff, 0, message))
        return DamagedRaster(file.error.empty() ? std::string(message) : file.error);
    // Asking for the file's own orientation makes the reader deliver the rows as
    // stored, top row first; the orientation is applied afterwards like on every path.
    image.req_orientation = image.orientation;
    RasterImage raster = newdib(int32_t(width), int32_t(height), 24, nullptr, 0);
    if (!raster.Pixels) {
        TIFFRGBAImageEnd(&image);
        return NoMemory(width, height);
    }
    const int64_t blockRows = std::max<int64_t>(1, std::min<int64_t>(height, (1 << 22) / width));
    std::vector<uint32_t> block(size_t(width * blockRows));
    for (int64_t y0 = 0; y0 < height; y0 += blockRows) {
        const int64_t rows = std::min(blockRows, height - y0);
        image.row_offset = int(y0);
        image.col_offset = 0;
        if (!TIFFRGBAImageGet(&image, block.data(), uint32_t(width), uint32_t(rows))) {
            TIFFRGBAImageEnd(&image);
            deldib(raster);
            return DamagedRaster(file.error.empty() ? "its TIFF data could not be decoded"
                                                    : file.error);
        }
        for (int64_t r = 0; r < rows; ++r) {
            const uint32_t *in = block.data() + r * width;
            uint8_t *row = PictureRow(raster, y0 + r);
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

void SetPalette(RasterImage &raster, const TiffPlan &plan,
                const std::vector<std::array<uint8_t, 3>> &map)
{
    switch (plan.colours) {
    case TiffColours::Bilevel:
        SetColour(raster, 0, 0, 0, 0);
        SetColour(raster, 1, 255, 255, 255);
        FinishPalette(raster);
        break;
    case TiffColours::Grey: SetGreyPalette(raster); break;
    case TiffColours::Palette:
        if (plan.depth <= 8) {
            for (size_t i = 0; i < map.size() && i < size_t(1) << plan.depth; ++i)
                SetColour(raster, int(i), map[i][0], map[i][1], map[i][2]);
            FinishPalette(raster);
        }
        break;
    default: break;
    }
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
    TiffSource file{bytes.data, bytes.size, 0, {}};
    TiffHandle tiff = OpenTiffMemory(file);
    if (!tiff)
        return DamagedRaster(file.error.empty() ? "its TIFF header could not be read" : file.error);

    const TiffTags tags = ReadTags(tiff.get());
    if (auto refusal = CheckPictureSize(tags.width, tags.height))
        return FailedRaster(*refusal);
    const auto planned = PlanTiff(tags);
    if (const auto *refusal = std::get_if<std::string>(&planned))
        return FailedRaster(*refusal);
    const TiffPlan &plan = std::get<TiffPlan>(planned);
    const int64_t width = tags.width, height = tags.height;
    uint16_t orientation = ORIENTATION_TOPLEFT;
    TIFFGetFieldDefaulted(tiff.get(), TIFFTAG_ORIENTATION, &orientation);

    if (plan.colours == TiffColours::ThroughRgba)
        return ApplyOrientation(ReadThroughRgba(tiff.get(), file, width, height), orientation);
    if (plan.jpegAsRgb)
        TIFFSetField(tiff.get(), TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);

    std::vector<std::array<uint8_t, 3>> map;
    if (plan.colours == TiffColours::Palette) {
        map = ReadColourMap(tiff.get(), plan.bits);
        if (map.empty())
            return DamagedRaster("its TIFF palette is missing");
    }
    // Rows of more than the working limit (absurd sample counts) are refused before the
    // converter allocates for them.
    const int64_t pixelBits = int64_t(plan.planar ? 1 : plan.samples) * plan.bits;
    if (width * pixelBits / 8 > kMaxWorkingBytes)
        return FailedRaster(TooLargeBand());
    RasterImage raster = newdib(int32_t(width), int32_t(height), plan.depth, nullptr, 0);
    if (!raster.Pixels)
        return NoMemory(width, height);
    SetPalette(raster, plan, map);

    TiffRowConverter rows(plan, width, std::move(map));
    const Reader reader{tiff.get(), file, plan, rows, raster, width, height};
    std::string error;
    if (!reader.Direct())
        error = !plan.planar && !TIFFIsTiled(tiff.get()) ? reader.ScanLines() : reader.Bands();
    if (!error.empty()) {
        deldib(raster);
        return FailedRaster(error);
    }
    return ApplyOrientation(raster, orientation);
}

} // namespace rastix
