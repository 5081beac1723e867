// SPDX-License-Identifier: GPL-3.0-or-later
// The picture as it was in one tile before a step, kept small. Most pixels a step
// overwrites held either the picture as opened or a colour some earlier brush step put
// there, and such a colour follows from the source pixel alone; only the rest is kept as
// bytes. Each row of the tile is a list of runs:
//   unchanged  the step did not change these pixels (nothing to put back)
//   source     the pixels equal the picture as opened
//   paint k    the pixels equal what candidate paint k gives their source pixels
//   literal    the bytes are kept (compressed) in the record
// Putting a record back writes exactly the bytes the tile held.
#pragma once

#include "colour/GreyColourTable.h"
#include "document/RasterImage.h"
#include "platform/gdi/Rect.h"

#include <array>
#include <cstdint>
#include <vector>

namespace history {

// Pixels per tile side. Tiles are counted from the top-left corner of the picture.
constexpr int32_t kTileSide = 64;
// Paints a record may refer to.
constexpr size_t kCandidates = 4;

// The tile's pixels as they were, top row first, 3 bytes per pixel as stored.
struct TileBytes {
    Rect area; // raster coordinates, rows from the top
    std::vector<uint8_t> bytes;
};

struct TileRecord {
    Rect area;
    std::array<uint32_t, kCandidates> paints{}; // paint ids of the "paint k" runs
    std::vector<uint8_t> runs;                  // (kind, length) byte pairs, row by row
    std::vector<uint8_t> literal;               // kept bytes, compressed when packed
    uint32_t literalSize = 0;                   // their size before compression
    bool packed = false;

    size_t Bytes() const { return sizeof(TileRecord) + runs.capacity() + literal.capacity(); }
};

// The candidate paints of a record: their ids and colour tables.
struct Candidates {
    std::array<uint32_t, kCandidates> ids{};
    std::array<const colour::GreyColourTable *, kCandidates> tables{};
    size_t count = 0;
};

// The rectangle of tile index (tx, ty) in a width x height picture.
Rect TileArea(int32_t tx, int32_t ty, int32_t width, int32_t height);

// Copies the tile's pixels out of raster.
TileBytes CopyTile(const RasterImage &raster, const Rect &area);

// Encodes what the tile held (before) against the picture as opened. With after (the
// tile's pixels now), pixels equal in both come out unchanged; without it every pixel is
// encoded. Throws std::bad_alloc when memory runs out.
TileRecord EncodeTile(const TileBytes &before, const TileBytes *after, const RasterImage &source,
                      const Candidates &candidates);

// The same, reading before straight from raster (no copy).
TileRecord EncodeTile(const RasterImage &raster, const Rect &area, const RasterImage &source,
                      const Candidates &candidates);

// True when the record puts nothing back: the step left every pixel of the tile as it was.
bool LeftAsItWas(const TileRecord &record);

// Writes the tile as it was back into work. tables[k] is the colour table of paints[k].
void RestoreTile(const TileRecord &record, const RasterImage &work, const RasterImage &source,
                 const std::array<const colour::GreyColourTable *, kCandidates> &tables);

} // namespace history
