// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/rastix/formats/TiffPlan.h"

namespace rastix {
namespace {

// Photometric interpretations and compressions, as numbered in TIFF files.
enum Photometric {
    kMinIsWhite = 0,
    kMinIsBlack = 1,
    kRgb = 2,
    kPalette = 3,
    kMask = 4,
    kSeparated = 5,
    kYCbCr = 6,
    kCieLab = 8,
    kIccLab = 9,
    kItuLab = 10,
    kCfa = 32803,
    kLogL = 32844,
    kLogLuv = 32845,
    kLinearRaw = 34892,
};
constexpr int kOldJpeg = 6;
constexpr int kJpeg = 7;

std::string Unsupported(const std::string &what)
{
    return "TIFF with " + what + " is not supported";
}

std::string Damaged(const std::string &what)
{
    return "The picture is damaged: " + what;
}

std::string Bits(int bits)
{
    return std::to_string(bits) + "-bit";
}

} // namespace

std::string TiffCompressionName(int compression)
{
    switch (compression) {
    case 2: return "CCITT RLE";
    case 3: return "CCITT Group 3";
    case 4: return "CCITT Group 4";
    case 5: return "LZW";
    case 6: return "Old-style JPEG";
    case 7: return "JPEG";
    case 8:
    case 32946: return "Deflate";
    case 32773: return "PackBits";
    case 32809: return "ThunderScan";
    case 32909: return "PixarLog";
    case 34661: return "JBIG";
    case 34676:
    case 34677: return "SGI LogLuv";
    case 34712: return "JPEG 2000";
    case 34887: return "LERC";
    case 34892: return "lossy JPEG (DNG)";
    case 34925: return "LZMA";
    case 50000: return "Zstandard";
    case 50001: return "WebP";
    case 50002: return "JPEG XL";
    default: return "compression " + std::to_string(compression);
    }
}

std::variant<TiffPlan, std::string> PlanTiff(const TiffTags &tags)
{
    if (!tags.codecAvailable) {
        const std::string name = TiffCompressionName(tags.compression);
        return name.rfind("compression ", 0) == 0 ? Unsupported(name)
                                                  : Unsupported(name + " compression");
    }
    TiffPlan plan;
    plan.bits = tags.bits;
    plan.samples = tags.samples;
    plan.planar = tags.planar && tags.samples > 1;
    if (tags.bits <= 0)
        return Damaged("its TIFF samples have " + std::to_string(tags.bits) + " bits");
    if (tags.samples <= 0)
        return Damaged("its TIFF pixels have no samples");

    switch (tags.sampleFormat) {
    case 1:
    case 4: plan.kind = SampleKind::Unsigned; break;
    case 2: plan.kind = SampleKind::Signed; break;
    case 3: plan.kind = SampleKind::Float; break;
    case 5:
    case 6: return Unsupported("complex-number samples");
    default: return Unsupported("sample format " + std::to_string(tags.sampleFormat));
    }
    if (plan.kind == SampleKind::Float && tags.bits != 16 && tags.bits != 32 && tags.bits != 64)
        return Unsupported(Bits(tags.bits) + " floating-point samples");
    if (tags.bits > 64)
        return Unsupported(Bits(tags.bits) + " samples");

    int photometric = tags.photometric;
    if (photometric < 0)
        photometric = tags.samples >= 3 ? kRgb : kMinIsBlack;
    if (tags.compression == kOldJpeg || photometric == kLogL || photometric == kLogLuv) {
        plan.colours = TiffColours::ThroughRgba;
        return plan;
    }

    switch (photometric) {
    case kMinIsWhite:
    case kMinIsBlack:
        plan.colours = TiffColours::Grey;
        plan.minIsWhite = photometric == kMinIsWhite;
        break;
    case kPalette:
        if (plan.kind == SampleKind::Float)
            return Unsupported("floating-point palette indices");
        if (tags.bits > 16)
            return Unsupported(Bits(tags.bits) + " palette indices");
        plan.colours = TiffColours::Palette;
        plan.kind = SampleKind::Unsigned;
        break;
    case kRgb: plan.colours = TiffColours::Rgb; break;
    case kSeparated:
        if (tags.inkSet != 1 || tags.samples - tags.extraSamples != 4)
            return Unsupported("inks other than CMYK");
        plan.colours = TiffColours::Cmyk;
        break;
    case kYCbCr:
        if (tags.bits != 8 || plan.kind != SampleKind::Unsigned)
            return Unsupported(Bits(tags.bits) + " YCbCr samples");
        if (tags.compression != kJpeg) {
            plan.colours = TiffColours::ThroughRgba;
            return plan;
        }
        plan.colours = TiffColours::Rgb;
        plan.jpegAsRgb = true;
        break;
    case kCieLab:
    case kIccLab:
        if (plan.kind != SampleKind::Float && tags.bits > 16)
            return Unsupported(Bits(tags.bits) + " L*a*b* samples");
        plan.colours = TiffColours::Lab;
        plan.iccLab = photometric == kIccLab;
        plan.whiteX = tags.whiteX;
        plan.whiteY = tags.whiteY;
        break;
    case kItuLab: return Unsupported("ITU L*a*b* colours");
    case kMask: return "TIFF transparency masks are not supported";
    case kCfa: return Unsupported("colour filter array (raw sensor) data");
    case kLinearRaw: return Unsupported("linear raw (camera sensor) data");
    default: return Unsupported("photometric interpretation " + std::to_string(photometric));
    }

    plan.colourSamples = plan.colours == TiffColours::Rgb || plan.colours == TiffColours::Lab ? 3
                         : plan.colours == TiffColours::Cmyk                                  ? 4
                                                                                              : 1;
    if (tags.samples < plan.colourSamples)
        return Damaged("its TIFF colour pictures have only " + std::to_string(tags.samples)
                       + " samples per pixel");
    if (tags.samples > plan.colourSamples && tags.extraSamples > 0
        && (tags.firstExtraSample == 1 || tags.firstExtraSample == 2)) {
        plan.alpha = plan.colourSamples;
        plan.premultiplied = tags.firstExtraSample == 1;
    }

    if (plan.colours == TiffColours::Grey && tags.bits == 1 && plan.alpha < 0
        && plan.kind == SampleKind::Unsigned) {
        plan.colours = TiffColours::Bilevel;
        plan.depth = 1;
    } else if (plan.colours == TiffColours::Grey) {
        plan.depth = 8;
    } else if (plan.colours == TiffColours::Palette && plan.alpha < 0 && tags.bits <= 8) {
        plan.depth = tags.bits == 1 ? 1 : tags.bits <= 4 ? 4 : 8;
    }
    return plan;
}

} // namespace rastix
