// SPDX-License-Identifier: GPL-3.0-or-later
// GIF: the first frame, always as an 8-bit raster with the frame's own colour table (or
// the global one). The raster has the logical screen's size; a smaller frame is placed
// at its position on the background colour, and the part of a frame outside the screen
// is cut off. Indices past the colour table are clamped to its last entry. When the
// compressed data ends early, the rows not reached keep the background colour.
//
// giflib reads every frame whose LZW code size is at most 8 bits. Larger code sizes (9
// to 11 bits), which other decoders read, go through GifLzwReader, found by a walk of
// the file's blocks of our own; 12 bits and more leave no room for GIF's two control
// codes and are refused as damaged.
#include "platform/rastix/Rastix.h"
#include "platform/rastix/formats/Decoder.h"
#include "platform/rastix/formats/GifLzw.h"

#include <gif_lib.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace rastix {
namespace {

struct MemorySource {
    const uint8_t *data;
    size_t size;
    size_t pos;
};

int ReadFromMemory(GifFileType *gif, GifByteType *buffer, int wanted)
{
    auto *source = static_cast<MemorySource *>(gif->UserData);
    if (wanted <= 0)
        return 0;
    const size_t n = std::min(size_t(wanted), source->size - source->pos);
    std::memcpy(buffer, source->data + source->pos, n);
    source->pos += n;
    return int(n);
}

struct GifCloser {
    void operator()(GifFileType *gif) const
    {
        int error = 0;
        DGifCloseFile(gif, &error);
    }
};
using GifHandle = std::unique_ptr<GifFileType, GifCloser>;

std::string GifError(int code)
{
    const char *text = GifErrorString(code);
    return text ? text : "GIF error " + std::to_string(code);
}

// Skips extension blocks until the first image descriptor; false when there is none.
bool FindFirstImage(GifFileType *gif)
{
    for (;;) {
        GifRecordType type;
        if (DGifGetRecordType(gif, &type) == GIF_ERROR)
            return false;
        if (type == IMAGE_DESC_RECORD_TYPE)
            return DGifGetImageDesc(gif) != GIF_ERROR;
        if (type != EXTENSION_RECORD_TYPE)
            return false;
        int code = 0;
        GifByteType *block = nullptr;
        if (DGifGetExtension(gif, &code, &block) == GIF_ERROR)
            return false;
        while (block) {
            if (DGifGetExtensionNext(gif, &block) == GIF_ERROR)
                return false;
        }
    }
}

// What the raster is built from, whichever reader decodes the frame.
struct GifPicture {
    int64_t screenWidth = 0, screenHeight = 0;
    int background = 0;
    int64_t left = 0, top = 0, width = 0, height = 0;
    bool interlace = false;
    std::vector<std::array<uint8_t, 3>> colours; // empty: 256 greys
};

// Reads the next frame row of width indices; false when the data ends.
using LineReader = std::function<bool(std::vector<uint16_t> &line)>;

RasterImage BuildRaster(const GifPicture &p, const LineReader &readLine)
{
    if (p.width <= 0 || p.height <= 0)
        return DamagedRaster("its GIF frame is empty");
    int64_t width = p.screenWidth, height = p.screenHeight;
    if (width <= 0 || height <= 0) {
        width = p.left + p.width;
        height = p.top + p.height;
    }
    if (auto refusal = CheckPictureSize(width, height))
        return FailedRaster(*refusal);

    const int colours = p.colours.empty() ? 256 : int(std::min<size_t>(p.colours.size(), 256));
    RasterImage raster = newdib(int32_t(width), int32_t(height), 8, nullptr, 0);
    if (!raster.Pixels)
        return FailedRaster("Not enough memory for a picture of " + std::to_string(width) + " x "
                            + std::to_string(height) + " pixels");
    for (int i = 0; i < colours; ++i) {
        if (p.colours.empty())
            SetColour(raster, i, uint8_t(i), uint8_t(i), uint8_t(i));
        else
            SetColour(raster, i, p.colours[size_t(i)][0], p.colours[size_t(i)][1],
                      p.colours[size_t(i)][2]);
    }
    FinishPalette(raster);

    const auto background = uint8_t(std::clamp(p.background, 0, colours - 1));
    std::memset(raster.Pixels, background, RasterImageSize(raster));

    // Interlaced frames arrive in four passes: every 8th row from 0, every 8th from 4,
    // every 4th from 2, every 2nd from 1.
    static constexpr int kPassStart[4] = {0, 4, 2, 1};
    static constexpr int kPassStep[4] = {8, 8, 4, 2};
    std::vector<uint16_t> line(static_cast<size_t>(p.width));
    const int passes = p.interlace ? 4 : 1;
    for (int pass = 0; pass < passes; ++pass) {
        const int start = p.interlace ? kPassStart[pass] : 0;
        const int step = p.interlace ? kPassStep[pass] : 1;
        for (int64_t r = start; r < p.height; r += step) {
            if (!readLine(line))
                return raster;
            const int64_t y = p.top + r;
            if (y >= height)
                continue;
            uint8_t *row = PictureRow(raster, y);
            for (int64_t x = 0; x < p.width && p.left + x < width; ++x)
                row[p.left + x] = uint8_t(std::min<int>(line[size_t(x)], colours - 1));
        }
    }
    return raster;
}

// The first frame as found by walking the file's blocks, with the offset of its LZW
// data; nothing when the walk finds no complete image descriptor.
struct RawFrame {
    GifPicture picture;
    int codeSize = 0;
    size_t data = 0;
};

std::optional<RawFrame> WalkToFirstFrame(Bytes file)
{
    const uint8_t *b = file.data;
    if (file.size < 13)
        return std::nullopt;
    RawFrame f;
    f.picture.screenWidth = Le16(b + 6);
    f.picture.screenHeight = Le16(b + 8);
    f.picture.background = b[11];
    auto table = [&](size_t at, int flags, std::vector<std::array<uint8_t, 3>> &to) -> size_t {
        const size_t n = size_t(1) << ((flags & 7) + 1);
        if (at > file.size || (file.size - at) / 3 < n)
            return 0;
        to.resize(n);
        for (size_t i = 0; i < n; ++i)
            to[i] = {b[at + 3 * i], b[at + 3 * i + 1], b[at + 3 * i + 2]};
        return at + 3 * n;
    };
    size_t pos = 13;
    std::vector<std::array<uint8_t, 3>> global;
    if (b[10] & 0x80 && (pos = table(pos, b[10], global)) == 0)
        return std::nullopt;
    while (pos < file.size) {
        if (b[pos] == 0x21) {
            pos += 2;
            while (pos < file.size && b[pos] != 0)
                pos += size_t(b[pos]) + 1;
            ++pos;
            continue;
        }
        if (b[pos] != 0x2C || file.size - pos < 11)
            return std::nullopt;
        const uint8_t *d = b + pos;
        f.picture.left = Le16(d + 1);
        f.picture.top = Le16(d + 3);
        f.picture.width = Le16(d + 5);
        f.picture.height = Le16(d + 7);
        f.picture.interlace = d[9] & 0x40;
        pos += 10;
        if (d[9] & 0x80) {
            if ((pos = table(pos, d[9], f.picture.colours)) == 0 || pos >= file.size)
                return std::nullopt;
        } else {
            f.picture.colours = global;
        }
        f.codeSize = b[pos];
        f.data = pos + 1;
        return f;
    }
    return std::nullopt;
}

RasterImage DecodeWideCodes(Bytes file, const RawFrame &frame)
{
    GifLzwReader reader(file.data + frame.data, file.size - frame.data, frame.codeSize);
    return BuildRaster(frame.picture, [&reader](std::vector<uint16_t> &line) {
        return reader.Read(line.data(), line.size());
    });
}

} // namespace

