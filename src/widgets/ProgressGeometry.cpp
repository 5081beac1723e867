// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/ProgressGeometry.h"

#include <algorithm>

Rect ProgressBarRect(const Rect &panel, int32_t percent)
{
    const int64_t right = int64_t(panel.Left) + int64_t(panel.Width()) * percent / 100;
    Rect bar = panel;
    bar.Right = int32_t(std::clamp<int64_t>(right, panel.Left, std::max(panel.Left, panel.Right)));
    return bar;
}
