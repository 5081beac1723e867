// SPDX-License-Identifier: GPL-3.0-or-later
// The stroke record (which stroke painted each pixel directly) as the bytes a work file
// keeps in tintwell/strokes.bin, all numbers little-endian:
//   "TWSR", version (2 bytes, 1), width and height (4 bytes each), the number of marks
//   n (2 bytes); n marks of 4 bytes: hue, saturation, brightness + 100, and flags (1 keep
//   tones, 2 colorize, 4 spreads); then the ids of every pixel, rows from the top, as
//   runs of an id (2 bytes, 0..n) and a length (4 bytes, at least 1) that may run on from
//   one row to the next and end exactly at the last pixel.
#pragma once

#include "colour/StrokeRecord.h"

#include <QByteArray>

#include <cstdint>
#include <optional>

namespace document {

// The bytes of a record; empty when it holds no ids (nothing was painted).
QByteArray StrokeRecordToBytes(const colour::StrokeRecord &record);

// The most bytes a record of a width x height picture with every mark can take.
uint64_t MaxStrokeRecordBytes(int32_t width, int32_t height);

// The record the bytes hold for a width x height picture; nothing when they are not
// such a record, are of another size, or there is no memory for it.
std::optional<colour::StrokeRecord> StrokeRecordFromBytes(const QByteArray &bytes, int32_t width,
                                                          int32_t height);

} // namespace document
