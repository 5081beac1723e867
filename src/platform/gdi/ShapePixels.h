// SPDX-License-Identifier: GPL-3.0-or-later
// The pixels GDI's shapes cover, as sets of distinct points, so that a mix mode such as
// R2_NOT touches every covered pixel exactly once.
#pragma once

#include <QPoint>
#include <QRect>

#include <vector>

namespace gdi {

// A horizontal run of interior pixels: columns left .. right inclusive on row y.
struct Span {
    int y;
    int left;
    int right;
};

struct ShapePixels {
    std::vector<QPoint> outline; // each pixel once, sorted by row then column
    std::vector<Span> interior;  // pixels inside the outline, none on it
};

// The 1-pixel outline of the ellipse inscribed in the box, right and bottom exclusive,
// and its interior. Swapped corners are put in order; an empty box covers nothing.
// With keep, only the part inside keep: the same pixels as the whole shape cut to keep,
// found without storing the rest, so that a huge ellipse of which little shows costs
// time only for its length and memory only for what shows.
ShapePixels EllipsePixels(int left, int top, int right, int bottom, const QRect &keep = QRect());

// The same for a rectangle: its border pixels and the pixels inside them.
ShapePixels RectanglePixels(int left, int top, int right, int bottom);

} // namespace gdi
