// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/rastix/formats/Decoder.h"

#include <cstring>

namespace rastix {

RasterImage FailedRaster(const std::string &text)
{
    RasterImage raster;
    auto *area = reinterpret_cast<char *>(raster.Palette.palPalEntry);
    const size_t room = sizeof raster.Palette.palPalEntry - 1;
    const size_t n = text.size() < room ? text.size() : room;
    std::memcpy(area, text.data(), n);
    area[n] = '\0';
    return raster;
}

RasterImage DamagedRaster(const std::string &what)
{
    return FailedRaster("The picture is damaged: " + what);
}

std::optional<std::string> CheckPictureSize(int64_t width, int64_t height)
{
    if (width <= 0 || height <= 0)
        return "The picture is damaged: its size is " + std::to_string(width) + " x "
               + std::to_string(height) + " pixels";
    if (width > kMaxPictureSide || height > kMaxPictureSide || width * height > kMaxPicturePixels)
        return "The picture is too large: " + std::to_string(width) + " x " + std::to_string(height)
               + " pixels (at most " + std::to_string(kMaxPictureSide) + " pixels a side and "
               + std::to_string(kMaxPicturePixels / 1'000'000) + " million pixels)";
    return std::nullopt;
}

void SetColour(RasterImage &raster, int index, uint8_t red, uint8_t green, uint8_t blue)
{
    if (!raster.Bitmap || index < 0 || index >= 256)
        return;
    raster.ColourTable()[index] = RGBQUAD{blue, green, red, 0};
    raster.Palette.palPalEntry[index] = PALETTEENTRY{red, green, blue, 0};
}

void FinishPalette(RasterImage &raster)
{
    if (!raster.PaletteHandle)
        return;
    DeletePalette(raster.PaletteHandle);
    raster.PaletteHandle = CreatePalette(raster.Palette);
}

void SetGreyPalette(RasterImage &raster)
{
    for (int i = 0; i < 256; ++i)
        SetColour(raster, i, uint8_t(i), uint8_t(i), uint8_t(i));
    FinishPalette(raster);
}

} // namespace rastix
