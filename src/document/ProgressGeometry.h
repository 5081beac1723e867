// SPDX-License-Identifier: GPL-3.0-or-later
// The arithmetic of the progress display: the bar's rectangle inside the status bar's
// progress panel, and the percentage a row-by-row operation reports for each row.
#pragma once

#include <cstdint>

namespace document {

// A rectangle in status-bar coordinates; Right and Bottom are exclusive.
struct PanelRect {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Right = 0;
    int32_t Bottom = 0;

    int32_t Width() const { return Right - Left; }
    int32_t Height() const { return Bottom - Top; }
    bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    bool operator==(const PanelRect &) const = default;
};

// The bar for percent over panel: from (Left, Top) to (BarRight, Bottom) with
// BarRight = Left + (Width * percent) / 100, truncating toward zero. For 0..100 this is
// exact 32-bit arithmetic; outside that range the product is taken in 64 bits (so a
// stray message value cannot overflow) and the bar is clipped to the panel, which is
// what the status bar's window shows anyway. At 0 the bar is empty, at 100 it is the
// whole panel.
PanelRect ProgressBarRect(const PanelRect &panel, int32_t percent);

// The percentage reported as row y (0-based) of a rows-row operation begins:
// y * 100 / (rows - 1), truncating, so the last row begins at 100. A one-row operation
// reports 100 for its only row (it is also the last), without dividing by zero.
int32_t RowProgress(int32_t y, int32_t rows);

} // namespace document
