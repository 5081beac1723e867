// SPDX-License-Identifier: GPL-3.0-or-later
// The edge-following spread written out as plainly as its rule reads: the cost of every
// pixel from its formula, one shortest-walk search (a binary heap) per mark over the
// whole picture, and each pixel's bytes from its two nearest marks. Slow, for small
// pictures in tests.
#pragma once

#include "colour/StrokeRecord.h"
#include "platform/gdi/Rect.h"
#include "platform/rastix/Rastix.h"

#include <cstdint>
#include <vector>

namespace literal {

// The cost of each pixel, row by row from the top.
std::vector<uint8_t> EdgeCostOf(const RasterImage &source);

// Shortest-walk distances in units from every seed (true entries) over the picture;
// UINT32_MAX where none reaches.
std::vector<uint32_t> Distances(const std::vector<uint8_t> &cost, int32_t width, int32_t height,
                                const std::vector<bool> &seeds);

// Writes the rule's bytes into work for every pixel where write is true (all when empty)
// that holds no mark and that some mark reaches.
void Spread(const RasterImage &source, const RasterImage &work, const colour::StrokeRecord &record,
            const std::vector<bool> &write = {});

// The pixels a spread after a stroke may write: nearer than End to the pixels holding
// mark stroke within strokeArea.
std::vector<bool> AfterStroke(const RasterImage &source, const colour::StrokeRecord &record,
                              const Rect &strokeArea, uint16_t stroke);

} // namespace literal
