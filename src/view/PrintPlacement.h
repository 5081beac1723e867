// SPDX-License-Identifier: GPL-3.0-or-later
// Where a picture lands on a printed page, for the print dialog's preview and for the
// printing itself, so that both always agree.
#pragma once

#include "platform/gdi/Rect.h"

#include <cstdint>

namespace view {

// A sheet of paper in device pixels: (0, 0) is its top-left corner, Printable the part
// the device can print on.
struct PrintPage {
    int32_t Width = 0;
    int32_t Height = 0;
    Rect Printable;
    bool operator==(const PrintPage &) const = default;
};

enum class PrintSize {
    UsePageFully, // as large as the printable area allows
    UserDefined,  // percentages of the printable area
};

// The print dialog's settings.
struct PrintChoice {
    PrintSize Size = PrintSize::UsePageFully;
    int32_t WidthPercent = 50;  // UserDefined only; 1..100
    int32_t HeightPercent = 50; // UserDefined without KeepAspect only; 1..100
    bool KeepAspect = true;     // "Maintain aspect ratio"
    bool Centred = true;        // "Centered output"; else the top-left corner
    bool operator==(const PrintChoice &) const = default;
};

// The rectangle (page pixels) a pictureWidth x pictureHeight picture is printed into.
// The area used is the printable area cut to the paper. Sizes:
//  - UsePageFully: the whole area; with KeepAspect, the largest rectangle of the
//    picture's proportions that fits (one side fills the area);
//  - UserDefined: WidthPercent of the area's width, and HeightPercent of its height or,
//    with KeepAspect, the height that keeps the picture's proportions. Should that
//    height not fit, both sides shrink so that the height fills the area: the picture
//    is never cut off. Percentages are clamped to 1..100.
// Every division rounds half up; no side is less than 1 pixel. Centred puts the
// rectangle in the middle of the area (an odd pixel left over goes right or below),
// else at its top-left corner. The result is empty when the area or the picture is.
Rect PrintPlacement(const PrintPage &page, int32_t pictureWidth, int32_t pictureHeight,
                    const PrintChoice &choice);

} // namespace view
