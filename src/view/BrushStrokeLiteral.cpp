// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/BrushStrokeLiteral.h"

#include "colour/DoPix.h"
#include "colour/KeepTone.h"
#include "view/BrushLine.h"
#include "view/BrushStamp.h"

#include <algorithm>

namespace view {

Rect StrokeLineLiteral(const RasterImage &source, const RasterImage &work, int32_t x1, int32_t y1,
                       int32_t x2, int32_t y2, const StrokeParams &params)
{
    const int32_t width = std::min(RasterWidth(source), RasterWidth(work));
    const int32_t height = std::min(RasterHeight(source), RasterHeight(work));
    const bool writable = source.Pixels && work.Pixels;
    Rect box;
    bool any = false;
    auto pixel = [&](int32_t x, int32_t y) {
        colour::DoPix(source, work, x, y, params.hue, params.saturation, params.brightness,
                      params.colorize);
        if (!writable || x < 0 || y < 0 || x >= width || y >= height)
            return;
        if (params.colorize && params.keepTones) {
            const uint8_t *s = PictureRow(source, y) + 3 * x;
            uint8_t *w = PictureRow(work, y) + 3 * x;
            const int32_t level =
                colour::ApplyBrightness(colour::GreyValue(s[2], s[1], s[0]), params.brightness);
            const colour::KeptColour kept = colour::KeepTone(w[2], w[1], w[0], level);
            w[0] = kept.b, w[1] = kept.g, w[2] = kept.r;
        }
        if (!any) {
            box = Rect{x, y, x + 1, y + 1};
            any = true;
            return;
        }
        box.Left = std::min(box.Left, x);
        box.Top = std::min(box.Top, y);
        box.Right = std::max(box.Right, x + 1);
        box.Bottom = std::max(box.Bottom, y + 1);
    };
    BrushLine(x1, y1, x2, y2,
              [&](int32_t cx, int32_t cy) { DoBrush(cx, cy, params.radius, pixel); });
    return box;
}

} // namespace view
