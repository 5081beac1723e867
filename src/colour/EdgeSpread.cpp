// SPDX-License-Identifier: GPL-3.0-or-later
#include "colour/EdgeSpread.h"

#include "colour/GreyColourTable.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace colour {

namespace {

// The eight steps from a pixel of the padded cost map: where to, and for a diagonal the
// two pixels it passes between.
struct StepTo {
    ptrdiff_t to, a, b;
    bool diagonal;
};

std::array<StepTo, 8> StepsOf(size_t stride)
{
    const auto s = ptrdiff_t(stride);
    return {{{-1, 0, 0, false},
             {1, 0, 0, false},
             {-s, 0, 0, false},
             {s, 0, 0, false},
             {-s - 1, -1, -s, true},
             {-s + 1, 1, -s, true},
             {s - 1, -1, s, true},
             {s + 1, 1, s, true}}};
}

// What a step from pixel i, of cost from (no wall), costs; 0 when there is no way: out of
// the picture, into a wall, or diagonally between two walls.
inline uint32_t StepCost(const uint8_t *cost, size_t i, uint32_t from, const StepTo &step)
{
    const uint32_t to = cost[size_t(ptrdiff_t(i) + step.to)];
    // 0 (beyond the picture) and a wall alike.
    const bool open = uint8_t(to - 1) < EdgeCost::kHighest;
    if (!step.diagonal)
        return open ? 5 * (from + to) : 0;
    const uint32_t between =
        std::min(cost[size_t(ptrdiff_t(i) + step.a)], cost[size_t(ptrdiff_t(i) + step.b)]);
    const uint32_t c = 7 * (std::max(from, between) + std::max(to, between));
    return open && !EdgeCost::IsWall(uint8_t(between)) ? c : 0;
}

// Whether pixel i and its eight neighbours all cost 1.
inline bool Flat(const uint8_t *cost, size_t i, size_t stride)
{
    auto three = [cost](size_t at) {
        return (cost[at - 1] | cost[at] << 8 | cost[at + 1] << 16) == 0x010101;
    };
    return three(i - stride) & three(i) & three(i + stride);
}

// The first x from x on, before end, that holds a mark; end when none does. Most hold
// none: those go four at a time.
inline int32_t NextMarked(const uint16_t *marks, int32_t x, int32_t end)
{
    for (; x + 4 <= end; x += 4) {
        uint64_t four;
        std::memcpy(&four, marks + x, sizeof four);
        if (four != 0)
            break;
    }
    for (; x < end; ++x)
        if (marks[x] != 0)
            return x;
    return end;
}

// A queue of pixels by distance (Dial's buckets): every step costs at least 10 and at
// most 7 x 254 units, so a ring of 4096 buckets holds every distance still pending.
struct MarkEntry {
    uint32_t index;
    uint16_t mark;
};

inline uint32_t IndexOf(uint32_t index)
{
    return index;
}
inline uint32_t IndexOf(const MarkEntry &e)
{
    return e.index;
}

template <typename Entry>
class BucketQueue {
public:
    static constexpr uint32_t kSize = 4096;
    BucketQueue() : buckets_(kSize) {}
    void Push(uint32_t distance, Entry entry)
    {
        buckets_[distance & (kSize - 1)].push_back(entry);
        ++pending_;
    }
    // Calls visit(distance, entry) for every entry in order of distance, including the
    // ones visit pushes: always farther than the one it visits, and by less than the
    // ring, so never into the bucket being visited.
    template <typename Visit>
    void Drain(Visit visit)
    {
        for (uint32_t d = 0; pending_ > 0; ++d) {
            std::vector<Entry> &bucket = buckets_[d & (kSize - 1)];
            const Entry *entries = bucket.data();
            const size_t count = bucket.size();
            for (size_t i = 0; i < count; ++i)
                visit(d, entries[i]);
            pending_ -= count;
            bucket.clear();
        }
    }

private:
    std::vector<std::vector<Entry>> buckets_;
    size_t pending_ = 0;
};

std::array<uint16_t, kBlendSpan> BlendShares()
{
    std::array<uint16_t, kBlendSpan> shares{};
    for (uint32_t d = 0; d < kBlendSpan; ++d) {
        const double f = 256.0 / (1.0 + std::exp(-double(d) / double(kBlendUnits)));
        shares[d] = uint16_t(std::lround(f));
    }
    return shares;
}

Rect Grown(const Rect &r, int32_t by, int32_t width, int32_t height)
{
    return Rect{std::max(0, r.Left - by), std::max(0, r.Top - by), std::min(width, r.Right + by),
                std::min(height, r.Bottom + by)};
}

} // namespace

