// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/PrintPlacement.h"

#include <algorithm>

namespace view {

namespace {

// a x b / c for a, b >= 0 and c > 0, rounded half up, at least 1.
int32_t ScaleAtLeastOne(int64_t a, int64_t b, int64_t c)
{
    return int32_t(std::max<int64_t>(1, (2 * a * b + c) / (2 * c)));
}

} // namespace

Rect PrintPlacement(const PrintPage &page, int32_t pictureWidth, int32_t pictureHeight,
                    const PrintChoice &choice)
{
    const Rect area{std::max(page.Printable.Left, 0), std::max(page.Printable.Top, 0),
                    std::min(page.Printable.Right, page.Width),
                    std::min(page.Printable.Bottom, page.Height)};
    if (area.Empty() || pictureWidth <= 0 || pictureHeight <= 0)
        return {};
    const int64_t aw = area.Width();
    const int64_t ah = area.Height();
    const int64_t pw = pictureWidth;
    const int64_t ph = pictureHeight;

    int32_t w = int32_t(aw);
    int32_t h = int32_t(ah);
    if (choice.Size == PrintSize::UsePageFully) {
        if (choice.KeepAspect) {
            if (pw * ah <= ph * aw) // relatively taller than the area: the height fills it
                w = ScaleAtLeastOne(pw, ah, ph);
            else
                h = ScaleAtLeastOne(ph, aw, pw);
        }
    } else {
        const int32_t wp = std::clamp(choice.WidthPercent, 1, 100);
        const int32_t hp = std::clamp(choice.HeightPercent, 1, 100);
        w = ScaleAtLeastOne(aw, wp, 100);
        if (choice.KeepAspect) {
            h = ScaleAtLeastOne(w, ph, pw);
            if (h > ah) {
                h = int32_t(ah);
                w = ScaleAtLeastOne(pw, ah, ph);
            }
        } else {
            h = ScaleAtLeastOne(ah, hp, 100);
        }
    }

    int32_t left = area.Left;
    int32_t top = area.Top;
    if (choice.Centred) {
        left += int32_t((aw - w) / 2);
        top += int32_t((ah - h) / 2);
    }
    return {left, top, left + w, top + h};
}

} // namespace view
