// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/BrushStroke.h"

#include "colour/GreyColourTable.h"
#include "view/BrushLine.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace view {

namespace {

// Stamp centres on one raster row: the line's centres with this cy span cxFirst..cxLast.
struct CentreRun {
    int64_t cy;
    int64_t cxMin;
    int64_t cxMax;
};

// Largest s with s * s <= n, for 0 <= n < 2^62.
int64_t ISqrt(int64_t n)
{
    int64_t s = static_cast<int64_t>(std::sqrt(static_cast<long double>(n)));
    while (s > 0 && s * s > n)
        --s;
    while ((s + 1) * (s + 1) <= n)
        ++s;
    return s;
}

// Half-widths of the disc: the largest dx with dx^2 + dy^2 <= r^2, for dy = 0..r.
// Radii beyond the table's cap are answered on the fly.
class DiscSpans {
public:
    explicit DiscSpans(int64_t radius) : r2_(radius * radius)
    {
        const int64_t cached = std::min<int64_t>(radius, kCap);
        half_.resize(size_t(cached) + 1);
        int64_t dx = radius;
        for (int64_t dy = 0; dy <= cached; ++dy) {
            while (dx * dx + dy * dy > r2_)
                --dx;
            half_[size_t(dy)] = dx;
        }
    }
    int64_t HalfWidth(int64_t dy) const
    {
        return dy < int64_t(half_.size()) ? half_[size_t(dy)] : ISqrt(r2_ - dy * dy);
    }

private:
    static constexpr int64_t kCap = 1 << 16;
    int64_t r2_;
    std::vector<int64_t> half_;
};

// The centres of the line grouped into runs of equal row, ordered by increasing row.
// Along a Bresenham line both coordinates are monotone, so each row's centres are
// consecutive and cover consecutive columns.
std::vector<CentreRun> CentreRuns(int32_t x1, int32_t y1, int32_t x2, int32_t y2)
{
    std::vector<CentreRun> runs;
    BrushLine(x1, y1, x2, y2, [&](int32_t cx, int32_t cy) {
        if (!runs.empty() && runs.back().cy == cy) {
            runs.back().cxMin = std::min<int64_t>(runs.back().cxMin, cx);
            runs.back().cxMax = std::max<int64_t>(runs.back().cxMax, cx);
        } else {
            runs.push_back(CentreRun{cy, cx, cx});
        }
    });
    if (runs.size() > 1 && runs.front().cy > runs.back().cy)
        std::reverse(runs.begin(), runs.end());
    return runs;
}

void ColorizeRun(const uint8_t *s, uint8_t *d, int64_t count, const colour::GreyTerms &grey,
                 const colour::GreyColourTable &colours)
{
    for (int64_t i = 0; i < count; ++i, s += 3, d += 3) {
        const size_t light = size_t(grey.Blue[s[0]] + grey.Green[s[1]] + grey.Red[s[2]]);
        d[0] = colours.Blue[light];
        d[1] = colours.Green[light];
        d[2] = colours.Red[light];
    }
}

} // namespace

Rect StrokeLine(const RasterImage &source, const RasterImage &work, int32_t x1, int32_t y1,
                int32_t x2, int32_t y2, const StrokeParams &params)
{
    return StrokeLine(source, work, x1, y1, x2, y2, params,
                      params.colorize ? colour::MakeGreyColourTable(PaintOf(params))
                                      : colour::GreyColourTable{});
}

Rect StrokeLine(const RasterImage &source, const RasterImage &work, int32_t x1, int32_t y1,
                int32_t x2, int32_t y2, const StrokeParams &params,
                const colour::GreyColourTable &colours, colour::StrokeRecord *record, uint16_t mark)
{
    const int64_t width = std::min(RasterWidth(source), RasterWidth(work));
    const int64_t height = std::min(RasterHeight(source), RasterHeight(work));
    if (params.radius < 0 || !source.Pixels || !work.Pixels || width <= 0 || height <= 0)
        return {};
    if (record && (!record->Allocated() || record->Width() != width || record->Height() != height))
        record = nullptr;

    const int64_t r = params.radius;
    const std::vector<CentreRun> runs = CentreRuns(x1, y1, x2, y2);
    const int64_t rowFirst = std::max<int64_t>(0, runs.front().cy - r);
    const int64_t rowLast = std::min<int64_t>(height - 1, runs.back().cy + r);
    if (rowFirst > rowLast)
        return {};

    const DiscSpans spans(r);
    const colour::GreyTerms &grey = colour::GreyTermTable();

    Rect box;
    bool any = false;
    size_t first = 0; // first run that can still reach the current row
    for (int64_t y = rowFirst; y <= rowLast; ++y) {
        while (first < runs.size() && runs[first].cy < y - r)
            ++first;
        // The union of the disc spans on this row is one run of columns: consecutive
        // centres are 8-neighbours, and each span contains its centre's column.
        int64_t lo = INT64_MAX;
        int64_t hi = INT64_MIN;
        for (size_t i = first; i < runs.size() && runs[i].cy <= y + r; ++i) {
            const int64_t half = spans.HalfWidth(std::llabs(runs[i].cy - y));
            lo = std::min(lo, runs[i].cxMin - half);
            hi = std::max(hi, runs[i].cxMax + half);
        }
        lo = std::max<int64_t>(lo, 0);
        hi = std::min<int64_t>(hi, width - 1);
        if (lo > hi)
            continue;

        const uint8_t *s = PictureRow(source, y) + 3 * lo;
        uint8_t *d = PictureRow(work, y) + 3 * lo;
        if (params.colorize)
            ColorizeRun(s, d, hi - lo + 1, grey, colours);
        else
            std::memmove(d, s, size_t(hi - lo + 1) * 3);
        if (record)
            std::fill(record->Row(int32_t(y)) + lo, record->Row(int32_t(y)) + hi + 1, mark);

        const Rect row{int32_t(lo), int32_t(y), int32_t(hi + 1), int32_t(y + 1)};
        if (!any) {
            box = row;
            any = true;
        } else {
            box.Left = std::min(box.Left, row.Left);
            box.Right = std::max(box.Right, row.Right);
            box.Bottom = row.Bottom;
        }
    }
    return box;
}

} // namespace view
