// SPDX-License-Identifier: GPL-3.0-or-later
// One step of a brush stroke on the rasters: the line of round stamps from one raster
// position to the next, each stamp pixel colorized or erased as DoPix does.
#pragma once

#include "colour/GreyColourTable.h"
#include "colour/Paint.h"
#include "colour/StrokeRecord.h"
#include "document/RasterImage.h"
#include "platform/gdi/Rect.h"

#include <cstdint>

namespace view {

// What every pixel of one stroke step gets. Within one handler call these cannot
// change, so every stamp of the step uses the same values.
struct StrokeParams {
    int32_t radius = 10;      // raster pixels; negative stamps nothing
    int32_t hue = 0;          // 0..255
    int32_t saturation = 0;   // 0..255
    int32_t brightness = 0;   // -100..100
    bool colorize = true;     // false: the eraser
    bool keepTones = false;   // colours at the luminance of the photograph (colour/KeepTone.h)
    bool followEdges = false; // the stroke's colour spreads when it ends (colour/EdgeSpread.h)
};

// The paint of a step with the Colorize tool.
inline colour::Paint PaintOf(const StrokeParams &params)
{
    return {params.hue, params.saturation, params.brightness, params.keepTones};
}

// What the stroke record holds for the pixels a step paints.
inline colour::StrokeMark MarkOf(const StrokeParams &params)
{
    return {PaintOf(params), params.colorize, params.followEdges};
}

// Stamps DoBrush discs of params.radius at every centre BrushLine gives for (x1, y1)
// to (x2, y2) and applies DoPix to each of their pixels. Writes exactly the bytes the
// literal per-stamp, per-pixel walk (StrokeLineLiteral) writes, but touches each pixel
// once: the stamps of a line are 8-connected, so on each raster row the union of
// their disc spans is one run. Colours come from a table over the 255 grey values
// (colour/GreyColourTable.h), built once per call; with tones kept, each colorized
// pixel gets its grey's entry of MakeGreyColourTable(PaintOf(params)). Pixels outside either raster
// are dropped; rasters without pixel memory are left alone. Returns the raster rectangle written
// (half-open, rows counted from the top), empty when nothing was written.
Rect StrokeLine(const RasterImage &source, const RasterImage &work, int32_t x1, int32_t y1,
                int32_t x2, int32_t y2, const StrokeParams &params);

// The same with the colours already made: colours must be
// MakeGreyColourTable(PaintOf(params)) when params.colorize is set (a caller that keeps
// the tables of the paints it has seen builds each once); it is not read for the eraser.
// With a record of the picture's size whose ids are allocated, each pixel written also
// gets mark there.
Rect StrokeLine(const RasterImage &source, const RasterImage &work, int32_t x1, int32_t y1,
                int32_t x2, int32_t y2, const StrokeParams &params,
                const colour::GreyColourTable &colours, colour::StrokeRecord *record = nullptr,
                uint16_t mark = 0);

} // namespace view
