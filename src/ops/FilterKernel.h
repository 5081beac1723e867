// SPDX-License-Identifier: GPL-3.0-or-later
// A 5 x 5 integer filter for ApplyFilter, and the program's one filter, SoftenKernel.
#pragma once

#include <cstdint>

namespace ops {

// Each output channel value is (sum of Weights[r][c] x the input channel value r - 2
// rows below and c - 2 columns right of the pixel) div Divisor + Bias, clamped to
// 0..255. Row 0 of Weights lies two rows above the pixel, column 0 two columns left of
// it.
struct FilterKernel {
    int32_t Divisor = 1;
    int32_t Bias = 0;
    int32_t Weights[5][5] = {};
};

// The 3 x 3 box: each output value is the sum of the pixel's 3 x 3 neighbourhood div 9.
inline constexpr FilterKernel SoftenKernel{
    9,
    0,
    {{0, 0, 0, 0, 0}, {0, 1, 1, 1, 0}, {0, 1, 1, 1, 0}, {0, 1, 1, 1, 0}, {0, 0, 0, 0, 0}}};

} // namespace ops
