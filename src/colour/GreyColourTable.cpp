// SPDX-License-Identifier: GPL-3.0-or-later
#include "colour/GreyColourTable.h"

#include "colour/DoPix.h"
#include "colour/KeepTone.h"
#include "colour/RGBHSL.h"

namespace colour {

namespace {

constexpr GreyTerms MakeGreyTerms()
{
    GreyTerms terms{};
    for (int32_t v = 0; v < 256; ++v) {
        terms.Blue[size_t(v)] = uint8_t(GreyValue(0, 0, v));
        terms.Green[size_t(v)] = uint8_t(GreyValue(0, v, 0));
        terms.Red[size_t(v)] = uint8_t(GreyValue(v, 0, 0));
    }
    return terms;
}

constexpr GreyTerms kGreyTerms = MakeGreyTerms();

} // namespace

const GreyTerms &GreyTermTable()
{
    return kGreyTerms;
}

GreyColourTable MakeGreyColourTable(int32_t hue, int32_t saturation, int32_t brightness)
{
    return MakeGreyColourTable(Paint{hue, saturation, brightness});
}

GreyColourTable MakeGreyColourTable(const Paint &paint)
{
    GreyColourTable table{};
    for (int32_t grey = 0; grey < 256; ++grey) {
        const int32_t level = ApplyBrightness(grey, paint.brightness);
        int32_t r, g, b;
        HslToRgb(paint.hue, paint.saturation, level, r, g, b);
        if (paint.keepTones) {
            const KeptColour kept = KeepTone(r, g, b, level);
            r = kept.r, g = kept.g, b = kept.b;
        }
        table.Blue[size_t(grey)] = uint8_t(b);
        table.Green[size_t(grey)] = uint8_t(g);
        table.Red[size_t(grey)] = uint8_t(r);
        table.Packed[size_t(grey)] =
            uint32_t(b & 255) | uint32_t(g & 255) << 8 | uint32_t(r & 255) << 16;
    }
    return table;
}

} // namespace colour