SpreadReach ReachOf(int32_t width, int32_t height)
{
    const int64_t side = std::max<int64_t>({width, height, 0});
    const auto r =
        uint32_t(std::min<int64_t>(kLongestReach, std::max<int64_t>(250, (side + 9) / 10)));
    return {14 * r, 20 * r};
}

EdgeSpread::EdgeSpread(const RasterImage &source, const EdgeCost &cost, const StrokeRecord &record,
                       SpreadScratch &scratch, const Rect &strokeArea, uint16_t stroke,
                       const Progress &progress)
    : source_(source), cost_(cost), record_(record),
      reach_(ReachOf(cost.Width(), cost.Height())), used_{scratch}
{
    if (cost.Empty() || !record.Allocated() || stroke == 0 || !record.Mark(stroke).spreads
        || record.Width() != cost.Width() || record.Height() != cost.Height()
        || RasterWidth(source) != cost.Width() || RasterHeight(source) != cost.Height())
        return;
    const Rect inside{std::max(0, strokeArea.Left), std::max(0, strokeArea.Top),
                      std::min(cost.Width(), strokeArea.Right),
                      std::min(cost.Height(), strokeArea.Bottom)};
    if (inside.Empty())
        return;
    scratch.Fit(cost.Count());
    if (progress)
        progress(0);
    // Every step costs at least 10 units per pixel it moves along either axis, so no
    // pixel farther than Bound() / 10 from the stroke's rectangle is reached.
    box_ = Grown(inside, int32_t(Bound() / 10 + 1), cost.Width(), cost.Height());
    stroke_ = stroke;
    Reach(inside, progress);
    if (!area_.Empty())
        Propagate(progress);
    if (progress)
        progress(0);
}

EdgeSpread::EdgeSpread(const RasterImage &source, const EdgeCost &cost, const StrokeRecord &record,
                       SpreadScratch &scratch, const Progress &progress)
    : source_(source), cost_(cost), record_(record),
      reach_(ReachOf(cost.Width(), cost.Height())), used_{scratch}
{
    if (cost.Empty() || !record.Allocated() || record.Width() != cost.Width()
        || record.Height() != cost.Height() || RasterWidth(source) != cost.Width()
        || RasterHeight(source) != cost.Height())
        return;
    scratch.Fit(cost.Count());
    if (progress)
        progress(0);
    whole_ = true;
    box_ = Rect{0, 0, cost.Width(), cost.Height()};
    area_ = box_;
    Propagate(progress);
    if (progress)
        progress(0);
}

EdgeSpread::~EdgeSpread() = default;

EdgeSpread::Used::~Used()
{
    if (left >= right)
        return;
    const size_t count = right - left;
    for (size_t row = top; row < bottom; ++row) {
        const size_t at = row * stride + left;
        if (nearest)
            std::memset(scratch.Nearest() + at, 0, count * sizeof(uint32_t));
        if (slots) {
            std::memset(scratch.First() + at, 0, count * sizeof(MarkKey));
            std::memset(scratch.Second() + at, 0, count * sizeof(MarkKey));
        }
    }
}

