// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/gdi/ShapePixels.h"

#include <algorithm>
#include <climits>
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

ShapePixels EllipsePixels(int left, int top, int right, int bottom, const QRect &keep)
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
    // Every row's outline is a run on the left arc and a run on the right one (one run at
    // the ends): the interior lies between the left run's last and the right run's first
    // pixel. With keep, those two are noted for the rows keep spans, and only the pixels
    // inside keep are stored.
    const bool cut = keep.isValid();
    const int64_t centre2 = int64_t(left) + right - 1; // twice the centre column
    const int keepTop = cut ? std::max(keep.top(), top) : 0;
    const int keepRows = cut ? std::max(0, std::min(keep.bottom(), bottom - 1) - keepTop + 1) : 0;
    std::vector<int64_t> leftEnd(size_t(keepRows), INT64_MIN),
        rightStart(size_t(keepRows), INT64_MAX);
    std::vector<QPoint> points;
    auto plot = [&](int64_t x, int64_t y) {
        if (!cut) {
            points.emplace_back(int(x), int(y));
            return;
        }
        if (x < left || x >= right || y < top || y >= bottom)
            return; // a stray tip, dropped below as well
        const int64_t row = y - keepTop;
        if (row >= 0 && row < keepRows) {
            if (2 * x < centre2)
                leftEnd[size_t(row)] = std::max(leftEnd[size_t(row)], x);
            else if (2 * x > centre2)
                rightStart[size_t(row)] = std::min(rightStart[size_t(row)], x);
            else
                leftEnd[size_t(row)] = rightStart[size_t(row)] = x; // a single end pixel
        }
        if (keep.contains(int(x), int(y)))
            points.emplace_back(int(x), int(y));
    };
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
    if (!cut)
        return Finish(std::move(points));
    ShapePixels shape;
    std::sort(points.begin(), points.end(), RowColumnLess);
    points.erase(std::unique(points.begin(), points.end()), points.end());
    for (int row = 0; row < keepRows; ++row) {
        const int64_t from = std::max<int64_t>(leftEnd[size_t(row)] + 1, keep.left());
        const int64_t to = std::min<int64_t>(rightStart[size_t(row)] - 1, keep.right());
        if (leftEnd[size_t(row)] != INT64_MIN && rightStart[size_t(row)] != INT64_MAX && from <= to)
            shape.interior.push_back({keepTop + row, int(from), int(to)});
    }
    shape.outline = std::move(points);
    return shape;
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
