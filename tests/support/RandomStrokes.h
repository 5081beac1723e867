// SPDX-License-Identifier: GPL-3.0-or-later
// Stroke records for tests: discs of a mark id, random marks, and records of random discs.
#pragma once

#include "colour/StrokeRecord.h"

#include <gtest/gtest.h>

#include <random>

namespace testsupport {

// A disc of mark id in the record.
inline void Mark(colour::StrokeRecord &record, int32_t cx, int32_t cy, int32_t radius, uint16_t id)
{
    for (int32_t y = 0; y < record.Height(); ++y)
        for (int32_t x = 0; x < record.Width(); ++x)
            if ((x - cx) * (x - cx) + (y - cy) * (y - cy) <= radius * radius)
                record.Row(y)[x] = id;
}

inline colour::StrokeMark RandomMark(std::mt19937 &rng)
{
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    colour::StrokeMark m;
    m.paint = {pick(0, 255), pick(0, 255), pick(-100, 100), pick(0, 4) == 0};
    m.colorize = pick(0, 4) != 0;
    m.spreads = pick(0, 4) != 0;
    return m;
}

// A record of a width x height picture with its ids made, and between fewest and most
// random marks painted as discs of radius up to largest.
inline colour::StrokeRecord RandomRecord(int32_t w, int32_t h, std::mt19937 &rng, int fewest,
                                         int most, int largest)
{
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    colour::StrokeRecord record;
    record.Reset(w, h);
    EXPECT_TRUE(record.Allocate());
    for (int k = pick(fewest, most); k > 0; --k)
        Mark(record, pick(0, w - 1), pick(0, h - 1), pick(0, largest),
             record.IdOf(RandomMark(rng)));
    return record;
}

} // namespace testsupport