void EdgeSpread::Reach(const Rect &strokeArea, const Progress &progress)
{
    const size_t stride = cost_.Stride();
    uint32_t *nearest = used_.scratch.Nearest();
    nearest_ = nearest;
    const uint8_t *cost = cost_.Data();
    const std::array<StepTo, 8> steps = StepsOf(stride);
    BucketQueue<uint32_t> queue;
    for (int32_t y = strokeArea.Top; y < strokeArea.Bottom; ++y) {
        const uint16_t *marks = record_.Row(y);
        for (int32_t x = strokeArea.Left; x < strokeArea.Right; ++x)
            if (marks[x] == stroke_) {
                const size_t i = cost_.Index(x, y);
                nearest[i] = 1;
                queue.Push(0, uint32_t(i));
            }
    }
    // Every pixel written is a neighbour of one visited, whose rows and columns of the
    // padded map these bound; the near ones, those of the pixels within End.
    uint32_t firstRow = UINT32_MAX, lastRow = 0, firstColumn = UINT32_MAX, lastColumn = 0;
    uint32_t nearTop = UINT32_MAX, nearBottom = 0, nearLeft = UINT32_MAX, nearRight = 0;
    const uint32_t bound = Bound();
    const uint32_t end = reach_.end;
    const size_t boxArea = size_t(box_.Width()) * size_t(box_.Height());
    const bool reporting = bool(progress);
    size_t visited = 0;
    const auto rowLength = uint32_t(stride);
    const auto s = ptrdiff_t(stride);
    const std::array<ptrdiff_t, 4> straight{-1, 1, -s, s};
    const std::array<ptrdiff_t, 4> diagonal{-s - 1, -s + 1, s - 1, s + 1};
    // Takes the walk on to pixel n, nd from the stroke, where that is nearer than it has
    // been (0, not reached yet, wraps round to the farthest).
    auto relax = [&](size_t n, uint32_t nd) {
        if (nearest[n] - 1 > nd) {
            nearest[n] = nd + 1;
            queue.Push(nd, uint32_t(n));
        }
    };
    queue.Drain([&](uint32_t d, uint32_t i) {
        if (nearest[i] != d + 1)
            return;
        // Indices fit 32 bits, whose division is several times quicker.
        const uint32_t row = i / rowLength;
        const uint32_t column = i - row * rowLength;
        firstRow = std::min(firstRow, row);
        lastRow = std::max(lastRow, row);
        firstColumn = std::min(firstColumn, column);
        lastColumn = std::max(lastColumn, column);
        if (d < end) {
            nearTop = std::min(nearTop, row);
            nearBottom = std::max(nearBottom, row);
            nearLeft = std::min(nearLeft, column);
            nearRight = std::max(nearRight, column);
        }
        if (reporting && (++visited & 0xffff) == 0)
            progress(int32_t(std::min<size_t>(30, visited * 30 / std::max<size_t>(boxArea, 1))));
        const uint32_t from = cost[i];
        if (EdgeCost::IsWall(uint8_t(from)))
            return;
        if (Flat(cost, i, stride)) {
            // The pixel and its eight neighbours cost 1, as most do.
            if (d + 10 < bound)
                for (const ptrdiff_t o : straight)
                    relax(size_t(ptrdiff_t(i) + o), d + 10);
            if (d + 14 < bound)
                for (const ptrdiff_t o : diagonal)
                    relax(size_t(ptrdiff_t(i) + o), d + 14);
            return;
        }
        for (const StepTo &step : steps) {
            const uint32_t c = StepCost(cost, i, from, step);
            if (c != 0 && d + c < bound)
                relax(size_t(ptrdiff_t(i) + step.to), d + c);
        }
    });
    used_.nearest = true;
    if (firstRow <= lastRow) {
        used_.stride = stride;
        used_.top = firstRow - 1;
        used_.bottom = lastRow + 2;
        used_.left = firstColumn - 1;
        used_.right = lastColumn + 2;
    }
    // A wall takes its colours from a pixel up to kWallReach off (see the header). Rows
    // and columns of the padded map are one more than the picture's.
    const int32_t wall = EdgeCost::kWallReach;
    if (nearLeft <= nearRight)
        area_ = Rect{std::max(0, int32_t(nearLeft) - 1 - wall),
                     std::max(0, int32_t(nearTop) - 1 - wall),
                     std::min(cost_.Width(), int32_t(nearRight) + wall),
                     std::min(cost_.Height(), int32_t(nearBottom) + wall)};
}

