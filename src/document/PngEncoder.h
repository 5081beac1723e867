// SPDX-License-Identifier: GPL-3.0-or-later
// PNG files written into memory through libpng, a row at a time as the caller hands
// them over, so that a picture is never copied whole on the way. Rows are filtered with
// Sub and compressed at zlib's level 1: on a grainy 24-megapixel scan that is about
// three times as quick as libpng's adaptive filters at zlib's level 3, for about a tenth
// more bytes (bench/bench_workfile).
#pragma once

#include <QByteArray>

#include <cstdint>
#include <functional>

namespace document {

enum class PngPixels {
    Grey, // one byte a pixel: an 8-bit grey picture
    Bgr,  // blue, green, red, as the raster library's 24-bit rows: an RGB picture
};

// The width x height picture whose row y, counted from the top, row(y) gives; empty
// when the size is not one a PNG can have, or libpng fails, or memory runs out.
QByteArray EncodePng(int32_t width, int32_t height, PngPixels pixels,
                     const std::function<const uint8_t *(int32_t y)> &row);

} // namespace document
