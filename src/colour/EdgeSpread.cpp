// SPDX-License-Identifier: GPL-3.0-or-later
#include "colour/EdgeSpread.h"

#include "colour/GreyColourTable.h"
#include "platform/rastix/HugePages.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <new>

namespace colour {

// The two nearest marks of a pixel: 1 + distance (0: none) and the mark id.
struct EdgeSpread::Slots {
    uint32_t near1, near2;
    uint16_t mark1, mark2;
};

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

// What a step from pixel i costs; 0 when there is no way: out of the picture, into or out
// of a wall, or diagonally between two walls.
inline uint32_t StepCost(const uint8_t *cost, size_t i, const StepTo &step)
{
    const uint32_t from = cost[i];
    const uint32_t to = cost[size_t(ptrdiff_t(i) + step.to)];
    if (to == 0 || EdgeCost::IsWall(uint8_t(to)) || EdgeCost::IsWall(uint8_t(from)))
        return 0;
    if (!step.diagonal)
        return 5 * (from + to);
    const uint32_t between =
        std::min(cost[size_t(ptrdiff_t(i) + step.a)], cost[size_t(ptrdiff_t(i) + step.b)]);
    if (EdgeCost::IsWall(uint8_t(between)))
        return 0;
    return 7 * (std::max(from, between) + std::max(to, between));
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
    // ones visit pushes (always farther than the one it visits).
    template <typename Visit>
    void Drain(Visit visit)
    {
        for (uint32_t d = 0; pending_ > 0; ++d) {
            std::vector<Entry> &bucket = buckets_[d & (kSize - 1)];
            for (size_t i = 0; i < bucket.size(); ++i)
                visit(d, bucket[i]);
            pending_ -= bucket.size();
            bucket.clear();
        }
    }

private:
    std::vector<std::vector<Entry>> buckets_;
    size_t pending_ = 0;
};

// Zeroed memory for count values. calloc: the pages a spread never reaches are never
// touched. Where every page will be (dense), they are fewer and cheaper to touch as huge
// pages; a spread after a stroke touches a few pixels of each row, in small pages.
template <typename T>
std::unique_ptr<T, void (*)(void *)> Zeroed(size_t count, bool dense)
{
    void *p = count ? std::calloc(count, sizeof(T)) : nullptr;
    if (count && !p)
        throw std::bad_alloc();
    if (dense)
        rastix::AdviseHugePages(p, count * sizeof(T));
    return {static_cast<T *>(p), std::free};
}

bool Before(uint32_t nearA, uint16_t markA, uint32_t nearB, uint16_t markB)
{
    return nearA < nearB || (nearA == nearB && markA < markB);
}

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
    const auto r = uint32_t(std::max<int64_t>(250, (side + 9) / 10));
    return {14 * r, 20 * r};
}

EdgeSpread::EdgeSpread(const RasterImage &source, const EdgeCost &cost, const StrokeRecord &record,
                       const Rect &strokeArea, uint16_t stroke, const Progress &progress)
    : source_(source), cost_(cost), record_(record), reach_(ReachOf(cost.Width(), cost.Height())),
      nearest_(nullptr, std::free), slots_(nullptr, std::free)
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
    if (progress)
        progress(0);
    // Every step costs at least 10 units per pixel it moves along either axis, so no
    // pixel farther than Bound() / 10 from the stroke's rectangle is reached.
    box_ = Grown(inside, int32_t(Bound() / 10 + 1), cost.Width(), cost.Height());
    Reach(inside, stroke, progress);
    if (!area_.Empty())
        Propagate(progress);
    if (progress)
        progress(0);
}

