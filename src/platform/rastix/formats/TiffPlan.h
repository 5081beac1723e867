// SPDX-License-Identifier: GPL-3.0-or-later
// What a TIFF picture's tags say, and how the decoder turns its samples into a raster:
// a plain function of the tag values, so every kind and every refusal is decided in one
// place, before anything is read or allocated.
#pragma once

#include <cstdint>
#include <string>
#include <variant>

namespace rastix {

// The tag values the plan depends on, with libtiff's defaults filled in.
struct TiffTags {
    int64_t width = 0, height = 0;
    int bits = 1;             // BitsPerSample
    int samples = 1;          // SamplesPerPixel
    int sampleFormat = 1;     // 1 unsigned, 2 signed, 3 floating point, 4 undefined
    int photometric = -1;     // -1 when the tag is missing
    int compression = 1;      // Compression
    bool planar = false;      // PlanarConfiguration 2
    int inkSet = 1;           // InkSet: 1 CMYK
    int extraSamples = 0;     // the count of ExtraSamples
    int firstExtraSample = 0; // its first value: 1 associated alpha, 2 unassociated alpha
    bool codecAvailable = true;
    double whiteX = 0, whiteY = 0; // WhitePoint's chromaticity, 0 when the tag is missing
};

enum class TiffColours {
    Bilevel,     // 1-bit grey, kept as a 1-bit raster
    Grey,        // 8-bit grey raster
    Palette,     // indexed raster with the file's colour map, or 24 bits past 8-bit indices
    Rgb,         // 24 bits
    Cmyk,        // 24 bits, ink times black
    Lab,         // 24 bits, L*a*b* shown as sRGB
    ThroughRgba, // 24 bits through libtiff's RGBA reader (YCbCr, Old JPEG, LogLuv, LogL)
};

enum class SampleKind { Unsigned, Signed, Float };

struct TiffPlan {
    TiffColours colours = TiffColours::Grey;
    SampleKind kind = SampleKind::Unsigned;
    int bits = 8;
    int samples = 1;       // stored per pixel
    int colourSamples = 1; // the first 1, 3 or 4 of them carry the colour
    int alpha = -1;        // sample index of the alpha, -1 when there is none
    bool premultiplied = false;
    bool planar = false;
    bool minIsWhite = false;
    bool iccLab = false;           // a* and b* stored with an offset of 128, not signed
    double whiteX = 0, whiteY = 0; // the white L*a*b* is relative to; 0: D50 (CieLab.h)
    bool jpegAsRgb = false;        // JPEG-compressed YCbCr, decoded to RGB by libtiff
    int depth = 24;                // of the raster
};

// The plan for the picture, or the whole refusal text.
std::variant<TiffPlan, std::string> PlanTiff(const TiffTags &tags);

// The compression's name for refusal texts ("JPEG 2000", "compression 12345").
std::string TiffCompressionName(int compression);

} // namespace rastix
