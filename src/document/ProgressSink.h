// SPDX-License-Identifier: GPL-3.0-or-later
// How a long operation reports its progress: a sink that receives percentages (the
// status bar's SetProStatus in the program), called 0 before the first row,
// RowProgress(y, rows) as each row y begins, and 0 at the end, on every way out.
#pragma once

#include <cstdint>
#include <functional>

namespace document {

using ProgressSink = std::function<void(int32_t percent)>;

// The percentage reported as row y (0-based) of a rows-row operation begins:
// y * 100 / (rows - 1), truncating, so the last row begins at 100. A one-row operation
// reports 100 for its only row (it is also the last), without dividing by zero.
int32_t RowProgress(int32_t y, int32_t rows);

} // namespace document
