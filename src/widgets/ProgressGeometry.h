// SPDX-License-Identifier: GPL-3.0-or-later
// The arithmetic of the progress display: the bar's rectangle inside the status bar's
// progress panel.
#pragma once

#include "platform/gdi/Rect.h"

#include <cstdint>

// The bar for percent over panel (status-bar coordinates): from (Left, Top) to
// (BarRight, Bottom) with BarRight = Left + (Width * percent) / 100, truncating toward
// zero. For 0..100 this is exact 32-bit arithmetic; outside that range the product is
// taken in 64 bits (so a stray message value cannot overflow) and the bar is clipped to
// the panel, which is what the status bar's window shows anyway. At 0 the bar is empty,
// at 100 it is the whole panel.
Rect ProgressBarRect(const Rect &panel, int32_t percent);
