// SPDX-License-Identifier: GPL-3.0-or-later
// Turns the stored rows of a TIFF picture into raster rows, for every sample depth and
// kind the plan admits.
//
// Integer samples of n bits become 8 bits: up to 8 bits by repeating the value's bits
// (so 1, 2 and 4 bits give exactly v * 255 / (2^n - 1)), more than 8 bits by keeping the
// high 8 bits: in both cases the high byte of the sample scaled to 16 bits as ImageMagick
// scales it.
// Signed samples are shifted by half their range first (-2^(n-1) is black), as
// ImageMagick and GIMP show them. Floating-point samples are taken as 0..1 (outside
// clamped, NaN black). Samples of more than 8 bits and floating-point ones are mixed
// (ink times black, alpha over white) at 16 bits and reduced afterwards; narrower ones at
// 8 bits. CMYK is red = (max - cyan) (max - black) / max, truncated, as libtiff and
// netpbm compute it. L*a*b* is shown as sRGB relative to the WhitePoint tag's white, D50
// without one (CieLab.h). Alpha, associated or not, is composited onto white.
#pragma once

#include "platform/rastix/formats/CieLab.h"
#include "platform/rastix/formats/TiffPlan.h"

#include <array>
#include <cstdint>
#include <vector>

namespace rastix {

class TiffRowConverter {
public:
    // colourMap: the file's colours for each palette index, 8 bits a component (palette
    // pictures only; indices past it are clamped to its last entry).
    TiffRowConverter(const TiffPlan &plan, int64_t width,
                     std::vector<std::array<uint8_t, 3>> colourMap = {});

    // Converts one stored row into one raster row of plan.depth bits. planes holds the
    // row (chunky) or one row per sample (planar); 16-, 24-, 32- and 64-bit samples are
    // in the machine's byte order, narrower and odd-sized ones packed from the high bit.
    void Convert(const uint8_t *const *planes, uint8_t *out);

    // Bytes of one stored row in one plane.
    int64_t PlaneRowBytes() const;

private:
    uint64_t Raw(const uint8_t *const *planes, int64_t x, int sample) const;
    void Unpack(const uint8_t *const *planes, int sample, std::vector<uint16_t> &to) const;
    uint16_t Scale(uint64_t raw) const;
    void ConvertLab(const uint8_t *const *planes, uint8_t *out);
    void ConvertPalette(const uint8_t *const *planes, uint8_t *out);
    void Store(uint8_t *out);
    bool FastPath(const uint8_t *const *planes, uint8_t *out) const;

    TiffPlan plan_;
    int64_t width_;
    std::vector<std::array<uint8_t, 3>> colourMap_;
    bool wide_;                 // mixing at 16 bits
    unsigned max_;              // 255 or 65535
    std::vector<uint16_t> lut_; // raw sample to scaled value, for integer samples up to 16 bits
    std::vector<uint16_t> channel_[5];
    LabToSrgb lab_;
};

} // namespace rastix