bool IsGif(Bytes file)
{
    return file.size >= 6
           && (std::memcmp(file.data, "GIF87a", 6) == 0
               || std::memcmp(file.data, "GIF89a", 6) == 0);
}

RasterImage DecodeGif(Bytes file)
{
    if (const auto frame = WalkToFirstFrame(file); frame && frame->codeSize > 8) {
        if (frame->codeSize > 11)
            return DamagedRaster("its GIF LZW code size of " + std::to_string(frame->codeSize)
                                 + " bits leaves no room for GIF's 12-bit codes");
        return DecodeWideCodes(file, *frame);
    }
    MemorySource source{file.data, file.size, 0};
    int error = 0;
    GifHandle gif(DGifOpen(&source, ReadFromMemory, &error));
    if (!gif)
        return DamagedRaster(GifError(error));
    if (!FindFirstImage(gif.get()))
        return DamagedRaster("the GIF file holds no complete picture");

    const GifImageDesc &frame = gif->Image;
    GifPicture p;
    p.screenWidth = gif->SWidth;
    p.screenHeight = gif->SHeight;
    p.background = gif->SBackGroundColor;
    p.left = frame.Left;
    p.top = frame.Top;
    p.width = frame.Width;
    p.height = frame.Height;
    p.interlace = frame.Interlace;
    if (const ColorMapObject *map = frame.ColorMap ? frame.ColorMap : gif->SColorMap) {
        for (int i = 0; i < std::clamp(map->ColorCount, 1, 256); ++i)
            p.colours.push_back({map->Colors[i].Red, map->Colors[i].Green, map->Colors[i].Blue});
    }
    std::vector<GifPixelType> pixels(static_cast<size_t>(std::max<int64_t>(p.width, 0)));
    return BuildRaster(p, [&](std::vector<uint16_t> &line) {
        if (DGifGetLine(gif.get(), pixels.data(), int(pixels.size())) == GIF_ERROR)
            return false;
        std::copy(pixels.begin(), pixels.end(), line.begin());
        return true;
    });
}

} // namespace rastix
