// SPDX-License-Identifier: GPL-3.0-or-later
// TIFF through libtiff, first directory only. The tags decide the plan (TiffPlan.h);
// the samples are read by the fastest way the file allows and turned into raster rows
// by TiffRowConverter:
//   uncompressed strips   straight from the file's bytes, no copy in between
//   other chunky strips   one scan line at a time through libtiff
//   planar strips, tiles  one band of strips or tiles at a time through libtiff
//   strips of fewer rows than a RowsPerStrip larger than the picture (a writer's bug)
//                         each as the directory lists it, uncompressed ones holding the
//                         rows their byte count holds, compressed ones the rows libtiff
//                         decodes from the first
//   YCbCr (not JPEG), Old-style JPEG, LogLuv, LogL   libtiff's RGBA reader
// Every path reads the picture as stored, and the Orientation tag is applied afterwards,
// so all of them show the same picture. Data that ends early or fails to decompress, or
// that libtiff reports as corrupt while returning it, ends the good rows there: when at
// least half of the picture's rows came before, they are shown and the rest is white
// (as a truncated JPEG is shown); otherwise the picture is refused as damaged with
// libtiff's first error.
#include "platform/rastix/Rastix.h"
#include "platform/rastix/formats/Decoder.h"
#include "platform/rastix/formats/Orientation.h"
#include "platform/rastix/formats/TiffMemory.h"
#include "platform/rastix/formats/TiffPlan.h"
#include "platform/rastix/formats/TiffReader.h"
#include "platform/rastix/formats/TiffRows.h"
#include "platform/rastix/formats/TiffStripList.h"
#include "platform/rastix/formats/WhiteRows.h"

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
    float *white = nullptr;
    if (TIFFGetField(tiff, TIFFTAG_WHITEPOINT, &white) && white) {
        tags.whiteX = white[0];
        tags.whiteY = white[1];
    }
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

// The raster when at least half of its rows were read, the rest filled white; else it
// is released and the refusal given.
RasterImage KeepGoodRows(const RasterImage &raster, const TiffRead &read, const TiffSource &file,
                         int64_t height)
{
    if (read.refusal.empty() && read.rows * 2 >= height) {
        FillWhiteFrom(raster, read.rows);
        return raster;
    }
    deldib(raster);
    if (!read.refusal.empty())
        return FailedRaster(read.refusal);
    return DamagedRaster(file.error.empty() ? "its TIFF data could not be decoded" : file.error);
}

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
    // A block of rows at a time, no larger than a strip or a row of tiles, so that an
    // error libtiff reports ends the good rows where that strip or tile row begins.
    uint32_t pieceRows = 0;
    TIFFGetFieldDefaulted(tiff, TIFFIsTiled(tiff) ? TIFFTAG_TILELENGTH : TIFFTAG_ROWSPERSTRIP,
                          &pieceRows);
    const int64_t blockRows = std::max<int64_t>(
        1, std::min<int64_t>({height, (1 << 22) / width, std::max<int64_t>(pieceRows, 1)}));
    std::vector<uint32_t> block(size_t(width * blockRows));
    TiffRead read{height, {}};
    for (int64_t y0 = 0; y0 < height; y0 += blockRows) {
        const int64_t rows = std::min(blockRows, height - y0);
        image.row_offset = int(y0);
        image.col_offset = 0;
        const int64_t errorsBefore = file.errors;
        if (!TIFFRGBAImageGet(&image, block.data(), uint32_t(width), uint32_t(rows))
            || file.errors > errorsBefore) {
            read.rows = y0;
            break;
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
    return KeepGoodRows(raster, read, file, height);
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

// The stored rows by the fastest path the file allows.
TiffRead ReadRows(const TiffReader &reader, Bytes bytes, int compression)
{
    TIFF *tiff = reader.tiff;
    const int64_t height = reader.height;
    const bool chunkyStrips = !reader.plan.planar && !TIFFIsTiled(tiff);
    const TiffStripList listed =
        chunkyStrips
            ? ListTiffStrips(bytes.data, bytes.size, TIFFCurrentDirOffset(tiff), size_t(height))
            : TiffStripList{};
    // A writer's bug: RowsPerStrip larger than the picture, beside strips of fewer rows.
    const bool shortStrips = listed.rowsPerStrip > uint64_t(height) && listed.strips.size() > 1;
    if (shortStrips && compression == COMPRESSION_NONE)
        return reader.Listed(listed.strips, 0, 0, 0);
    if (reader.Direct())
        return {height, {}};
    const TiffRead read = chunkyStrips ? reader.ScanLines() : reader.Bands();
    // libtiff took the first strip for the whole picture and stopped where its data
    // ended: that many rows are in every strip but the last, when the strips listed then
    // cover the picture.
    const int64_t first = read.rows, count = int64_t(listed.strips.size());
    if (!shortStrips || !read.refusal.empty() || first == 0 || (count - 1) * first >= height
        || count * first < height)
        return read;
    reader.file.error.clear();
    return reader.Listed(listed.strips, 1, first, first);
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
        return FailedRaster(TiffBandTooLarge());
    RasterImage raster = newdib(int32_t(width), int32_t(height), plan.depth, nullptr, 0);
    if (!raster.Pixels)
        return NoMemory(width, height);
    SetPalette(raster, plan, map);

    TiffRowConverter rows(plan, width, std::move(map));
    const TiffReader reader{tiff.get(), file, plan, rows, raster, width, height};
    const TiffRead read = ReadRows(reader, bytes, tags.compression);
    return ApplyOrientation(KeepGoodRows(raster, read, file, height), orientation);
}

} // namespace rastix