void EdgeSpread::Propagate(const Progress &progress)
{
    const size_t stride = cost_.Stride();
    MarkKey *first = used_.scratch.First();
    MarkKey *second = used_.scratch.Second();
    first_ = first;
    second_ = second;
    used_.slots = true;
    if (whole_) {
        used_.stride = stride;
        used_.top = used_.left = 0;
        used_.bottom = size_t(cost_.Height() + 2);
        used_.right = stride;
    }
    const uint32_t *nearest = nearest_;
    const uint32_t bound = Bound();
    const uint8_t *cost = cost_.Data();
    const std::array<StepTo, 8> steps = StepsOf(stride);
    // Within reach of the stroke: every walk that matters stays there. A pixel written
    // is within End of the stroke, or a wall that takes its colours from such a pixel,
    // and its colours come from walks shorter than End to that pixel; every pixel of
    // such a walk is within 2 End of the stroke (distances are symmetric).
    auto inside = [&](size_t i) { return !nearest || (nearest[i] != 0 && nearest[i] <= bound); };

    // The seeds of each mark that spreads, on the rows the distances cover.
    std::vector<std::vector<uint32_t>> seeds(record_.MarkCount() + 1);
    const Rect seedArea{std::max(box_.Left, int32_t(used_.left) - 1),
                        std::max(box_.Top, int32_t(used_.top) - 1),
                        std::min(box_.Right, int32_t(used_.right) - 1),
                        std::min(box_.Bottom, int32_t(used_.bottom) - 1)};
    for (int32_t y = seedArea.Top; y < seedArea.Bottom; ++y) {
        const uint16_t *marks = record_.Row(y);
        for (int32_t x = NextMarked(marks, seedArea.Left, seedArea.Right); x < seedArea.Right;
             x = NextMarked(marks, x + 1, seedArea.Right)) {
            const uint16_t m = marks[x];
            if (!record_.Mark(m).spreads)
                continue;
            const size_t i = cost_.Index(x, y);
            // The stroke's own pixels are where the reach started from: their walk is
            // known (below).
            if (inside(i) && !(nearest && m == stroke_ && nearest[i] == 1))
                seeds[m].push_back(uint32_t(i));
        }
    }
    // Offers a mark at a distance (key) to pixel n: true when it is one of the pixel's
    // two nearest marks now, so the walk goes on from there.
    auto offer = [first, second](size_t n, MarkKey key) {
        MarkKey &f = first[n];
        const uint16_t m = MarkOf(key);
        if (MarkOf(f) == m) {
            if (key >= f)
                return false;
            f = key;
            return true;
        }
        if (f == 0) {
            // No mark yet, so no second either: most pixels, which then never touch
            // the second's memory.
            f = key;
            return true;
        }
        MarkKey &s = second[n];
        if (MarkOf(s) == m) {
            if (key >= s)
                return false;
            s = key;
            if (s < f)
                std::swap(f, s);
        } else if (key < f) {
            s = f;
            f = key;
        } else if (s == 0 || key < s) {
            s = key;
        } else {
            return false;
        }
        return true;
    };
    const size_t expected = 2
                            * (whole_ ? size_t(box_.Width()) * size_t(box_.Height())
                                      : size_t(area_.Width()) * size_t(area_.Height()));
    size_t visited = 0;
    const bool reporting = bool(progress);
    // One mark at a time: its walks stay near its own strokes, so the memory they touch
    // stays small. The two nearest marks come out the same in any order: a mark is held
    // back only where two marks already at their final distances are nearer, and then
    // nowhere beyond through that pixel either.
    BucketQueue<uint32_t> queue;
    const uint32_t end = reach_.end;
    // The walk of mark m from the seeds queued; after a stroke (local) only where it can
    // still end near the stroke.
    auto walk = [&](uint16_t m, auto local) {
        queue.Drain([&](uint32_t d, uint32_t i) {
            const MarkKey key = KeyOf(d + 1, m);
            if (first[i] != key && second[i] != key)
                return;
            if (reporting && (++visited & 0xffff) == 0)
                progress(int32_t(
                    30 + std::min<size_t>(60, visited * 60 / std::max<size_t>(expected, 1))));
            const uint32_t from = cost[i];
            if (EdgeCost::IsWall(uint8_t(from)))
                return;
            // First, without a branch on what they hold, the neighbours this walk may
            // come nearer to: most already have mark m at least as near.
            uint32_t open = 0;
            std::array<uint32_t, 8> far; // each set below
            auto consider = [&](size_t k, uint32_t c) {
                const size_t n = size_t(ptrdiff_t(i) + steps[k].to);
                const uint32_t nd = d + c;
                const MarkKey f = first[n];
                bool may = (c != 0) & (nd < end) & !(MarkOf(f) == m && KeyOf(nd + 1, m) >= f);
                if constexpr (decltype(local)::value) {
                    // A walk at n can still end within End of the stroke only if its
                    // length plus n's distance from the stroke is below 2 End: such an
                    // end p has d(n, p) > d(stroke, n) - End.
                    const uint32_t toStroke = nearest[n];
                    may = may & (toStroke != 0) & (nd + toStroke - 1 < bound);
                }
                open |= uint32_t(may) << k;
                far[k] = nd;
            };
            if (Flat(cost, i, stride)) {
                // The pixel and its eight neighbours cost 1, as most do.
                for (size_t k = 0; k < 4; ++k)
                    consider(k, 10);
                for (size_t k = 4; k < 8; ++k)
                    consider(k, 14);
            } else {
                for (size_t k = 0; k < 8; ++k)
                    consider(k, StepCost(cost, i, from, steps[k]));
            }
            for (; open != 0; open &= open - 1) {
                const auto k = size_t(std::countr_zero(open));
                const size_t n = size_t(ptrdiff_t(i) + steps[k].to);
                if (offer(n, KeyOf(far[k] + 1, m)))
                    queue.Push(far[k], uint32_t(n));
            }
        });
    };
    if (nearest) {
        // The walk of the stroke's mark from the stroke's pixels is the reach's: its
        // distances are there already, as that walk would leave them if it went first
        // (nothing is in the way of the first). The mark's other pixels (earlier strokes
        // of the same paint) walk from there like any mark's.
        for (size_t row = used_.top; row < used_.bottom; ++row)
            for (size_t i = row * stride + used_.left; i < row * stride + used_.right; ++i)
                if (nearest[i] != 0 && nearest[i] - 1 < end)
                    first[i] = KeyOf(nearest[i], stroke_);
    }
    for (uint16_t m = 1; m < seeds.size(); ++m) {
        if (seeds[m].empty())
            continue;
        for (const uint32_t i : seeds[m])
            if (offer(i, KeyOf(1, m)))
                queue.Push(0, i);
        if (nearest)
            walk(m, std::true_type{});
        else
            walk(m, std::false_type{});
    }
}

