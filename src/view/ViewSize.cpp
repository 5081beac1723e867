// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/ViewSize.h"

#include <algorithm>

namespace view {

int32_t ScaledSize(int32_t size, int32_t zoom)
{
    if (zoom <= 0 || size <= 0)
        return 0;
    return int32_t(std::min<int64_t>(int64_t(size) * zoom / 100, kLargestViewSide));
}

} // namespace view
