// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/ProgressGeometry.h"

#include <algorithm>

namespace document {

PanelRect ProgressBarRect(const PanelRect &panel, int32_t percent)
{
    const int64_t right = int64_t(panel.Left) + int64_t(panel.Width()) * percent / 100;
    PanelRect bar = panel;
    bar.Right = int32_t(std::clamp<int64_t>(right, panel.Left, std::max(panel.Left, panel.Right)));
    return bar;
}

int32_t RowProgress(int32_t y, int32_t rows)
{
    if (rows <= 1)
        return 100;
    return y * 100 / (rows - 1);
}

} // namespace document