EdgeSpread::EdgeSpread(const RasterImage &source, const EdgeCost &cost, const StrokeRecord &record,
                       const Progress &progress)
    : source_(source), cost_(cost), record_(record), reach_(ReachOf(cost.Width(), cost.Height())),
      nearest_(nullptr, std::free), slots_(nullptr, std::free)
{
    if (cost.Empty() || !record.Allocated() || record.Width() != cost.Width()
        || record.Height() != cost.Height() || RasterWidth(source) != cost.Width()
        || RasterHeight(source) != cost.Height())
        return;
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

void EdgeSpread::Reach(const Rect &strokeArea, uint16_t stroke, const Progress &progress)
{
    // The distances cover the box's rows and one more on each side (the neighbours of
    // its outermost pixels), each row as long as the cost map's.
    const size_t stride = cost_.Stride();
    const size_t base = cost_.Index(-1, box_.Top - 1);
    const size_t count = size_t(box_.Bottom - box_.Top + 2) * stride;
    nearest_ = Zeroed<uint32_t>(count, true);
    uint32_t *nearest = nearest_.get() - base;
    const uint8_t *cost = cost_.Data();
    const std::array<StepTo, 8> steps = StepsOf(stride);
    BucketQueue<uint32_t> queue;
    for (int32_t y = strokeArea.Top; y < strokeArea.Bottom; ++y) {
        const uint16_t *marks = record_.Row(y);
        for (int32_t x = strokeArea.Left; x < strokeArea.Right; ++x)
            if (marks[x] == stroke) {
                const size_t i = cost_.Index(x, y);
                nearest[i] = 1;
                queue.Push(0, uint32_t(i));
            }
    }
    const uint32_t bound = Bound();
    const size_t boxArea = size_t(box_.Width()) * size_t(box_.Height());
    size_t visited = 0;
    int32_t left = INT32_MAX, right = INT32_MIN, top = INT32_MAX, bottom = INT32_MIN;
    queue.Drain([&](uint32_t d, uint32_t i) {
        if (nearest[i] != d + 1)
            return;
        if (d < reach_.end) {
            const auto y = int32_t(i / stride) - 1;
            const auto x = int32_t(i % stride) - 1;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
        if (progress && (++visited & 0xffff) == 0)
            progress(int32_t(std::min<size_t>(30, visited * 30 / std::max<size_t>(boxArea, 1))));
        for (const StepTo &step : steps) {
            const uint32_t c = StepCost(cost, i, step);
            if (c == 0)
                continue;
            const size_t n = size_t(ptrdiff_t(i) + step.to);
            const uint32_t nd = d + c;
            if (nd < bound && (nearest[n] == 0 || nd + 1 < nearest[n])) {
                nearest[n] = nd + 1;
                queue.Push(nd, uint32_t(n));
            }
        }
    });
    // A wall takes its colours from a pixel up to kWallReach off (see the header).
    const int32_t wall = EdgeCost::kWallReach;
    if (left <= right)
        area_ = Rect{std::max(0, left - wall), std::max(0, top - wall),
                     std::min(cost_.Width(), right + 1 + wall),
                     std::min(cost_.Height(), bottom + 1 + wall)};
}

void EdgeSpread::Propagate(const Progress &progress)
{
    const size_t stride = cost_.Stride();
    const size_t base = cost_.Index(-1, box_.Top - 1);
    const size_t count = size_t(box_.Bottom - box_.Top + 2) * stride;
    slots_ = Zeroed<Slots>(count, true);
    Slots *slots = slots_.get() - base;
    const uint32_t *nearest = whole_ ? nullptr : nearest_.get() - base;
    const uint32_t bound = Bound();
    const uint8_t *cost = cost_.Data();
    const std::array<StepTo, 8> steps = StepsOf(stride);
    // Within reach of the stroke: every walk that matters stays there. A pixel written
    // is within End of the stroke, or a wall that takes its colours from such a pixel,
    // and its colours come from walks shorter than End to that pixel; every pixel of
    // such a walk is within 2 End of the stroke (distances are symmetric).
    auto inside = [&](size_t i) { return !nearest || (nearest[i] != 0 && nearest[i] <= bound); };

    // The seeds of each mark that spreads.
    std::vector<std::vector<uint32_t>> seeds(record_.MarkCount() + 1);
    for (int32_t y = box_.Top; y < box_.Bottom; ++y) {
        const uint16_t *marks = record_.Row(y);
        for (int32_t x = box_.Left; x < box_.Right; ++x) {
            const uint16_t m = marks[x];
            if (m == 0 || !record_.Mark(m).spreads)
                continue;
            const size_t i = cost_.Index(x, y);
            if (inside(i))
                seeds[m].push_back(uint32_t(i));
        }
    }
    // Offers mark m at 1 + distance nn to pixel n: true when it is one of the pixel's two
    // nearest marks now, so the walk goes on from there.
    auto offer = [slots](size_t n, uint32_t nn, uint16_t m) {
        Slots &t = slots[n];
        if (t.mark1 == m) {
            if (nn >= t.near1)
                return false;
            t.near1 = nn;
        } else if (t.mark2 == m) {
            if (nn >= t.near2)
                return false;
            t.near2 = nn;
            if (Before(t.near2, t.mark2, t.near1, t.mark1)) {
                std::swap(t.near1, t.near2);
                std::swap(t.mark1, t.mark2);
            }
        } else if (t.near1 == 0 || Before(nn, m, t.near1, t.mark1)) {
            t.near2 = t.near1;
            t.mark2 = t.mark1;
            t.near1 = nn;
            t.mark1 = m;
        } else if (t.near2 == 0 || Before(nn, m, t.near2, t.mark2)) {
            t.near2 = nn;
            t.mark2 = m;
        } else {
            return false;
        }
        return true;
    };
    const size_t expected = 2
                            * (whole_ ? size_t(box_.Width()) * size_t(box_.Height())
                                      : size_t(area_.Width()) * size_t(area_.Height()));
    size_t visited = 0;
    // One mark at a time: its walks stay near its own strokes, so the memory they touch
    // stays small. The two nearest marks come out the same in any order: a mark is held
    // back only where two marks already at their final distances are nearer, and then
    // nowhere beyond through that pixel either.
    BucketQueue<uint32_t> queue;
    for (uint16_t m = 1; m < seeds.size(); ++m) {
        if (seeds[m].empty())
            continue;
        for (const uint32_t i : seeds[m])
            if (offer(i, 1, m))
                queue.Push(0, i);
        queue.Drain([&](uint32_t d, uint32_t i) {
            const Slots &s = slots[i];
            if (!((s.mark1 == m && s.near1 == d + 1) || (s.mark2 == m && s.near2 == d + 1)))
                return;
            if (progress && (++visited & 0xffff) == 0)
                progress(int32_t(
                    30 + std::min<size_t>(60, visited * 60 / std::max<size_t>(expected, 1))));
            for (const StepTo &step : steps) {
                const uint32_t c = StepCost(cost, i, step);
                const size_t n = size_t(ptrdiff_t(i) + step.to);
                if (c == 0)
                    continue;
                const uint32_t nd = d + c;
                // A walk at n can still end within End of the stroke only if its length
                // plus n's distance from the stroke is below 2 End: such an end p has
                // d(n, p) > d(stroke, n) - End.
                if (nearest && (nearest[n] == 0 || nd + (nearest[n] - 1) >= bound))
                    continue;
                if (nd < reach_.end && offer(n, nd + 1, m))
                    queue.Push(nd, uint32_t(n));
            }
        });
    }
}

struct EdgeSpread::Nearest {
    uint32_t near1 = 0, near2 = 0; // 1 + e, 0: none
    uint16_t mark1 = 0, mark2 = 0;
};

// The pixel whose distances a wall at (x, y) takes, and how far off it is (see the
// header); false when it has none.
bool EdgeSpread::TakesFrom(int32_t x, int32_t y, size_t &index, uint32_t &extra) const
{
    const uint8_t c = cost_.Data()[cost_.Index(x, y)];
    const int32_t offset = EdgeCost::WallOffset(c);
    if (offset == 0)
        return false;
    index = EdgeCost::WallAlongX(c) ? cost_.Index(x + offset, y) : cost_.Index(x, y + offset);
    extra = 10 * uint32_t(std::abs(offset));
    return true;
}

bool EdgeSpread::Reached(int32_t x, int32_t y) const
{
    if (whole_)
        return true;
    const uint32_t *nearest = nearest_.get() - cost_.Index(-1, box_.Top - 1);
    size_t i = cost_.Index(x, y);
    uint32_t extra = 0;
    if (EdgeCost::IsWall(cost_.Data()[i]) && !TakesFrom(x, y, i, extra))
        return false;
    return nearest[i] != 0 && nearest[i] + extra <= reach_.end;
}

EdgeSpread::Nearest EdgeSpread::NearestOf(int32_t x, int32_t y) const
{
    // A pixel the spread after a stroke does not reach keeps its bytes (none here).
    const size_t base = cost_.Index(-1, box_.Top - 1);
    size_t i = cost_.Index(x, y);
    uint32_t extra = 0;
    if (EdgeCost::IsWall(cost_.Data()[i]) && !TakesFrom(x, y, i, extra))
        return {};
    if (!whole_) {
        const uint32_t n = nearest_.get()[i - base];
        if (n == 0 || n + extra > reach_.end)
            return {};
    }
    const Slots &s = slots_.get()[i - base];
    Nearest best;
    if (s.near1 != 0 && s.near1 + extra <= reach_.end) {
        best.near1 = s.near1 + extra;
        best.mark1 = s.mark1;
        if (s.near2 != 0 && s.near2 + extra <= reach_.end) {
            best.near2 = s.near2 + extra;
            best.mark2 = s.mark2;
        }
    }
    return best;
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
    if (area_.Empty() || !slots_ || !work.Pixels || RasterBitCount(work) != 24
        || RasterWidth(work) != cost_.Width() || RasterHeight(work) != cost_.Height())
        return;
    static const std::array<uint16_t, kBlendSpan> shares = BlendShares();
    const GreyTerms &terms = GreyTermTable();
    // Each mark's colours (none for the eraser, whose colour is the source pixel), made
    // when first needed.
    std::vector<std::unique_ptr<GreyColourTable>> made(record_.MarkCount() + 1);
    std::vector<const GreyColourTable *> tables(record_.MarkCount() + 1, nullptr);
    std::vector<uint8_t> ready(record_.MarkCount() + 1, 0);
    auto tableOf = [&](uint16_t m) {
        if (!ready[m]) {
            ready[m] = 1;
            if (record_.Mark(m).colorize) {
                made[m] =
                    std::make_unique<GreyColourTable>(MakeGreyColourTable(record_.Mark(m).paint));
                tables[m] = made[m].get();
            }
        }
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
    for (int32_t y = area_.Top; y < area_.Bottom; ++y) {
        const uint16_t *marks = record_.Row(y);
        const uint8_t *s = PictureRow(source_, y) + 3 * size_t(area_.Left);
        uint8_t *d = PictureRow(work, y) + 3 * size_t(area_.Left);
        for (int32_t x = area_.Left; x < area_.Right; ++x, s += 3, d += 3) {
            if (marks[x] != 0)
                continue;
            const Nearest near = NearestOf(x, y);
            if (near.near1 == 0)
                continue;
            const uint32_t e1 = near.near1 - 1;
            const uint32_t strength = e1 <= full ? 256 : 256 * (end - e1) / (end - full);
            uint32_t share = 256;
            if (near.near2 != 0) {
                const uint32_t gap = near.near2 - near.near1;
                share = gap < kBlendSpan ? shares[gap] : 256;
            }
            const size_t grey = size_t(terms.Blue[s[0]] + terms.Green[s[1]] + terms.Red[s[2]]);
            std::array<uint32_t, 3> c1, c2;
            colourOf(tableOf(near.mark1), grey, s, c1);
            if (strength == 256 && share == 256) {
                // One mark at full strength, as most pixels are: its colour exactly.
                d[0] = uint8_t(c1[0]), d[1] = uint8_t(c1[1]), d[2] = uint8_t(c1[2]);
                continue;
            }
            if (share != 256)
                colourOf(tableOf(near.mark2), grey, s, c2);
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
