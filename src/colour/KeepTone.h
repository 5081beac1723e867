// SPDX-License-Identifier: GPL-3.0-or-later
// Keep tones: a painted colour moved to the lightness of the photograph. DoPix takes the
// grey value as HSL lightness, so a saturated blue comes out far darker and a yellow far
// lighter than the grey it replaces; with tones kept, the colour keeps its hue and as
// much of its colourfulness as fits, at exactly the luminance of the grey.
//
// The rule. Luminance Y is that of linear light (the sRGB transfer curve, the Rec. 709
// weights 0.2126, 0.7152, 0.0722); the colour is measured in CIE L*a*b* (the sRGB
// primaries, D65 white), whose lightness L* depends on Y alone and whose hue angle is
// the one people compare:
//   1. The target is the luminance of the grey level, Y_t = lin(level / 255), and its
//      lightness L*_t.
//   2. The colour keeps its CIE hue angle h and its chroma C* and takes lightness L*_t,
//      so it has exactly the target luminance. Where that leaves the RGB cube, its
//      chroma is lowered at constant L*_t and h, pulling it toward the grey axis, to the
//      largest chroma that fits (found by halving the interval 40 times). A grey colour
//      and a target of black or white (no room at all) give the grey itself.
//   3. Each linear channel is encoded with the sRGB curve to 0..255 and rounded down or
//      up (a channel within a millionth of a whole level is that level, so a channel
//      the chroma search leaves on a face of the cube is not rounded off it); of the
//      eight roundings the one whose luminance is nearest Y_t is taken (the
//      first when counted with red as the highest bit and down before up, on a tie), so
//      the 8-bit result is as near the photograph's luminance as 8 bits allow.
// (Moving the colour along its chroma in linear light instead keeps the luminance too,
// but turns CIE hues by up to 8 degrees, and Oklab hues by up to 14.)
#pragma once

#include <cstdint>

namespace colour {

struct KeptColour {
    uint8_t r, g, b;
    bool operator==(const KeptColour &) const = default;
};

// The colour (r, g, b) (each 0..255) at the luminance of grey level level (0..255, the
// lightness DoPix used), by the rule above. Values outside 0..255 count as the nearer
// end.
KeptColour KeepTone(int32_t r, int32_t g, int32_t b, int32_t level);

} // namespace colour
