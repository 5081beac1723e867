// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/gdi/ShapePixels.h"

#include <algorithm>
#include <cstdint>
#include <utility>

namespace gdi {

namespace {

void Order(int &a, int &b)
{
    if (a > b)
        std::swap(a, b);
}

bool RowColumnLess(const QPoint &a, const QPoint &b)
{
    return a.y() != b.y() ? a.y() < b.y() : a.x() < b.x();
}

// Sorts and removes repeated points, then finds per row the pixels strictly between
// the row's outermost outline pixels that are not on the outline.
ShapePixels Finish(std::vector<QPoint> points)
{
    ShapePixels shape;
    std::sort(points.begin(), points.end(), RowColumnLess);
    points.erase(std::unique(points.begin(), points.end()), points.end());
    for (size_t i = 0; i < points.size();) {
        size_t j = i;
        while (j + 1 < points.size() && points[j + 1].y() == points[i].y())
            ++j;
        for (size_t k = i; k < j; ++k) {
            if (points[k + 1].x() > points[k].x() + 1)
                shape.interior.push_back({points[i].y(), points[k].x() + 1, points[k + 1].x() - 1});
        }
        i = j + 1;
    }
    shape.outline = std::move(points);
    return shape;
}

} // namespace

ShapePixels EllipsePixels(int left, int top, int right, int bottom)
{
    Order(left, right);
    Order(top, bottom);
    if (right - left < 1 || bottom - top < 1)
        return {};
    // Bresenham-type ellipse through the box's inclusive corners (after A. Zingl's
    // rectangle form), which handles even and odd sizes alike.
    int64_t x0 = left;
    int64_t x1 = right - 1;
    int64_t y0 = top;
    int64_t y1 = bottom - 1;
    int64_t a = x1 - x0;
    const int64_t b = y1 - y0;
    int64_t b1 = b & 1;
    int64_t dx = 4 * (1 - a) * b * b;
    int64_t dy = 4 * (b1 + 1) * a * a;
    int64_t err = dx + dy + b1 * a * a;
    y0 += (b + 1) / 2;
    y1 = y0 - b1;
    a *= 8 * a;
    b1 = 8 * b * b;
    std::vector<QPoint> points;
    auto plot = [&points](int64_t x, int64_t y) { points.emplace_back(int(x), int(y)); };
    do {
        plot(x1, y0);
        plot(x0, y0);
        plot(x0, y1);
        plot(x1, y1);
        const int64_t e2 = 2 * err;
        if (e2 <= dy) {
            ++y0;
            --y1;
            err += dy += a;
        }
        if (e2 >= dx || 2 * err > dy) {
            ++x0;
            --x1;
            err += dx += b1;
        }
    } while (x0 <= x1);
    // Flat ellipses stop early; finish their tips.
    while (y0 - y1 <= b) {
        plot(x0 - 1, y0);
        plot(x1 + 1, y0++);
        plot(x0 - 1, y1);
        plot(x1 + 1, y1--);
    }
    // The tips may stray outside a box one pixel wide; keep to the box.
    std::erase_if(points, [&](const QPoint &p) {
        return p.x() < left || p.x() >= right || p.y() < top || p.y() >= bottom;
    });
    return Finish(std::move(points));
}

ShapePixels RectanglePixels(int left, int top, int right, int bottom)
{
    Order(left, right);
    Order(top, bottom);
    if (right - left < 1 || bottom - top < 1)
        return {};
    std::vector<QPoint> points;
    for (int x = left; x < right; ++x) {
        points.emplace_back(x, top);
        points.emplace_back(x, bottom - 1);
    }
    for (int y = top; y < bottom; ++y) {
        points.emplace_back(left, y);
        points.emplace_back(right - 1, y);
    }
    return Finish(std::move(points));
}

} // namespace gdi