bool EdgeSpread::TakesFrom(size_t &index, uint32_t &extra) const
{
    const uint8_t c = cost_.Data()[index];
    if (!EdgeCost::IsWall(c)) {
        extra = 0;
        return true;
    }
    const int32_t offset = EdgeCost::WallOffset(c);
    if (offset == 0)
        return false;
    const ptrdiff_t step = EdgeCost::WallAlongX(c) ? 1 : ptrdiff_t(cost_.Stride());
    index = size_t(ptrdiff_t(index) + offset * step);
    extra = 10 * uint32_t(std::abs(offset));
    return true;
}

bool EdgeSpread::Reached(int32_t x, int32_t y) const
{
    if (whole_)
        return true;
    size_t i = cost_.Index(x, y);
    uint32_t extra = 0;
    return TakesFrom(i, extra) && nearest_[i] != 0 && nearest_[i] + extra <= reach_.end;
}

std::vector<Rect> EdgeSpread::Blocks(int32_t blockSide) const
{
    std::vector<Rect> blocks;
    if (area_.Empty() || blockSide <= 0)
        return blocks;
    for (int32_t by = area_.Top / blockSide; by <= (area_.Bottom - 1) / blockSide; ++by)
        for (int32_t bx = area_.Left / blockSide; bx <= (area_.Right - 1) / blockSide; ++bx) {
            const Rect block{bx * blockSide, by * blockSide,
                             std::min(cost_.Width(), (bx + 1) * blockSide),
                             std::min(cost_.Height(), (by + 1) * blockSide)};
            bool any = false;
            for (int32_t y = std::max(block.Top, area_.Top);
                 y < std::min(block.Bottom, area_.Bottom) && !any; ++y)
                for (int32_t x = std::max(block.Left, area_.Left);
                     x < std::min(block.Right, area_.Right) && !any; ++x)
                    any = Reached(x, y);
            if (any)
                blocks.push_back(block);
        }
    return blocks;
}

