// SPDX-License-Identifier: GPL-3.0-or-later
// GIF through giflib: the first frame, always as an 8-bit raster with the frame's own
// colour table (or the global one). The raster has the logical screen's size; a smaller
// frame is placed at its position on the background colour, and the part of a frame
// outside the screen is cut off. Indices past the colour table are clamped to its last
// entry. When the compressed data ends early, the rows not reached keep the
// background colour.
#include "platform/rastix/Rastix.h"
#include "platform/rastix/formats/Decoder.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <memory>
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

} // namespace

bool IsGif(Bytes file)
{
    return file.size >= 6
           && (std::memcmp(file.data, "GIF87a", 6) == 0
               || std::memcmp(file.data, "GIF89a", 6) == 0);
}

RasterImage DecodeGif(Bytes file)
{
    MemorySource source{file.data, file.size, 0};
    int error = 0;
    GifHandle gif(DGifOpen(&source, ReadFromMemory, &error));
    if (!gif)
        return DamagedRaster(GifError(error));
    if (!FindFirstImage(gif.get()))
        return DamagedRaster("the GIF file holds no complete picture");

    const GifImageDesc &frame = gif->Image;
    const int64_t left = frame.Left, top = frame.Top;
    const int64_t frameWidth = frame.Width, frameHeight = frame.Height;
    if (frameWidth <= 0 || frameHeight <= 0)
        return DamagedRaster("its GIF frame is empty");
    int64_t width = gif->SWidth, height = gif->SHeight;
    if (width <= 0 || height <= 0) {
        width = left + frameWidth;
        height = top + frameHeight;
    }
    if (auto refusal = CheckPictureSize(width, height))
        return FailedRaster(*refusal);

    const ColorMapObject *map = frame.ColorMap ? frame.ColorMap : gif->SColorMap;
    const int colours = map ? std::clamp(map->ColorCount, 1, 256) : 256;
    RasterImage raster = newdib(int32_t(width), int32_t(height), 8, nullptr, 0);
    if (!raster.Pixels)
        return FailedRaster("Not enough memory for a picture of " + std::to_string(width) + " x "
                            + std::to_string(height) + " pixels");
    for (int i = 0; i < colours; ++i) {
        if (map)
            SetColour(raster, i, map->Colors[i].Red, map->Colors[i].Green, map->Colors[i].Blue);
        else
            SetColour(raster, i, uint8_t(i), uint8_t(i), uint8_t(i));
    }
    FinishPalette(raster);

    const auto background = uint8_t(std::min(gif->SBackGroundColor, colours - 1));
    std::memset(raster.Pixels, background, RasterImageSize(raster));

    // Interlaced frames arrive in four passes: every 8th row from 0, every 8th from 4,
    // every 4th from 2, every 2nd from 1.
    static constexpr int kPassStart[4] = {0, 4, 2, 1};
    static constexpr int kPassStep[4] = {8, 8, 4, 2};
    std::vector<GifPixelType> line(static_cast<size_t>(frameWidth));
    const int passes = frame.Interlace ? 4 : 1;
    for (int pass = 0; pass < passes; ++pass) {
        const int start = frame.Interlace ? kPassStart[pass] : 0;
        const int step = frame.Interlace ? kPassStep[pass] : 1;
        for (int64_t r = start; r < frameHeight; r += step) {
            if (DGifGetLine(gif.get(), line.data(), int(frameWidth)) == GIF_ERROR)
                return raster;
            const int64_t y = top + r;
            if (y >= height)
                continue;
            uint8_t *row = raster.Pixels + int64_t(raster.Stride) * (height - 1 - y);
            for (int64_t x = 0; x < frameWidth && left + x < width; ++x)
                row[left + x] = uint8_t(std::min<int>(line[size_t(x)], colours - 1));
        }
    }
    return raster;
}

} // namespace rastix
