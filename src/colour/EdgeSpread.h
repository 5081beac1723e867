// SPDX-License-Identifier: GPL-3.0-or-later
// Follow edges: the colour of strokes spread over the pixels around them that are joined
// to them without crossing an edge of the picture as opened, fading out beyond a bounded
// distance, and blended where two colours meet.
//
// The rule. Pixels are joined to their eight neighbours. A step from p to a neighbour q
// across costs 5 (cost(p) + cost(q)), with cost from EdgeCost (1 in flat areas, so a flat
// step costs 10 units: units are tenths of pixels); a diagonal step costs
// 7 (max(cost(p), m) + max(cost(q), m)), m the smaller cost of the two pixels it passes
// between. No walk enters or leaves a wall, or passes diagonally between two, so no
// walk slips through an edge. The seeds of a mark are the pixels the record holds with
// that mark, for the marks that spread; d_m(p) is the cheapest walk from a seed of mark m
// to p. e_m(p) = d_m(p), except on a wall, which takes d_m(q) + 10 |offset| of the pixel
// q its cost names (EdgeCost::WallOffset; none where the offset is 0), so an edge takes
// the colours of its nearer side. With R = min(3276, max(250, ceil(larger side / 10)))
// pixels, Full = 14 R units and End = 20 R units (an area without edges is reached at
// full strength at least 1.3 R pixels from a stroke in every direction, as a diagonal
// step of 14 units moves 1.41 pixels and a knight's move of 24 units 2.24; 3276 keeps
// every distance below End within 16 bits, and 1.3 R above a tenth of the widest
// picture, 32767 pixels):
//   1. The two marks of p are the two smallest (e_m(p), m) with e_m(p) < End, compared
//      by distance, then by mark id.
//   2. Strength s = 256 for e1 <= Full, else 256 (End - e1) / (End - Full), truncating.
//   3. Share f of the first mark = round(256 / (1 + exp(-(e2 - e1) / kBlendUnits))),
//      256 when p has one mark or e2 - e1 >= kBlendSpan.
//   4. C1 and C2 are what each mark paints at p: DoPix's colour of its paint at p's grey
//      (MakeGreyColourTable, so kept tones too), or the source pixel for the eraser. Each
//      byte becomes (s (f C1 + (256 - f) C2) + (256 - s) 256 S + 32768) >> 16, S the
//      source byte; a pixel no mark reaches is not written.
// Pixels the record holds any mark for (painted directly) are never written. A spread
// after a stroke writes the pixels with e(p) < End from the stroke's pixels (whatever the
// stroke painted, only those can change) and computes them from every seed that can
// reach them; the spread of every stroke writes every pixel. Both give exactly the bytes
// of the rule.
#pragma once

#include "colour/EdgeCost.h"
#include "colour/SpreadScratch.h"
#include "colour/StrokeRecord.h"
#include "platform/gdi/Rect.h"
#include "platform/rastix/Rastix.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace colour {

constexpr uint32_t kLongestReach = 3276;

struct SpreadReach {
    uint32_t full = 0; // units
    uint32_t end = 0;  // units; nothing at or beyond is reached
};

SpreadReach ReachOf(int32_t width, int32_t height);

constexpr uint32_t kBlendUnits = 20;
constexpr uint32_t kBlendSpan = 160;

class EdgeSpread {
public:
    // A progress sink as the long operations use: 0, rising percentages, 0.
    using Progress = std::function<void(int32_t percent)>;

    // The spread after a stroke whose pixels hold mark stroke within strokeArea (raster
    // coordinates, rows from the top), worked out in scratch, which must stay with the
    // spread until it ends (it is all zero again then). source, cost and record must be
    // of one size; a mark that does not spread, or a record without ids, spreads
    // nothing. Throws std::bad_alloc when there is no memory for the distances; nothing
    // is written then.
    EdgeSpread(const RasterImage &source, const EdgeCost &cost, const StrokeRecord &record,
               SpreadScratch &scratch, const Rect &strokeArea, uint16_t stroke,
               const Progress &progress = {});
    // The spread of every stroke over the whole picture.
    EdgeSpread(const RasterImage &source, const EdgeCost &cost, const StrokeRecord &record,
               SpreadScratch &scratch, const Progress &progress = {});
    ~EdgeSpread();
    EdgeSpread(const EdgeSpread &) = delete;
    EdgeSpread &operator=(const EdgeSpread &) = delete;

    // The pixels Write may change lie within Area() (empty when none), and within the
    // blocks of blockSide x blockSide pixels (counted from the top-left corner) listed
    // by Blocks.
    Rect Area() const { return area_; }
    std::vector<Rect> Blocks(int32_t blockSide) const;

    // Writes the spread into work (24 bits, the source's size); the rest of work stays.
    void Write(const RasterImage &work) const;

private:
    // The pixels of the scratch a spread has used: set back to zero when it ends, also
    // when it ends by an exception.
    struct Used {
        SpreadScratch &scratch;
        size_t stride = 0;
        // The rows and columns of the padded cost map it has used, ends excluded.
        size_t top = 0, bottom = 0, left = 0, right = 0;
        bool nearest = false, slots = false;
        ~Used();
    };
    // How far from the stroke the walks that matter reach.
    uint32_t Bound() const { return 2 * reach_.end; }
    // For a wall at index, the pixel whose distances it takes and how far off that is
    // (see the header); false when it takes none. Other pixels keep their own.
    bool TakesFrom(size_t &index, uint32_t &extra) const;
    bool Reached(int32_t x, int32_t y) const;
    void Reach(const Rect &strokeArea, const Progress &progress);
    void Propagate(const Progress &progress);

    const RasterImage &source_;
    const EdgeCost &cost_;
    const StrokeRecord &record_;
    SpreadReach reach_;
    int32_t top_ = 0, bottom_ = 0; // rows the distances cover
    Rect box_;                     // where the reach may lie
    bool whole_ = false;
    uint16_t stroke_ = 0; // after a stroke: its mark
    Rect area_;
    Used used_;
    const uint32_t *nearest_ = nullptr; // after a stroke: 1 + distance from it, 0 = not
    const MarkKey *first_ = nullptr;    // each pixel's two nearest marks
    const MarkKey *second_ = nullptr;
};

} // namespace colour
