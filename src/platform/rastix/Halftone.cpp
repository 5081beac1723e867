// SPDX-License-Identifier: GPL-3.0-or-later
// DIBHalftoneDIB and DIBHalftoneDIBXY: a 24-bit raster reduced to one fixed 8-bit
// palette by ordered (8 x 8 Bayer) dithering.
//
// The palette: indices 0..215 are the 6 x 6 x 6 colour cube (levels 0, 51, ..., 255,
// index = 36 red + 6 green + blue level); indices 216..255 are 40 further greys,
// 255 k / 41 rounded for k = 1..40, none of which lies on the cube. A pixel whose
// three channels are equal is dithered along the 46-step grey ramp (cube greys plus
// the extra ones); any other pixel is dithered channel by channel on the cube. A
// colour that is in the palette is reproduced exactly, with no dither noise.
#include "platform/rastix/Rastix.h"
#include "platform/rastix/formats/Decoder.h"

#include <algorithm>
#include <array>

namespace {

constexpr int kCubeLevels = 6;
constexpr int kCubeStep = 51;
constexpr int kCubeEntries = kCubeLevels * kCubeLevels * kCubeLevels;
constexpr int kExtraGreys = 256 - kCubeEntries;

// The classic 8 x 8 Bayer threshold matrix, values 0..63.
constexpr uint8_t kBayer[8][8] = {
    {0, 32, 8, 40, 2, 34, 10, 42},  {48, 16, 56, 24, 50, 18, 58, 26},
    {12, 44, 4, 36, 14, 46, 6, 38}, {60, 28, 52, 20, 62, 30, 54, 22},
    {3, 35, 11, 43, 1, 33, 9, 41},  {51, 19, 59, 27, 49, 17, 57, 25},
    {15, 47, 7, 39, 13, 45, 5, 37}, {63, 31, 55, 23, 61, 29, 53, 21},
};

constexpr uint8_t ExtraGrey(int k)
{
    // 255 k / 41 rounded to nearest (never a tie: 41 is odd).
    return uint8_t((255 * k * 2 + 41) / 82);
}

// One step of a ramp: value v lies in [lower, upper]; the indices are palette indices.
struct RampStep {
    uint8_t lower = 0;
    uint8_t upper = 0;
    uint8_t lowerIndex = 0;
    uint8_t upperIndex = 0;
};

// For every grey value, the two neighbouring grey-ramp entries.
std::array<RampStep, 256> MakeGreyRamp()
{
    struct Level {
        uint8_t value;
        uint8_t index;
    };
    std::array<Level, kCubeLevels + kExtraGreys> levels{};
    int n = 0;
    for (int l = 0; l < kCubeLevels; ++l)
        levels[n++] = {uint8_t(l * kCubeStep), uint8_t(l * (36 + 6 + 1))};
    for (int k = 1; k <= kExtraGreys; ++k)
        levels[n++] = {ExtraGrey(k), uint8_t(kCubeEntries + k - 1)};
    std::sort(levels.begin(), levels.end(),
              [](const Level &a, const Level &b) { return a.value < b.value; });

    std::array<RampStep, 256> ramp{};
    size_t next = 1;
    for (int v = 0; v < 256; ++v) {
        while (next + 1 < levels.size() && levels[next].value < v)
            ++next;
        const Level &lo = levels[next - 1];
        const Level &hi = levels[next];
        ramp[size_t(v)] = {lo.value, hi.value, lo.index, hi.index};
    }
    return ramp;
}

// True when the ordered-dither threshold t (0..63) sends v up to the upper entry.
// The threshold sits at (t + 1/2) / 64 of the step, so v == lower never moves up
// and v == upper always does.
inline bool TakeUpper(int v, int lower, int upper, int t)
{
    return upper > lower && (v - lower) * 128 > (2 * t + 1) * (upper - lower);
}

inline int CubeLevel(int v, int t)
{
    const int lower = v / kCubeStep;
    if (lower == kCubeLevels - 1)
        return lower;
    return TakeUpper(v, lower * kCubeStep, (lower + 1) * kCubeStep, t) ? lower + 1 : lower;
}

void FillHalftonePalette(RasterImage &raster)
{
    for (int r = 0; r < kCubeLevels; ++r)
        for (int g = 0; g < kCubeLevels; ++g)
            for (int b = 0; b < kCubeLevels; ++b)
                rastix::SetColour(raster, r * 36 + g * 6 + b, uint8_t(r * kCubeStep),
                                  uint8_t(g * kCubeStep), uint8_t(b * kCubeStep));
    for (int k = 1; k <= kExtraGreys; ++k)
        rastix::SetColour(raster, kCubeEntries + k - 1, ExtraGrey(k), ExtraGrey(k), ExtraGrey(k));
    raster.PaletteFlag = 1;
    rastix::FinishPalette(raster);
}

} // namespace

RasterImage DIBHalftoneDIBXY(const RasterImage &raster, int32_t width, int32_t height)
{
    const int32_t sourceWidth = RasterWidth(raster);
    const int32_t sourceHeight = RasterHeight(raster);
    if (!raster.Pixels || RasterBitCount(raster) != 24 || sourceWidth <= 0 || sourceHeight <= 0
        || width <= 0 || height <= 0)
        return RasterImage{};

    RasterImage result = newdib(width, height, 8, nullptr, 0);
    if (!result.Pixels)
        return result;
    FillHalftonePalette(result);

    static const std::array<RampStep, 256> greyRamp = MakeGreyRamp();
    for (int32_t y = 0; y < height; ++y) {
        // Rows are addressed by picture row (top first) so the dither pattern is
        // anchored at the picture's top left corner.
        const int32_t sy = int32_t(int64_t(y) * sourceHeight / height);
        const uint8_t *in = PictureRow(raster, sy);
        uint8_t *out = PictureRow(result, y);
        const uint8_t *bayerRow = kBayer[y & 7];
        for (int32_t x = 0; x < width; ++x) {
            const int32_t sx = int32_t(int64_t(x) * sourceWidth / width);
            const uint8_t *p = in + int64_t(sx) * 3;
            const int b = p[0], g = p[1], r = p[2];
            const int t = bayerRow[x & 7];
            if (r == g && g == b) {
                const RampStep &s = greyRamp[size_t(r)];
                out[x] = TakeUpper(r, s.lower, s.upper, t) ? s.upperIndex : s.lowerIndex;
            } else {
                out[x] = uint8_t(CubeLevel(r, t) * 36 + CubeLevel(g, t) * 6 + CubeLevel(b, t));
            }
        }
    }
    return result;
}

RasterImage DIBHalftoneDIB(const RasterImage &raster)
{
    return DIBHalftoneDIBXY(raster, RasterWidth(raster), RasterHeight(raster));
}