void EdgeSpread::Write(const RasterImage &work) const
{
    if (area_.Empty() || !first_ || !work.Pixels || RasterBitCount(work) != 24
        || RasterWidth(work) != cost_.Width() || RasterHeight(work) != cost_.Height())
        return;
    static const std::array<uint16_t, kBlendSpan> shares = BlendShares();
    const GreyTerms &terms = GreyTermTable();
    // Each mark's colours (none for the eraser, whose colour is the source pixel), made
    // when first needed.
    std::vector<std::unique_ptr<GreyColourTable>> made(record_.MarkCount() + 1);
    const GreyColourTable unmade{};
    std::vector<const GreyColourTable *> tables(record_.MarkCount() + 1, &unmade);
    auto make = [&](uint16_t m) {
        tables[m] = nullptr;
        if (record_.Mark(m).colorize) {
            made[m] = std::make_unique<GreyColourTable>(MakeGreyColourTable(record_.Mark(m).paint));
            tables[m] = made[m].get();
        }
    };
    auto tableOf = [&](uint16_t m) {
        if (tables[m] == &unmade) [[unlikely]]
            make(m);
        return tables[m];
    };
    auto colourOf = [](const GreyColourTable *t, size_t grey, const uint8_t *s,
                       std::array<uint32_t, 3> &c) {
        if (!t) {
            c = {s[0], s[1], s[2]};
            return;
        }
        c = {t->Blue[grey], t->Green[grey], t->Red[grey]};
    };
    const uint32_t full = reach_.full;
    const uint32_t end = reach_.end;
    const uint8_t *cost = cost_.Data();
    for (int32_t y = area_.Top; y < area_.Bottom; ++y) {
        const uint16_t *marks = record_.Row(y);
        const uint8_t *s = PictureRow(source_, y) + 3 * size_t(area_.Left);
        uint8_t *d = PictureRow(work, y) + 3 * size_t(area_.Left);
        const size_t row = cost_.Index(0, y);
        for (int32_t x = area_.Left; x < area_.Right; ++x, s += 3, d += 3) {
            if (marks[x] != 0)
                continue;
            // The two marks that colour the pixel, if any reaches it.
            size_t i = row + size_t(x);
            uint32_t extra = 0;
            if (EdgeCost::IsWall(cost[i]) && !TakesFrom(i, extra))
                continue;
            if (nearest_ && (nearest_[i] == 0 || nearest_[i] + extra > end))
                continue;
            const uint32_t near1 = NearOf(first_[i]), near2 = NearOf(second_[i]);
            if (near1 == 0 || near1 + extra > end)
                continue;
            const uint32_t e1 = near1 + extra - 1;
            const uint32_t strength = e1 <= full ? 256 : 256 * (end - e1) / (end - full);
            uint32_t share = 256;
            if (near2 != 0 && near2 + extra <= end) {
                const uint32_t gap = near2 - near1;
                share = gap < kBlendSpan ? shares[gap] : 256;
            }
            const size_t grey = size_t(terms.Blue[s[0]] + terms.Green[s[1]] + terms.Red[s[2]]);
            std::array<uint32_t, 3> c1, c2;
            colourOf(tableOf(MarkOf(first_[i])), grey, s, c1);
            if (strength == 256 && share == 256) {
                // One mark at full strength, as most pixels are: its colour exactly.
                d[0] = uint8_t(c1[0]), d[1] = uint8_t(c1[1]), d[2] = uint8_t(c1[2]);
                continue;
            }
            if (share != 256)
                colourOf(tableOf(MarkOf(second_[i])), grey, s, c2);
            else
                c2 = c1;
            for (size_t c = 0; c < 3; ++c) {
                const uint32_t mixed = share * c1[c] + (256 - share) * c2[c];
                d[c] = uint8_t((strength * mixed + (256 - strength) * 256 * s[c] + 32768) >> 16);
            }
        }
    }
}

} // namespace colour
