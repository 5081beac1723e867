// SPDX-License-Identifier: GPL-3.0-or-later
// What every picture decoder of the raster library shares.
//
// A decoder is a pair of functions over the file's bytes in memory: a sniffer that
// looks only at magic bytes, and a decoder that returns the picture as a raster made
// by newdib, or a failed raster carrying a readable error text. Decoders check the
// declared size against the limits before allocating anything, never read outside
// the input and never write outside the raster.
#pragma once

#include "platform/rastix/Rastix.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace rastix {

struct Bytes {
    const uint8_t *data = nullptr;
    size_t size = 0;
};

using SniffFunction = bool (*)(Bytes file);
using DecodeFunction = RasterImage (*)(Bytes file);

struct PictureFormat {
    const char *name;
    SniffFunction sniff;
    DecodeFunction decode;
};

// Largest picture OpenDib accepts: each side, and the pixel count. A fuzz build for long
// runs may lower the count: a file of a few bytes can declare 120 million pixels, and
// under AddressSanitizer the shadow memory of such a raster costs half a second per
// input, so the run would spend its time there instead of in the decoders.
constexpr int64_t kMaxPictureSide = 32767;
#ifdef TINTWELL_MAX_PICTURE_PIXELS
constexpr int64_t kMaxPicturePixels = TINTWELL_MAX_PICTURE_PIXELS;
#else
constexpr int64_t kMaxPicturePixels = 120'000'000;
#endif
// Largest working buffer a decoder holds besides the raster (a band of decompressed
// TIFF strips or tiles, a scan line).
constexpr int64_t kMaxWorkingBytes = int64_t(256) << 20;

// A record with a null pixel address whose palette entry area holds text
// (truncated to fit, always zero-terminated).
RasterImage FailedRaster(const std::string &text);

// The "too large" / "damaged" refusal for a declared size, or nothing when the size
// is within the limits. Non-positive sides are refused as damaged.
std::optional<std::string> CheckPictureSize(int64_t width, int64_t height);

// "The picture is damaged: " + what.
RasterImage DamagedRaster(const std::string &what);

// Sets colour-table entry i of an indexed raster and the matching logical-palette
// entry (the palette handle is refreshed by FinishPalette).
void SetColour(RasterImage &raster, int index, uint8_t red, uint8_t green, uint8_t blue);
// Re-creates the palette handle from the logical palette after SetColour calls.
void FinishPalette(RasterImage &raster);
// Fills the colour table of an 8-bit raster with 256 greys.
void SetGreyPalette(RasterImage &raster);

// Little- and big-endian readers; the caller has checked the bounds.
inline uint16_t Le16(const uint8_t *p)
{
    return uint16_t(p[0] | p[1] << 8);
}
inline uint32_t Le32(const uint8_t *p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
inline uint16_t Be16(const uint8_t *p)
{
    return uint16_t(p[0] << 8 | p[1]);
}
inline uint32_t Be32(const uint8_t *p)
{
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
}

// The decoders, one pair per format.
bool IsBmp(Bytes file);
RasterImage DecodeBmp(Bytes file);
bool IsPng(Bytes file);
RasterImage DecodePng(Bytes file);
bool IsJpeg(Bytes file);
RasterImage DecodeJpeg(Bytes file);
bool IsGif(Bytes file);
RasterImage DecodeGif(Bytes file);
bool IsTiff(Bytes file);
RasterImage DecodeTiff(Bytes file);
bool IsPcx(Bytes file);
RasterImage DecodePcx(Bytes file);
bool IsIlbm(Bytes file);
RasterImage DecodeIlbm(Bytes file);
// TGA has no magic number: its sniffer checks the header's consistency instead, so it
// must come last in the list of formats.
bool IsTga(Bytes file);
RasterImage DecodeTga(Bytes file);

} // namespace rastix
