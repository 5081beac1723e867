// SPDX-License-Identifier: GPL-3.0-or-later
// DoPix's colorize as two table lookups, shared by the brush and "Colorize everything":
// the grey value of a source pixel is the sum of three per-channel terms, and the
// colour written depends only on that grey value once hue, saturation and brightness
// are fixed.
#pragma once

#include "colour/Paint.h"

#include <array>
#include <cstdint>

namespace colour {

// The three separately truncated terms of GreyValue by channel value:
// GreyValue(r, g, b) == Red[r] + Green[g] + Blue[b], at most 254.
struct GreyTerms {
    alignas(64) std::array<uint8_t, 256> Blue;
    alignas(64) std::array<uint8_t, 256> Green;
    alignas(64) std::array<uint8_t, 256> Red;
};

// The one table of grey terms; it never changes.
const GreyTerms &GreyTermTable();

// The bytes colorize writes for a pixel of each grey value:
// HslToRgb(hue, saturation, ApplyBrightness(grey, brightness)), each channel in its own
// array so that vector code can look a channel up for many pixels at once. Grey values
// reach 254 at most; entry 255 is filled the same way and never read.
struct GreyColourTable {
    alignas(64) std::array<uint8_t, 256> Blue;
    alignas(64) std::array<uint8_t, 256> Green;
    alignas(64) std::array<uint8_t, 256> Red;
    // The three bytes as one value, blue in the low byte (a pixel's bytes in memory
    // order), for code that writes a pixel with one 4-byte store.
    std::array<uint32_t, 256> Packed;
};

// 256 HslToRgb calls; hue and saturation within 0..255, any brightness (ApplyBrightness
// holds it to -100..100).
GreyColourTable MakeGreyColourTable(int32_t hue, int32_t saturation, int32_t brightness);

// The same for a paint; with paint.keepTones set, each entry is the colour above moved
// to the luminance of its lightness, KeepTone(colour, ApplyBrightness(grey, brightness)).
GreyColourTable MakeGreyColourTable(const Paint &paint);

} // namespace colour
