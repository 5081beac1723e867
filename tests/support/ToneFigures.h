// SPDX-License-Identifier: GPL-3.0-or-later
// How far painted colours are from the lightness of the grey they replace, measured in
// CIE L*a*b* (D65 white, the sRGB curve and primaries): the sweep the tone tests assert
// on and the benchmark prints for both settings.
#pragma once

#include "colour/DoPix.h"
#include "colour/GreyColourTable.h"
#include "colour/Paint.h"
#include "colour/RGBHSL.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace tonefigures {

struct Lab {
    double L, a, b;
    double Chroma() const { return std::hypot(a, b); }
    double Hue() const { return std::atan2(b, a) * 180 / M_PI; } // degrees
};

inline double Linear(int32_t v)
{
    const double c = v / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

inline Lab ToLab(int32_t r8, int32_t g8, int32_t b8)
{
    const double r = Linear(r8), g = Linear(g8), b = Linear(b8);
    // sRGB to XYZ (D65), then relative to the D65 white.
    const double x = (0.4124564 * r + 0.3575761 * g + 0.1804375 * b) / 0.95047;
    const double y = 0.2126 * r + 0.7152 * g + 0.0722 * b;
    const double z = (0.0193339 * r + 0.1191920 * g + 0.9503041 * b) / 1.08883;
    const auto f = [](double t) {
        constexpr double e = 6.0 / 29;
        return t > e * e * e ? std::cbrt(t) : t / (3 * e * e) + 4.0 / 29;
    };
    return {116 * f(y) - 16, 500 * (f(x) - f(y)), 200 * (f(y) - f(z))};
}

// Smallest difference of two hue angles, in degrees.
inline double HueDistance(double h1, double h2)
{
    const double d = std::fmod(std::abs(h1 - h2), 360.0);
    return std::min(d, 360 - d);
}

// Below this CIE chroma the hue of an 8-bit colour is not defined well enough to
// compare: rounding one channel by a level turns it by up to two degrees or more.
constexpr double kHueChroma = 32;

struct Figures {
    double largestLightness = 0; // largest |L*(painted) - L*(grey)|
    double meanLightness = 0;
    double largestHueDrift = 0; // degrees from the plain colour's hue, where both have hue
    size_t colours = 0;         // painted colours measured
    size_t greyWhereNoRoom = 0; // of the colours at black or white, those exactly grey
    size_t noRoom = 0;
};

// Every grey value, every 4th hue, saturations 40..255 in steps of 5, at one brightness.
inline Figures Sweep(int32_t brightness, bool keepTones)
{
    Figures f;
    double sum = 0;
    for (int32_t hue = 0; hue < 256; hue += 4)
        for (int32_t sat = 40; sat <= 255; sat += 5) {
            const colour::GreyColourTable table =
                colour::MakeGreyColourTable(colour::Paint{hue, sat, brightness, keepTones});
            for (int32_t grey = 0; grey < 256; ++grey) {
                const int32_t level = colour::ApplyBrightness(grey, brightness);
                const int32_t r = table.Red[size_t(grey)], g = table.Green[size_t(grey)],
                              b = table.Blue[size_t(grey)];
                const Lab painted = ToLab(r, g, b);
                const double error = std::abs(painted.L - ToLab(level, level, level).L);
                f.largestLightness = std::max(f.largestLightness, error);
                sum += error;
                ++f.colours;
                int32_t pr = 0, pg = 0, pb = 0;
                HslToRgb(hue, sat, level, pr, pg, pb);
                const Lab plain = ToLab(pr, pg, pb);
                if (painted.Chroma() >= kHueChroma && plain.Chroma() >= kHueChroma)
                    f.largestHueDrift =
                        std::max(f.largestHueDrift, HueDistance(painted.Hue(), plain.Hue()));
                if (level == 0 || level == 255) {
                    ++f.noRoom;
                    f.greyWhereNoRoom += r == level && g == level && b == level;
                }
            }
        }
    f.meanLightness = sum / double(f.colours);
    return f;
}

} // namespace tonefigures
